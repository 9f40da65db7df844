// The Win32 calls about where windows are (GetClientRect is in WindowFunctions.h): a window's
// rectangle on the screen, points between screen and client coordinates, the minimised and
// maximised states, and the mouse position. Pixels are the toolkit's (they follow the
// screen's scale).
// Threading: the user-interface thread (another thread's windows give FALSE / 0).
#pragma once

#include "platform/WinTypes.h"

BOOL GetWindowRect(HWND window, RECT* rect);
BOOL ScreenToClient(HWND window, POINT* point);
BOOL ClientToScreen(HWND window, POINT* point);
// Maps `count` points from `from`'s client coordinates to `to`'s (null: the screen); a RECT
// is two points. Returns the shift packed as MAKELONG(dx, dy) (0 when it fails).
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
BOOL IsIconic(HWND window);
BOOL IsZoomed(HWND window);
BOOL GetCursorPos(POINT* point);
