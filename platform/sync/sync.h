// Win32 threads and synchronisation: events (manual and auto reset), waits on one or several
// objects with a timeout in milliseconds, threads whose handle is signalled when they end,
// critical sections and Sleep, with the Win32 names, values and results.
// Order of use: CreateEventA / CreateThread, then SetEvent / ResetEvent and the waits, then
// CloseHandle once per handle. A thread whose handle is closed before it ends runs on and
// frees itself.
// Threading: every function may be called from any thread. A closed or made-up handle gives
// the failure result (FALSE, WAIT_FAILED, null), never undefined behaviour. Names given to
// CreateEventA are ignored: every call makes a new event.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/WinTypes.h"

using HANDLE = void*;
using LPHANDLE = HANDLE*;
using SIZE_T = size_t;
using LPDWORD = DWORD*;
using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID);

struct SECURITY_ATTRIBUTES {
    DWORD nLength = sizeof(SECURITY_ATTRIBUTES);
    LPVOID lpSecurityDescriptor = nullptr;
    BOOL bInheritHandle = FALSE;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
constexpr DWORD WAIT_ABANDONED = 0x00000080;
constexpr DWORD WAIT_ABANDONED_0 = WAIT_ABANDONED;
constexpr DWORD WAIT_TIMEOUT = 0x00000102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD STILL_ACTIVE = 0x00000103;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;
constexpr DWORD CREATE_SUSPENDED = 0x00000004;
constexpr DWORD STACK_SIZE_PARAM_IS_A_RESERVATION = 0x00010000;

// Events. The security attributes are ignored and may be null.
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manual_reset, BOOL initial_state,
                    LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Waits return WAIT_OBJECT_0 + the index of the object that satisfied them, WAIT_TIMEOUT or
// WAIT_FAILED. Only the auto-reset events that satisfy a wait are reset by it; a wait for
// all objects takes them all at once or none.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD milliseconds);

BOOL CloseHandle(HANDLE handle);

// Threads. The stack size is left to the system; CREATE_SUSPENDED is not supported (null).
HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack_size, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD flags, LPDWORD thread_id);
// STILL_ACTIVE while the thread runs, then the value its routine returned.
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exit_code);
DWORD GetCurrentThreadId();
void Sleep(DWORD milliseconds);

// Critical sections: recursive locks owned by a thread, ready once constructed (Initialize and
// Delete keep the Win32 call shape). Leaving one that the calling thread does not hold is
// ignored rather than undefined.
struct CRITICAL_SECTION {
    std::recursive_mutex mutex;
    std::atomic<std::thread::id> owner{};
    LONG recursion_count = 0;  // guarded by `mutex`
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);
