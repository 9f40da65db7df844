// The Win32 menu calls the system uses: popup menus made of plain, grayed, checked and
// submenu entries and separators, shown at a point with TrackPopupMenu. A submenu appended
// with MF_POPUP belongs to its menu from then on and is destroyed with it. The menu is shown by
// the installed MenuTracker (see MenuTracker.h): the user's choice reaches the owner window as
// a posted WM_COMMAND with the entry's identifier (notification code 0), or is returned with
// TPM_RETURNCMD. A grayed or disabled entry cannot be chosen. Menu handles are never given out
// twice, so a destroyed menu's handle names nothing (calls with it fail).
// Threading: the user-interface thread (a menu's owner window's thread).
#pragma once

#include "platform/WinTypes.h"

struct HMENU__;
using HMENU = HMENU__*;

constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_SEPARATOR = 0x0800;

constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

HMENU CreatePopupMenu();
HMENU CreateMenu();
// Destroys the menu and its submenus.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
// MF_STRING (with MF_GRAYED, MF_DISABLED, MF_CHECKED) with `id` and `text`; MF_POPUP with
// the submenu's handle as `id`; MF_SEPARATOR alone. FALSE for a menu that does not exist, a
// submenu that does not exist or already belongs to a menu (or would contain this one).
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);
// `item` by command identifier (searched in submenus too) or, with MF_BYPOSITION, by
// position. `enable` MF_ENABLED, MF_GRAYED or MF_DISABLED; returns the previous state or
// (UINT)-1 when there is no such entry.
UINT EnableMenuItem(HMENU menu, UINT item, UINT enable);
// The entry's MF_* flags, (UINT)-1 when there is no such entry.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuItemCount(HMENU menu);  // -1 for no menu
// The identifier at `position`: 0 for a separator, (UINT)-1 for a submenu or no entry.
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
// Copies at most `max_count` - 1 bytes and a zero; the count copied.
int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int max_count, UINT flags);
// Shows `menu` at the screen point (`x`, `y`), lined up by `flags` (TPM_*), for `owner`.
// Without TPM_RETURNCMD: nonzero when the menu was shown, the choice posted as WM_COMMAND;
// with it: the chosen identifier, 0 for none, and nothing posted. `reserved` and `exclude` are
// accepted and ignored. Unless TPM_NONOTIFY, the owner gets WM_INITMENUPOPUP first.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const RECT* exclude);
