// The process's table of windows: gives out window handles, knows each window's thread,
// parent and control identifier, and carries messages between threads. A message sent from
// another thread is queued to the window's thread and the sender waits for the answer; the
// wait ends with 0 as soon as the window closes or goes, so a worker never hangs on a dialog
// that has ended. Handle values are never reused: a stale handle finds no window.
// Order of use: Add when a window is made, Close when its modal run ends (messages from other
// threads are refused from then on), Remove when it is destroyed.
// Threading: any thread. One lock guards the table; it is never held while a window handles a
// message, and a window's object is only used on its own thread or to queue work to it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/WinTypes.h"

class WindowObject;

class WindowTable {
public:
    static WindowTable& Instance();

    HWND Add(WindowObject* object, HWND parent, int control_id);
    void Close(HWND window);  // the window and its controls
    void Remove(HWND window);

    LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    bool Post(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    bool Contains(HWND window) const;
    HWND Parent(HWND window) const;
    int ControlId(HWND window) const;
    HWND Child(HWND parent, int control_id) const;
    // The window's object when the calling thread is the window's, else null.
    WindowObject* Local(HWND window) const;
    // QS_SENDMESSAGE / QS_POSTMESSAGE for what waits for the calling thread's windows.
    DWORD QueuedKinds() const;

private:
    struct SentMessage;
    struct Entry;

    WindowTable() = default;
    Entry* Find(HWND window);
    const Entry* Find(HWND window) const;
    void DropSent(Entry& entry);
    void DeliverSent(HWND window, const std::shared_ptr<SentMessage>& sent);
    void DeliverPosted(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    mutable std::mutex m_mutex;
    std::condition_variable m_answered;  // a sent message was answered or dropped
    std::map<uintptr_t, Entry> m_windows;
    uintptr_t m_next = 0x10010;
};
