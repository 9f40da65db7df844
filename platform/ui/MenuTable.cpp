#include "platform/ui/MenuTable.h"

namespace {

constexpr int kDeepestMenu = 32;  // menus nest no deeper than a person can follow

uintptr_t Key(HMENU menu) {
    return reinterpret_cast<uintptr_t>(menu);
}

}  // namespace

MenuTable& MenuTable::Instance() {
    static auto* table = new MenuTable;
    return *table;
}

HMENU MenuTable::Create() {
    std::lock_guard<std::mutex> lock(m_mutex);
    const uintptr_t key = m_next;
    m_next += 0x10;
    m_menus.emplace(key, Menu{});
    return reinterpret_cast<HMENU>(key);
}

bool MenuTable::Destroy(HMENU menu) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_menus.find(Key(menu));
    if (found == m_menus.end()) return false;
    // A submenu destroyed on its own leaves its entry in the owner, naming nothing.
    DestroyLocked(Key(menu));
    return true;
}

void MenuTable::DestroyLocked(uintptr_t menu) {
    const auto found = m_menus.find(menu);
    if (found == m_menus.end()) return;
    const std::vector<Item> items = std::move(found->second.items);
    m_menus.erase(found);
    for (const Item& item : items) {
        if (item.submenu) DestroyLocked(item.submenu);
    }
}

bool MenuTable::Contains(HMENU menu) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_menus.count(Key(menu)) != 0;
}

bool MenuTable::Within(uintptr_t menu, uintptr_t ancestor) const {
    for (int depth = 0; menu != 0 && depth <= kDeepestMenu; ++depth) {
        if (menu == ancestor) return true;
        const auto found = m_menus.find(menu);
        menu = found == m_menus.end() ? 0 : found->second.owner;
    }
    return false;
}

bool MenuTable::Append(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_menus.find(Key(menu));
    if (found == m_menus.end()) return false;
    Item item;
    item.flags = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR);
    if (flags & MF_SEPARATOR) {
        item.flags = MF_SEPARATOR;
    } else if (flags & MF_POPUP) {
        const auto submenu = m_menus.find(id);
        if (submenu == m_menus.end() || submenu->second.owner != 0 || Within(Key(menu), id)) {
            return false;
        }
        submenu->second.owner = Key(menu);
        item.submenu = id;
        item.text = text ? text : "";
    } else {
        if (!text) return false;
        item.id = static_cast<UINT>(id);
        item.text = text;
    }
    found->second.items.push_back(std::move(item));
    return true;
}

int MenuTable::Count(HMENU menu) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_menus.find(Key(menu));
    return found == m_menus.end() ? -1 : static_cast<int>(found->second.items.size());
}

const MenuTable::Item* MenuTable::Find(uintptr_t menu, UINT item, UINT by) const {
    const auto found = m_menus.find(menu);
    if (found == m_menus.end()) return nullptr;
    const std::vector<Item>& items = found->second.items;
    if (by & MF_BYPOSITION) return item < items.size() ? &items[item] : nullptr;
    for (const Item& candidate : items) {
        if (!candidate.submenu && !(candidate.flags & MF_SEPARATOR) && candidate.id == item) {
            return &candidate;
        }
    }
    for (const Item& candidate : items) {
        if (!candidate.submenu) continue;
        if (const Item* inner = Find(candidate.submenu, item, by)) return inner;
    }
    return nullptr;
}

MenuTable::Item* MenuTable::Find(uintptr_t menu, UINT item, UINT by) {
    return const_cast<Item*>(static_cast<const MenuTable*>(this)->Find(menu, item, by));
}

std::optional<UINT> MenuTable::ChangeState(HMENU menu, UINT item, UINT by, UINT mask, UINT state) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Item* found = Find(Key(menu), item, by);
    if (!found) return std::nullopt;
    const UINT previous = found->flags;
    found->flags = (found->flags & ~mask) | (state & mask);
    return previous;
}

std::optional<UINT> MenuTable::State(HMENU menu, UINT item, UINT by) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Item* found = Find(Key(menu), item, by);
    if (!found) return std::nullopt;
    return found->flags;
}

std::optional<std::string> MenuTable::Text(HMENU menu, UINT item, UINT by) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Item* found = Find(Key(menu), item, by);
    if (!found) return std::nullopt;
    return found->text;
}

std::optional<UINT> MenuTable::IdAt(HMENU menu, int position) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (position < 0) return std::nullopt;
    const Item* found = Find(Key(menu), static_cast<UINT>(position), MF_BYPOSITION);
    if (!found || found->submenu) return std::nullopt;
    return found->id;
}

HMENU MenuTable::SubmenuAt(HMENU menu, int position) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (position < 0) return nullptr;
    const Item* found = Find(Key(menu), static_cast<UINT>(position), MF_BYPOSITION);
    if (!found || !found->submenu || m_menus.count(found->submenu) == 0) return nullptr;
    return reinterpret_cast<HMENU>(found->submenu);
}

MenuEntries MenuTable::Entries(HMENU menu) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return EntriesLocked(Key(menu), 0);
}

MenuEntries MenuTable::EntriesLocked(uintptr_t menu, int depth) const {
    MenuEntries entries;
    const auto found = m_menus.find(menu);
    if (found == m_menus.end() || depth > kDeepestMenu) return entries;
    for (const Item& item : found->second.items) {
        // A submenu destroyed on its own is not shown.
        if (item.submenu && m_menus.count(item.submenu) == 0) continue;
        MenuEntry entry;
        entry.flags = item.flags;
        entry.id = item.id;
        entry.text = item.text;
        if (item.submenu) entry.submenu = EntriesLocked(item.submenu, depth + 1);
        entries.push_back(std::move(entry));
    }
    return entries;
}
