// Wide text as COM passes it: 16-bit units (UTF-16), like WCHAR on Windows. OLESTR("text")
// makes a literal of that type.
#pragma once

using WCHAR = char16_t;
using OLECHAR = WCHAR;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using PWSTR = WCHAR*;
using PCWSTR = const WCHAR*;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;

#define OLESTR(text) u##text
