// Windows base types that the media framework's signatures use beyond platform/WinTypes.h:
// pointer-sized integers, geometry records with their Win32 layouts, locale identifiers.
// Include this header rather than declaring them again; they are plain data, usable from any
// thread.
#pragma once

#include <cstdint>

#include "platform/WinTypes.h"

using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using INT_PTR = intptr_t;
using UINT_PTR = uintptr_t;
using ULONGLONG = uint64_t;
using SHORT = int16_t;
using USHORT = uint16_t;
using DOUBLE = double;
using LCID = DWORD;
using LPLONG = LONG*;

// Guarded so that another platform service may declare the same records first.
#ifndef TKV_WIN_GEOMETRY_DEFINED
#define TKV_WIN_GEOMETRY_DEFINED
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
struct POINT {
    LONG x;
    LONG y;
};
struct SIZE {
    LONG cx;
    LONG cy;
};
#endif
using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;
using LPSIZE = SIZE*;

// A message record; the dialog framework defines it, the media interfaces only pass pointers.
struct MSG;
using LPMSG = MSG*;
