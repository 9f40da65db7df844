// The COM library functions the system calls, with the Windows names, signatures and
// results: initialisation, task memory, class identifiers as text, object creation.
//
// CoInitialize/CoInitializeEx count per process (not per thread): S_OK the first time, S_FALSE
// after; CoUninitialize undoes one. The threading model asked for is accepted and ignored.
// While the count is 0, CoCreateInstance and CoGetClassObject fail with CO_E_NOTINITIALIZED,
// as they would on Windows. They look for a class first among the platform's built-in
// classes (BuiltInClasses.h), then in the registry under HKEY_CLASSES_ROOT
// "CLSID\{...}\InprocServer32": when that path is the running executable, its exported
// DllGetClassObject serves (link it with ENABLE_EXPORTS); another path is dlopen'ed and kept
// until CoFreeUnusedLibraries finds its DllCanUnloadNow answering S_OK twice, the delay
// apart, with no class object taken from it in between (see InprocServers). Only in-process
// servers exist: CLSCTX_INPROC_SERVER or CLSCTX_INPROC_HANDLER must be asked for.
// Threading: every function may be called from any thread.
#pragma once

#include <cstddef>

#include "platform/WinTypes.h"
#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"
#include "platform/com/WideChar.h"

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
constexpr DWORD CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
constexpr DWORD CLSCTX_ALL = CLSCTX_INPROC_HANDLER | CLSCTX_SERVER;

constexpr DWORD COINIT_MULTITHREADED = 0x0;
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
constexpr DWORD COINIT_DISABLE_OLE1DDE = 0x4;
constexpr DWORD COINIT_SPEED_OVER_MEMORY = 0x8;

// The length of a GUID's text form with its terminator.
constexpr int CHARS_IN_GUID = 39;

using LPFNGETCLASSOBJECT = HRESULT (*)(REFCLSID, REFIID, LPVOID*);
using LPFNCANUNLOADNOW = HRESULT (*)();

HRESULT CoInitialize(LPVOID reserved);
HRESULT CoInitializeEx(LPVOID reserved, DWORD co_init);
void CoUninitialize();

// Task memory: blocks that one side allocates and the other frees (strings returned by
// StringFromCLSID, arrays filled by the media framework). CoTaskMemAlloc(0) gives a block.
LPVOID CoTaskMemAlloc(size_t size);
LPVOID CoTaskMemRealloc(LPVOID block, size_t size);
void CoTaskMemFree(LPVOID block);

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD cls_context, REFIID iid,
                         LPVOID* object);
HRESULT CoGetClassObject(REFCLSID clsid, DWORD cls_context, LPVOID server_info, REFIID iid,
                         LPVOID* object);
// The delay is 10 minutes; CoFreeUnusedLibrariesEx takes it in milliseconds (0xFFFFFFFF,
// INFINITE: the 10 minutes).
void CoFreeUnusedLibraries();
void CoFreeUnusedLibrariesEx(DWORD unload_delay_ms, DWORD reserved);

// The braced upper-case text in a new task-memory block (free it with CoTaskMemFree).
HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text);
HRESULT StringFromIID(REFIID iid, LPOLESTR* text);
// Writes the text into `buffer` of `size` characters; returns 39 (with the terminator), or 0
// when the buffer is too small.
int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int size);
// Reads the braced form, digits in either case; NOERROR, or CO_E_CLASSSTRING (and
// CLSID_NULL) for any other text. No text at all gives CLSID_NULL and NOERROR, as on Windows.
HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid);
// The same for interface identifiers; bad text gives E_INVALIDARG.
HRESULT IIDFromString(LPCOLESTR text, LPIID iid);

// The entry points an in-process server exports (the executable included).
STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object);
STDAPI DllCanUnloadNow();
STDAPI DllRegisterServer();
STDAPI DllUnregisterServer();
