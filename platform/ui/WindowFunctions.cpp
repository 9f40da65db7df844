#include "platform/ui/WindowFunctions.h"

#include <algorithm>
#include <cstring>

#include "platform/ui/WindowMessages.h"
#include "platform/ui/WindowTable.h"

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return WindowTable::Instance().Send(window, message, wparam, lparam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return WindowTable::Instance().Post(window, message, wparam, lparam) ? TRUE : FALSE;
}

BOOL IsWindow(HWND window) {
    return WindowTable::Instance().Contains(window) ? TRUE : FALSE;
}

HWND GetParent(HWND window) {
    return WindowTable::Instance().Parent(window);
}

HWND GetDlgItem(HWND dialog, int control_id) {
    return WindowTable::Instance().Child(dialog, control_id);
}

int GetDlgCtrlID(HWND window) {
    return WindowTable::Instance().ControlId(window);
}

LRESULT SendDlgItemMessageA(HWND dialog, int control_id, UINT message, WPARAM wparam,
                            LPARAM lparam) {
    HWND control = GetDlgItem(dialog, control_id);
    return control ? SendMessageA(control, message, wparam, lparam) : 0;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) != 0
               ? TRUE
               : FALSE;
}

int GetWindowTextA(HWND window, LPSTR buffer, int max_count) {
    if (!buffer || max_count <= 0) return 0;
    buffer[0] = '\0';
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(max_count),
                                         reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND window) {
    return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetDlgItemTextA(HWND dialog, int control_id, LPCSTR text) {
    HWND control = GetDlgItem(dialog, control_id);
    return control ? SetWindowTextA(control, text) : FALSE;
}

UINT GetDlgItemTextA(HWND dialog, int control_id, LPSTR buffer, int max_count) {
    if (buffer && max_count > 0) buffer[0] = '\0';
    HWND control = GetDlgItem(dialog, control_id);
    return control ? static_cast<UINT>(GetWindowTextA(control, buffer, max_count)) : 0;
}

std::string GetWindowTextString(HWND window) {
    // The text may change between the two calls: the count copied decides.
    std::string text(static_cast<size_t>(std::max(GetWindowTextLengthA(window), 0)) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    WindowObject* object = WindowTable::Instance().Local(window);
    return rect && object && object->ClientRect(rect) ? TRUE : FALSE;
}

LONG GetWindowLongA(HWND window, int index) {
    WindowObject* object = WindowTable::Instance().Local(window);
    if (!object) return 0;
    switch (index) {
        case GWL_STYLE:
            return static_cast<LONG>(object->Style());
        case GWL_ID:
            return GetDlgCtrlID(window);
        default:
            return 0;
    }
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    WindowObject* object = WindowTable::Instance().Local(window);
    if (!object || index != GWL_STYLE) return 0;
    const DWORD previous = object->Style();
    object->SetStyle(static_cast<DWORD>(value));
    return static_cast<LONG>(previous);
}

BOOL EnableWindow(HWND window, BOOL enable) {
    WindowObject* object = WindowTable::Instance().Local(window);
    return object && object->Enable(enable != FALSE) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
    WindowObject* object = WindowTable::Instance().Local(window);
    return object && object->IsEnabled() ? TRUE : FALSE;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure) {
    WindowObject* object = WindowTable::Instance().Local(window);
    if (!object || procedure || id == 0) return 0;
    return object->StartTimer(id, milliseconds) ? id : 0;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    WindowObject* object = WindowTable::Instance().Local(window);
    return object && object->StopTimer(id) ? TRUE : FALSE;
}

DWORD GetQueueStatus(UINT flags) {
    const DWORD kinds = WindowTable::Instance().QueuedKinds() & flags;
    return (kinds << 16) | kinds;
}
