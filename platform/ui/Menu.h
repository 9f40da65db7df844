// Menu: one popup menu owned by an object of the system, as a Windows framework's menu class
// holds it: CreatePopupMenu, AppendMenu (a submenu goes in with MF_POPUP and its handle,
// reinterpret_cast<UINT_PTR>(submenu.GetSafeHmenu())), TrackPopupMenu, DestroyMenu. The menu is
// destroyed with the object unless detached; destroying a menu destroys the submenus appended
// to it, and a submenu object destroyed later finds its menu gone, which is harmless.
// Order of use: construct, CreatePopupMenu, append, track, DestroyMenu or destroy.
// Threading: the user-interface thread.
#pragma once

#include "platform/WinTypes.h"
#include "platform/ui/MenuFunctions.h"

class Menu {
public:
    Menu() = default;
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    // FALSE when this object holds a menu already.
    BOOL CreatePopupMenu();
    BOOL DestroyMenu();
    BOOL Attach(HMENU menu);
    HMENU Detach();
    HMENU GetSafeHmenu() const { return m_menu; }

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr);
    UINT EnableMenuItem(UINT item, UINT enable);
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    // See ::TrackPopupMenu; `owner` receives the WM_COMMAND.
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner, const RECT* exclude = nullptr);

private:
    HMENU m_menu = nullptr;
};
