// A control's tooltip, the text shown when the pointer rests on it. Windows does this with a
// tooltip control and TTM_ADDTOOL for each tool; one call per control (an extension) does here.
// Threading: the user-interface thread.
#pragma once

#include <string>

#include "platform/WinTypes.h"

// FALSE when `control` is not a window of this thread. Null or empty text removes the tooltip.
BOOL SetToolTipTextA(HWND control, const char* text);
// The tooltip's text; empty when there is none.
std::string GetToolTipText(HWND control);
