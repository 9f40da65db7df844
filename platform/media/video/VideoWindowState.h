// VideoWindowState: everything IVideoWindow can set on the video window, kept whether or not
// the window exists yet, so a window made later (or remade) starts as the application left it.
// Threading: a value.
#pragma once

#include <string>

#include <QRect>

#include "platform/WinTypes.h"

struct VideoWindowState {
    std::u16string caption = u"Video Renderer";
    long style = 0;
    long style_ex = 0;
    HWND owner = nullptr;  // null: a window of its own
    HWND drain = nullptr;  // gets the window's mouse and key messages
    QRect position;        // in the owner's client area when owned
    bool visible = false;
    bool minimized = false;  // windows of their own only
    bool maximized = false;
    bool cursor_hidden = false;
    long border_color = 0;  // 0x00BBGGRR: the window's area outside the picture
};
