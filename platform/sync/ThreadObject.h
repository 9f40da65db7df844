// A thread started by CreateThread: runs the routine on a detached standard thread, keeps its
// exit code, and is signalled (manual reset) when the routine has returned.
// Order of use: Start, then wait on it or read the exit code; the running thread holds its own
// reference, so the handle may be closed at any time.
// Threading: any thread.
#pragma once

#include <atomic>
#include <memory>

#include "platform/WinTypes.h"
#include "platform/sync/KernelObject.h"

class ThreadObject : public KernelObject {
public:
    using Routine = DWORD (*)(LPVOID);

    // Null when the system cannot start a thread.
    static std::shared_ptr<ThreadObject> Start(Routine routine, LPVOID parameter);
    ThreadObject(Routine routine, LPVOID parameter, DWORD id);

    DWORD Id() const { return m_id; }
    DWORD ExitCode() const { return m_exit_code.load(); }  // STILL_ACTIVE while running

    // The identifier of the calling thread, given on first use to threads not started here.
    static DWORD CurrentId();

private:
    void Run();

    const Routine m_routine;
    const LPVOID m_parameter;
    const DWORD m_id;
    std::atomic<DWORD> m_exit_code;
};
