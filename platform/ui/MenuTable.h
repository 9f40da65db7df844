// The process's menus behind the menu calls: each handle's entries, its submenus and the menu
// a submenu belongs to. Handles are numbers never given out twice.
// Threading: any thread; one lock guards the table (menus are used on the user-interface
// thread).
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "platform/ui/MenuFunctions.h"
#include "platform/ui/MenuTracker.h"

class MenuTable {
public:
    static MenuTable& Instance();

    HMENU Create();
    bool Destroy(HMENU menu);
    bool Contains(HMENU menu) const;
    bool Append(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);
    int Count(HMENU menu) const;
    // The flags of entry `item` (MF_BYPOSITION in `by` or by command) before the change; only
    // the bits of `mask` are set to `state`. Nothing when there is no such entry.
    std::optional<UINT> ChangeState(HMENU menu, UINT item, UINT by, UINT mask, UINT state);
    std::optional<UINT> State(HMENU menu, UINT item, UINT by) const;
    std::optional<std::string> Text(HMENU menu, UINT item, UINT by) const;
    // The entry at `position`: its identifier and submenu.
    std::optional<UINT> IdAt(HMENU menu, int position) const;
    HMENU SubmenuAt(HMENU menu, int position) const;
    // The menu as shown: entries and submenus, in order.
    MenuEntries Entries(HMENU menu) const;

private:
    struct Item {
        UINT flags = 0;
        UINT id = 0;
        std::string text;
        uintptr_t submenu = 0;
    };
    struct Menu {
        std::vector<Item> items;
        uintptr_t owner = 0;  // the menu this one is a submenu of
    };

    MenuTable() = default;
    const Item* Find(uintptr_t menu, UINT item, UINT by) const;
    Item* Find(uintptr_t menu, UINT item, UINT by);
    bool Within(uintptr_t menu, uintptr_t ancestor) const;
    void DestroyLocked(uintptr_t menu);
    MenuEntries EntriesLocked(uintptr_t menu, int depth) const;

    mutable std::mutex m_mutex;
    std::map<uintptr_t, Menu> m_menus;
    uintptr_t m_next = 0x30010;
};
