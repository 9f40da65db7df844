#include "platform/ui/MenuFunctions.h"

#include <algorithm>
#include <cstring>

#include "platform/ui/MenuTable.h"
#include "platform/ui/MenuTracker.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"

namespace {

constexpr UINT kNoEntry = static_cast<UINT>(-1);

}  // namespace

HMENU CreatePopupMenu() {
    return MenuTable::Instance().Create();
}

HMENU CreateMenu() {
    return MenuTable::Instance().Create();
}

BOOL DestroyMenu(HMENU menu) {
    return MenuTable::Instance().Destroy(menu) ? TRUE : FALSE;
}

BOOL IsMenu(HMENU menu) {
    return MenuTable::Instance().Contains(menu) ? TRUE : FALSE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
    return MenuTable::Instance().Append(menu, flags, id, text) ? TRUE : FALSE;
}

UINT EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    const auto previous = MenuTable::Instance().ChangeState(menu, item, enable & MF_BYPOSITION,
                                                            MF_GRAYED | MF_DISABLED, enable);
    return previous ? (*previous & (MF_GRAYED | MF_DISABLED)) : kNoEntry;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    const auto state = MenuTable::Instance().State(menu, item, flags & MF_BYPOSITION);
    return state ? *state : kNoEntry;
}

int GetMenuItemCount(HMENU menu) {
    return MenuTable::Instance().Count(menu);
}

UINT GetMenuItemID(HMENU menu, int position) {
    const auto id = MenuTable::Instance().IdAt(menu, position);
    return id ? *id : kNoEntry;
}

HMENU GetSubMenu(HMENU menu, int position) {
    return MenuTable::Instance().SubmenuAt(menu, position);
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int max_count, UINT flags) {
    if (buffer && max_count > 0) buffer[0] = '\0';
    const auto text = MenuTable::Instance().Text(menu, item, flags & MF_BYPOSITION);
    if (!text) return 0;
    if (!buffer || max_count <= 0) return static_cast<int>(text->size());
    const size_t count = std::min(text->size(), static_cast<size_t>(max_count - 1));
    std::memcpy(buffer, text->data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int /*reserved*/, HWND owner,
                    const RECT* /*exclude*/) {
    if (!IsMenu(menu) || !IsWindow(owner)) return FALSE;
    if (!(flags & TPM_NONOTIFY)) {
        SendMessageA(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    }
    // The owner may have changed the menu while it was told.
    const MenuEntries entries = MenuTable::Instance().Entries(menu);
    UINT chosen = CurrentMenuTracker().Track(entries, flags, POINT{x, y}, owner);
    if (chosen != 0 && !IsEnabledCommand(entries, chosen)) chosen = 0;
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
    if (chosen != 0) PostMessageA(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
    return TRUE;
}
