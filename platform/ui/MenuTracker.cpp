#include "platform/ui/MenuTracker.h"

#include <atomic>

namespace {

// Without a user interface nobody chooses.
class NoMenuTracker : public MenuTracker {
public:
    UINT Track(const MenuEntries&, UINT, POINT, HWND) override { return 0; }
};

std::atomic<MenuTracker*> g_tracker{nullptr};
std::atomic<MenuTracker*> g_default{nullptr};

}  // namespace

bool IsEnabledCommand(const MenuEntries& entries, UINT id) {
    for (const MenuEntry& entry : entries) {
        if (!entry.IsEnabled() || entry.IsSeparator()) continue;
        if (entry.IsPopup()) {
            if (IsEnabledCommand(entry.submenu, id)) return true;
        } else if (entry.id == id) {
            return true;
        }
    }
    return false;
}

MenuTracker* SetMenuTracker(MenuTracker* tracker) {
    return g_tracker.exchange(tracker);
}

void SetDefaultMenuTracker(MenuTracker* tracker) {
    g_default.store(tracker);
}

MenuTracker& CurrentMenuTracker() {
    static NoMenuTracker nobody;
    if (MenuTracker* tracker = g_tracker.load()) return *tracker;
    if (MenuTracker* tracker = g_default.load()) return *tracker;
    return nobody;
}
