// The Win32 window functions the system calls: sending and posting messages, looking windows
// and controls up, their texts, enabling, window timers and the queue status.
// SendMessageA on the window's own thread calls its handler at once; from another thread it
// waits until the window's thread has handled the message and returns the handler's result.
// A message for a window that does not exist (any more), or whose modal run has ended, gives
// 0 / FALSE at once, and a sender already waiting when the run ends or the window goes is
// released with 0. PostMessageA queues the message for the window's thread, in order.
// Threading: messages, look-ups and texts from any thread; EnableWindow, IsWindowEnabled,
// SetTimer, KillTimer, the window's style and client area on the window's thread only
// (elsewhere they fail).
#pragma once

#include <string>

#include "platform/WinTypes.h"
#include "platform/ui/WindowObject.h"

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
BOOL IsWindow(HWND window);

HWND GetParent(HWND window);
HWND GetDlgItem(HWND dialog, int control_id);
int GetDlgCtrlID(HWND window);
LRESULT SendDlgItemMessageA(HWND dialog, int control_id, UINT message, WPARAM wparam,
                            LPARAM lparam);

// Texts are narrow UTF-8. GetWindowTextA copies at most `max_count` - 1 bytes and a zero, and
// returns the count copied.
BOOL SetWindowTextA(HWND window, LPCSTR text);
int GetWindowTextA(HWND window, LPSTR buffer, int max_count);
int GetWindowTextLengthA(HWND window);
BOOL SetDlgItemTextA(HWND dialog, int control_id, LPCSTR text);
UINT GetDlgItemTextA(HWND dialog, int control_id, LPSTR buffer, int max_count);
// The whole text in one call; empty for no window.
std::string GetWindowTextString(HWND window);

// The client area in the window's own coordinates (left and top 0).
BOOL GetClientRect(HWND window, LPRECT rect);

// GWL_STYLE (the style bits) and GWL_ID (the control identifier, read only); 0 for anything
// else, another thread's window or no window. SetWindowLongA returns the previous value.
LONG GetWindowLongA(HWND window, int index);
LONG SetWindowLongA(HWND window, int index, LONG value);

// Returns nonzero when the window was disabled before.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);

// WM_TIMER with `id` every `milliseconds` until killed. Timer procedures are not supported.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);

// QS_SENDMESSAGE / QS_POSTMESSAGE for the messages waiting for the calling thread's windows,
// in both the high word (what is queued) and the low word.
DWORD GetQueueStatus(UINT flags);
