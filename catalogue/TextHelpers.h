// Text helpers shared by the catalogue and the graph editor: the system keeps its texts narrow
// (8-bit) and converts at the platform's wide (16-bit) boundary. Each returns a new heap block
// (new[]) that the caller frees with delete[]; none (null) in gives none out. Bytes map to
// units one to one (Latin-1), and units above 0xFF keep their low byte.
// Threading: any thread.
#pragma once

#include <cstddef>

#include "platform/com/Guid.h"
#include "platform/com/WideChar.h"

// A 16-bit unit per byte of `text`, zero-terminated.
WCHAR* WideFromNarrow(const char* text);
// The low byte of each unit, zero-terminated.
char* NarrowFromWide(const WCHAR* text);
// Units before the first zero unit; 0 for none.
size_t WideLength(const WCHAR* text);
// An exact copy.
char* DuplicateString(const char* text);
// The identifier written in `text` ("{...}" as StringFromCLSID gives it); all zero for none or
// text that does not parse.
CLSID ClassIdFromText(const char* text);
// The braced upper-case form of `clsid`; a copy of "{ Not available }" when it cannot be made.
char* TextFromClassId(REFCLSID clsid);
