// BSTR, the automation string: wide text with its length kept in front of the first unit and
// a terminator after the last, so it reads as an LPOLESTR. Allocate and free only with these
// functions; a null BSTR is a valid empty string.
// Threading: any thread.
#pragma once

#include "platform/WinTypes.h"
#include "platform/com/WideChar.h"

using BSTR = OLECHAR*;

// A copy of the terminated text; null for null text or when memory runs out.
BSTR SysAllocString(const OLECHAR* text);
// `length` units copied from `text` (or left zero when `text` is null), then a terminator.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
// The length in units, without the terminator; 0 for null.
UINT SysStringLen(BSTR text);
