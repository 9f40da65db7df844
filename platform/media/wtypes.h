// Windows base types that the media framework's signatures use beyond platform/WinTypes.h
// (which has the pointer-sized integers and the geometry records): locale identifiers and
// a few other names.
// Include this header rather than declaring them again; they are plain data, usable from any
// thread.
#pragma once

#include <cstdint>

#include "platform/WinTypes.h"

using ULONGLONG = uint64_t;
using SHORT = int16_t;
using USHORT = uint16_t;
using DOUBLE = double;
using LCID = DWORD;
using LPLONG = LONG*;

// A message record; the dialog framework defines it, the media interfaces only pass pointers.
struct MSG;
using LPMSG = MSG*;
