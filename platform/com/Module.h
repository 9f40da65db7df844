// Module handles and file names. A module is the executable or a shared library loaded in the
// process; HMODULE is an opaque handle to it (the dynamic loader's), null meaning the
// executable, as for GetModuleFileNameA on Windows. The source filter's registration writes
// the module's file name as its InprocServer32 path.
// Threading: any thread.
#pragma once

#include "platform/WinTypes.h"

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;

constexpr DWORD MAX_PATH = 260;

// Copies the module's absolute path (symbolic links resolved) with its terminator. Returns
// the length without the terminator; when `size` is too small, the path cut to size - 1
// characters and terminated, `size`, and ERROR_INSUFFICIENT_BUFFER as the last error; 0 with
// the last error set on failure.
DWORD GetModuleFileNameA(HMODULE module, LPSTR file_name, DWORD size);

// The handle of a module already loaded, found by path (or file name, as the loader knows
// it); null gives the executable's. Does not load anything: null and ERROR_MOD_NOT_FOUND
// for a module that is not loaded.
HMODULE GetModuleHandleA(LPCSTR module_name);
