// The object behind a window handle, without any toolkit: it handles messages on its own
// thread and can queue work to that thread. The toolkit side (QtWindow) and test doubles
// derive from it.
// Order of use: construct, Attach (the calling thread becomes the window's thread and the
// handle becomes valid), messages, Close (optional: stop taking messages from other threads),
// Detach (the handle becomes invalid and every sender still waiting is released with 0),
// destroy. A derived class detaches in its own destructor, before its parts go.
// Threading: everything here on the window's thread; other threads reach the object only
// through the window functions (SendMessageA, PostMessageA, ...), which use the window table.
#pragma once

#include <functional>

#include "platform/WinTypes.h"

class WindowObject {
public:
    WindowObject() = default;
    virtual ~WindowObject();
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;

    HWND Attach(HWND parent, int control_id);
    void Close();
    void Detach();
    HWND Handle() const { return m_handle; }

    // Handles one message on the window's thread.
    virtual LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) = 0;
    // Queues `task` to run later on the window's thread; false when that cannot be done. Called
    // from any thread, under the window table's lock: it must neither block nor call back.
    virtual bool PostToOwnThread(std::function<void()> task) = 0;

    // Window services that have no message of their own; false where not supported.
    virtual bool StartTimer(UINT_PTR /*id*/, UINT /*milliseconds*/) { return false; }
    virtual bool StopTimer(UINT_PTR /*id*/) { return false; }
    virtual bool Enable(bool /*enable*/) { return false; }  // returns whether it was disabled
    virtual bool IsEnabled() const { return true; }
    virtual bool Focus() { return false; }
    // The client area in the window's own coordinates (left and top 0); false where unknown.
    virtual bool ClientRect(RECT* /*rect*/) const { return false; }

    // The window's style bits (WS_*, and the kind's own); a window shows what it can of a
    // change.
    DWORD Style() const { return m_style; }
    virtual void SetStyle(DWORD style) { m_style = style; }

private:
    HWND m_handle = nullptr;
    DWORD m_style = 0;
};
