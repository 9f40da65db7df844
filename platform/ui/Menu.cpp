#include "platform/ui/Menu.h"

Menu::~Menu() {
    DestroyMenu();
}

BOOL Menu::CreatePopupMenu() {
    if (m_menu) return FALSE;
    m_menu = ::CreatePopupMenu();
    return m_menu ? TRUE : FALSE;
}

BOOL Menu::DestroyMenu() {
    if (!m_menu) return FALSE;
    const BOOL destroyed = ::DestroyMenu(m_menu);
    m_menu = nullptr;
    return destroyed;
}

BOOL Menu::Attach(HMENU menu) {
    if (m_menu || !IsMenu(menu)) return FALSE;
    m_menu = menu;
    return TRUE;
}

HMENU Menu::Detach() {
    const HMENU menu = m_menu;
    m_menu = nullptr;
    return menu;
}

BOOL Menu::AppendMenu(UINT flags, UINT_PTR id, LPCSTR text) {
    return ::AppendMenuA(m_menu, flags, id, text);
}

UINT Menu::EnableMenuItem(UINT item, UINT enable) {
    return ::EnableMenuItem(m_menu, item, enable);
}

int Menu::GetMenuItemCount() const {
    return ::GetMenuItemCount(m_menu);
}

UINT Menu::GetMenuItemID(int position) const {
    return ::GetMenuItemID(m_menu, position);
}

BOOL Menu::TrackPopupMenu(UINT flags, int x, int y, HWND owner, const RECT* exclude) {
    return ::TrackPopupMenu(m_menu, flags, x, y, 0, owner, exclude);
}
