// Drawing types with their Win32 names: colours, the handles of icons, bitmaps and device
// contexts, and the paint record. Icons and bitmaps are pictures the program registered (see
// Resources.h); a device context is the drawing surface of one WM_PAINT (see Painting.h).
// Threading: plain types.
#pragma once

#include "platform/WinTypes.h"

// 0x00BBGGRR.
using COLORREF = DWORD;
constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) |
           (static_cast<COLORREF>(blue) << 16);
}
constexpr BYTE GetRValue(COLORREF color) {
    return static_cast<BYTE>(color & 0xFF);
}
constexpr BYTE GetGValue(COLORREF color) {
    return static_cast<BYTE>((color >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF color) {
    return static_cast<BYTE>((color >> 16) & 0xFF);
}
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;

struct HICON__ {};
using HICON = HICON__*;
struct HBITMAP__ {};
using HBITMAP = HBITMAP__*;
struct HDC__ {};
using HDC = HDC__*;
using HGDIOBJ = void*;

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;  // the background still needs erasing (WM_ERASEBKGND answered 0)
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

// ExcludeClipRect's answers.
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
