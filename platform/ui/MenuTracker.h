// The one replaceable piece that shows a popup menu to the user and reports the choice:
// the application's is the Qt one (QtMenuTracker, answering by default once a dialog has been
// made), tests install one that records what was shown and answers as scripted. With none
// there at all, nothing is chosen. No toolkit types here.
// Threading: install before menus are shown; Track runs on the owner window's thread.
#pragma once

#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "platform/ui/MenuFunctions.h"

// One entry of a menu as it is shown.
struct MenuEntry {
    UINT flags = 0;  // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP, MF_SEPARATOR
    UINT id = 0;     // 0 for a separator or a submenu
    std::string text;
    std::vector<MenuEntry> submenu;

    bool IsSeparator() const { return (flags & MF_SEPARATOR) != 0; }
    bool IsPopup() const { return (flags & MF_POPUP) != 0; }
    bool IsEnabled() const { return (flags & (MF_GRAYED | MF_DISABLED)) == 0; }
};
using MenuEntries = std::vector<MenuEntry>;

// True when `id` is an enabled command entry of `entries` (or of an enabled submenu).
bool IsEnabledCommand(const MenuEntries& entries, UINT id);

class MenuTracker {
public:
    virtual ~MenuTracker() = default;
    // Shows `entries` at `at` (screen coordinates, lined up as the TPM_* `flags` say) for the
    // window `owner`, waits for the user and returns the identifier chosen, 0 for none.
    virtual UINT Track(const MenuEntries& entries, UINT flags, POINT at, HWND owner) = 0;
};

// Installs `tracker` (not owned; null goes back to the default) and returns the previous.
MenuTracker* SetMenuTracker(MenuTracker* tracker);
// The tracker used when none is installed (not owned).
void SetDefaultMenuTracker(MenuTracker* tracker);
MenuTracker& CurrentMenuTracker();
