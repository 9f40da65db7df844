// Files dropped on a window: DragAcceptFiles lets a window take files dragged from the desktop
// or a file manager; each drop arrives as WM_DROPFILES with an HDROP, read with DragQueryFileA.
// Only local files count; a drag that carries none is refused. The drop's list is freed when
// the message returns (DragFinish is accepted and does nothing more), so an unhandled drop
// leaks nothing.
// Order of use: DragAcceptFiles once the window exists; in the WM_DROPFILES handler,
// DragQueryFileA(drop, 0xFFFFFFFF, ...) for the count, then each path.
// Threading: the user-interface thread.
#pragma once

#include "platform/WinTypes.h"

struct HDROP__;
using HDROP = HDROP__*;

constexpr UINT WM_DROPFILES = 0x0233;

void DragAcceptFiles(HWND window, BOOL accept);
// `index` 0xFFFFFFFF: the number of files. Otherwise copies the index-th path into `file`
// (zero-terminated, cut to `size`) and returns its length without the zero; with a null
// `file`, the length it needs. 0 for an index out of range.
UINT DragQueryFileA(HDROP drop, UINT index, char* file, UINT size);
void DragFinish(HDROP drop);
