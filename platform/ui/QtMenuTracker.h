// The application's menu tracker: shows a popup menu as a Qt menu at the point asked (lined up
// as TPM_CENTERALIGN, TPM_RIGHTALIGN, TPM_VCENTERALIGN, TPM_BOTTOMALIGN say), each entry a
// real menu action with its text ('&' marks a mnemonic, a tab leads the shortcut's text),
// grayed entries disabled, submenus as Qt submenus, and waits for the user's choice.
// The dialog framework answers with it by default (see MenuTracker.h).
// Threading: the user-interface thread; called on any other, it shows nothing and answers 0.
#pragma once

#include "platform/ui/MenuTracker.h"

class QMenu;

class QtMenuTracker : public MenuTracker {
public:
    UINT Track(const MenuEntries& entries, UINT flags, POINT at, HWND owner) override;
    // The one the framework falls back on.
    static QtMenuTracker& Instance();

private:
    static void Fill(QMenu& menu, const MenuEntries& entries);
};
