// The Win32 painting calls the system uses inside its WM_PAINT and WM_ERASEBKGND handling:
// BeginPaint (which has the background erased first through WM_ERASEBKGND) and EndPaint,
// ExcludeClipRect, DrawIcon at the system's icon size, the system's sizes, and asking for a
// window to be painted again. A window is painted when Qt paints it; outside its WM_PAINT
// BeginPaint has nothing to hand out (null).
// Threading: the user-interface thread.
#pragma once

#include "platform/WinTypes.h"
#include "platform/ui/GdiTypes.h"

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;

HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
// In the device context's coordinates (the window's client area); ERROR for no context.
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
int GetSystemMetrics(int index);
// Marks the window (or `rect` of its client area, null for all of it) to be painted again.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
// Paints what is marked at once.
BOOL UpdateWindow(HWND window);
