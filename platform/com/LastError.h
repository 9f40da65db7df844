// The calling thread's last Win32 error, as GetLastError/SetLastError keep it on Windows.
// Functions of the platform that report failures this way say so where they are declared.
#pragma once

#include "platform/WinTypes.h"
#include "platform/registry/Win32Errors.h"

DWORD GetLastError();
void SetLastError(DWORD error);
