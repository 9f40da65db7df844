// The registry API with the Win32 names, signatures, flags and error codes, over text files
// (see Registry.h for where they live and how processes share them).
//
// Three predefined roots: HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, and HKEY_CLASSES_ROOT, a
// view of HKEY_LOCAL_MACHINE\SOFTWARE\Classes (what is written through one is read through
// the other). Key names are case-insensitive and keep the case they were created with; path
// parts are separated by backslashes, a trailing backslash is tolerated. A handle names a
// path: after another handle or process deletes that key, the handle's operations give
// ERROR_KEY_DELETED. Access rights given at open time are checked as on Windows (a key
// opened with KEY_READ cannot be written through). REG_OPTION_VOLATILE keys are kept like
// the others. Every function returns a Win32 error code (ERROR_SUCCESS on success).
// Threading: every function may be called from any thread.
#pragma once

#include "platform/WinTypes.h"
#include "platform/registry/Win32Errors.h"
#include "platform/registry/WinBaseTypes.h"

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = ACCESS_MASK;
using LSTATUS = LONG;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u)))

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
constexpr REGSAM KEY_WOW64_RES = 0x0300;
constexpr REGSAM KEY_READ =
    (STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY) & ~SYNCHRONIZE;
constexpr REGSAM KEY_WRITE =
    (STANDARD_RIGHTS_WRITE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY) & ~SYNCHRONIZE;
constexpr REGSAM KEY_EXECUTE = KEY_READ & ~SYNCHRONIZE;
constexpr REGSAM KEY_ALL_ACCESS =
    (STANDARD_RIGHTS_ALL | KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY |
     KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY | KEY_CREATE_LINK) &
    ~SYNCHRONIZE;

constexpr DWORD REG_OPTION_RESERVED = 0x00000000;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0x00000000;
constexpr DWORD REG_OPTION_VOLATILE = 0x00000001;
constexpr DWORD REG_OPTION_CREATE_LINK = 0x00000002;
constexpr DWORD REG_OPTION_BACKUP_RESTORE = 0x00000004;
constexpr DWORD REG_OPTION_OPEN_LINK = 0x00000008;

constexpr DWORD REG_CREATED_NEW_KEY = 0x00000001;
constexpr DWORD REG_OPENED_EXISTING_KEY = 0x00000002;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_LITTLE_ENDIAN = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

LONG RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD reserved, LPSTR key_class, DWORD options,
                     REGSAM sam, const SECURITY_ATTRIBUTES* security, PHKEY result,
                     LPDWORD disposition);
LONG RegCreateKeyA(HKEY key, LPCSTR sub_key, PHKEY result);
LONG RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD options, REGSAM sam, PHKEY result);
LONG RegOpenKeyA(HKEY key, LPCSTR sub_key, PHKEY result);
LONG RegCloseKey(HKEY key);

// `size` counts bytes; string data should include its terminator, as on Windows.
LONG RegSetValueExA(HKEY key, LPCSTR value_name, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size);
// Sets the default value of `sub_key` (created when missing) to the string `data`; only
// REG_SZ is accepted and the length comes from the string, as on Windows.
LONG RegSetValueA(HKEY key, LPCSTR sub_key, DWORD type, LPCSTR data, DWORD size);
// With `data` null, only the size is reported. A buffer too small gives ERROR_MORE_DATA and
// the size needed in *size.
LONG RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size);
// The default value of `sub_key` as a string; a key without one reads as "".
LONG RegQueryValueA(HKEY key, LPCSTR sub_key, LPSTR data, PLONG size);
LONG RegDeleteValueA(HKEY key, LPCSTR value_name);
// Refuses (ERROR_ACCESS_DENIED) to delete a key that still has subkeys, and the roots.
LONG RegDeleteKeyA(HKEY key, LPCSTR sub_key);

// Subkeys are enumerated in case-insensitive name order; `size` counts characters.
LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD size);
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD name_size, LPDWORD reserved,
                   LPSTR key_class, LPDWORD class_size, PFILETIME last_write_time);
// Values are enumerated in the order they were first set.
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD name_size, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD data_size);
