#include "platform/media/graph/GraphVideoWindow.h"

GraphVideoWindow::GraphVideoWindow(IUnknown* owner, const GraphFilterList& filters)
    : m_owner(owner), m_filters(filters) {}

HRESULT GraphVideoWindow::QueryInterface(REFIID iid, void** object) {
    return m_owner->QueryInterface(iid, object);
}

ULONG GraphVideoWindow::AddRef() {
    return m_owner->AddRef();
}

ULONG GraphVideoWindow::Release() {
    return m_owner->Release();
}

HRESULT GraphVideoWindow::put_Caption(BSTR caption) {
    return Forward(&IVideoWindow::put_Caption, caption);
}

HRESULT GraphVideoWindow::get_Caption(BSTR* caption) {
    return Forward(&IVideoWindow::get_Caption, caption);
}

HRESULT GraphVideoWindow::put_WindowStyle(long style) {
    return Forward(&IVideoWindow::put_WindowStyle, style);
}

HRESULT GraphVideoWindow::get_WindowStyle(long* style) {
    return Forward(&IVideoWindow::get_WindowStyle, style);
}

HRESULT GraphVideoWindow::put_WindowStyleEx(long style) {
    return Forward(&IVideoWindow::put_WindowStyleEx, style);
}

HRESULT GraphVideoWindow::get_WindowStyleEx(long* style) {
    return Forward(&IVideoWindow::get_WindowStyleEx, style);
}

HRESULT GraphVideoWindow::put_AutoShow(long auto_show) {
    return Forward(&IVideoWindow::put_AutoShow, auto_show);
}

HRESULT GraphVideoWindow::get_AutoShow(long* auto_show) {
    return Forward(&IVideoWindow::get_AutoShow, auto_show);
}

HRESULT GraphVideoWindow::put_WindowState(long state) {
    return Forward(&IVideoWindow::put_WindowState, state);
}

HRESULT GraphVideoWindow::get_WindowState(long* state) {
    return Forward(&IVideoWindow::get_WindowState, state);
}

HRESULT GraphVideoWindow::put_BackgroundPalette(long palette) {
    return Forward(&IVideoWindow::put_BackgroundPalette, palette);
}

HRESULT GraphVideoWindow::get_BackgroundPalette(long* palette) {
    return Forward(&IVideoWindow::get_BackgroundPalette, palette);
}

HRESULT GraphVideoWindow::put_Visible(long visible) {
    return Forward(&IVideoWindow::put_Visible, visible);
}

HRESULT GraphVideoWindow::get_Visible(long* visible) {
    return Forward(&IVideoWindow::get_Visible, visible);
}

HRESULT GraphVideoWindow::put_Left(long left) {
    return Forward(&IVideoWindow::put_Left, left);
}

HRESULT GraphVideoWindow::get_Left(long* left) {
    return Forward(&IVideoWindow::get_Left, left);
}

HRESULT GraphVideoWindow::put_Width(long width) {
    return Forward(&IVideoWindow::put_Width, width);
}

HRESULT GraphVideoWindow::get_Width(long* width) {
    return Forward(&IVideoWindow::get_Width, width);
}

HRESULT GraphVideoWindow::put_Top(long top) {
    return Forward(&IVideoWindow::put_Top, top);
}

HRESULT GraphVideoWindow::get_Top(long* top) {
    return Forward(&IVideoWindow::get_Top, top);
}

HRESULT GraphVideoWindow::put_Height(long height) {
    return Forward(&IVideoWindow::put_Height, height);
}

HRESULT GraphVideoWindow::get_Height(long* height) {
    return Forward(&IVideoWindow::get_Height, height);
}

HRESULT GraphVideoWindow::put_Owner(OAHWND owner) {
    return Forward(&IVideoWindow::put_Owner, owner);
}

HRESULT GraphVideoWindow::get_Owner(OAHWND* owner) {
    return Forward(&IVideoWindow::get_Owner, owner);
}

HRESULT GraphVideoWindow::put_MessageDrain(OAHWND drain) {
    return Forward(&IVideoWindow::put_MessageDrain, drain);
}

HRESULT GraphVideoWindow::get_MessageDrain(OAHWND* drain) {
    return Forward(&IVideoWindow::get_MessageDrain, drain);
}

HRESULT GraphVideoWindow::get_BorderColor(long* color) {
    return Forward(&IVideoWindow::get_BorderColor, color);
}

HRESULT GraphVideoWindow::put_BorderColor(long color) {
    return Forward(&IVideoWindow::put_BorderColor, color);
}

HRESULT GraphVideoWindow::get_FullScreenMode(long* full_screen) {
    return Forward(&IVideoWindow::get_FullScreenMode, full_screen);
}

HRESULT GraphVideoWindow::put_FullScreenMode(long full_screen) {
    return Forward(&IVideoWindow::put_FullScreenMode, full_screen);
}

HRESULT GraphVideoWindow::SetWindowForeground(long focus) {
    return Forward(&IVideoWindow::SetWindowForeground, focus);
}

HRESULT GraphVideoWindow::NotifyOwnerMessage(OAHWND window, long message, LONG_PTR wparam,
                                             LONG_PTR lparam) {
    return Forward(&IVideoWindow::NotifyOwnerMessage, window, message, wparam, lparam);
}

HRESULT GraphVideoWindow::SetWindowPosition(long left, long top, long width, long height) {
    return Forward(&IVideoWindow::SetWindowPosition, left, top, width, height);
}

HRESULT GraphVideoWindow::GetWindowPosition(long* left, long* top, long* width, long* height) {
    return Forward(&IVideoWindow::GetWindowPosition, left, top, width, height);
}

HRESULT GraphVideoWindow::GetMinIdealImageSize(long* width, long* height) {
    return Forward(&IVideoWindow::GetMinIdealImageSize, width, height);
}

HRESULT GraphVideoWindow::GetMaxIdealImageSize(long* width, long* height) {
    return Forward(&IVideoWindow::GetMaxIdealImageSize, width, height);
}

HRESULT GraphVideoWindow::GetRestorePosition(long* left, long* top, long* width, long* height) {
    return Forward(&IVideoWindow::GetRestorePosition, left, top, width, height);
}

HRESULT GraphVideoWindow::HideCursor(long hide) {
    return Forward(&IVideoWindow::HideCursor, hide);
}

HRESULT GraphVideoWindow::IsCursorHidden(long* hidden) {
    return Forward(&IVideoWindow::IsCursorHidden, hidden);
}
