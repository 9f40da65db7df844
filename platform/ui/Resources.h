// The program's resources: pictures (icons, bitmaps) and strings, found by resource number as
// a Windows program finds what is built into it. The program registers them at start-up —
// encoded image data (PNG, BMP, XPM, ... as Qt reads them) or rows of pixels — and then loads
// them with the Win32 calls. Handles of loaded pictures stay valid for the life of the process
// (registering a number again replaces the picture for later loads only); DeleteObject and
// DestroyIcon accept them and do nothing.
// Threading: any thread; register before the pictures are used.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/WinTypes.h"
#include "platform/ui/GdiTypes.h"

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;  // accepted and ignored: the program has one set of resources

inline LPCSTR MAKEINTRESOURCEA(UINT id) {
    return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<WORD>(id)));
}
inline bool IS_INTRESOURCE(LPCSTR name) {
    return (reinterpret_cast<uintptr_t>(name) >> 16) == 0;
}

// FALSE when the data is not a picture Qt can read, or the pixels are missing.
BOOL RegisterBitmapResource(UINT id, const void* data, size_t size);
// `pixels`: `height` rows of `width` colours, top row first.
BOOL RegisterBitmapResource(UINT id, int width, int height, const COLORREF* pixels);
BOOL RegisterIconResource(UINT id, const void* data, size_t size);
// Pixels of colour `transparent` are left out of the icon.
BOOL RegisterIconResource(UINT id, int width, int height, const COLORREF* pixels,
                          COLORREF transparent = CLR_NONE);
BOOL RegisterStringResource(UINT id, const char* text);

// `name` is MAKEINTRESOURCEA(number) or the number as text ("#128"); null when not registered.
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name);
// Copies at most `max_count` - 1 bytes and a zero; the count copied, 0 when not registered.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int max_count);
BOOL DeleteObject(HGDIOBJ object);
BOOL DestroyIcon(HICON icon);
// A loaded picture's size in pixels; FALSE for a handle that is not one.
BOOL GetPictureSize(HGDIOBJ picture, SIZE* size);
