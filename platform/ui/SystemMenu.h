// A dialog's window menu, standing in for the system menu that Linux window managers keep to
// themselves: the usual window commands (Restore, Move, Size, Minimize, Maximize, a
// separator, Close, with their SC_* identifiers) and whatever the program appends to it
// (GetSystemMenu, AppendMenuA). It opens with Alt+Space and with a right click on the dialog's
// background; the commands that do not apply to the window at that moment are grayed, and the
// entry chosen is posted to the dialog as WM_SYSCOMMAND with its identifier (the point in the
// second parameter). A system command the dialog leaves to the framework acts on the window:
// SC_CLOSE becomes WM_CLOSE (for a dialog: Cancel), SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE change
// its state, SC_MOVE and SC_SIZE hand it to the window manager, SC_KEYMENU opens this menu.
// Order of use: made with the dialog's window, the menu itself on first use; destroyed with it.
// Threading: the user-interface thread.
#pragma once

#include <QPoint>
#include <QWidget>

#include "platform/WinTypes.h"
#include "platform/ui/MenuFunctions.h"

// The dialog's window menu; `revert` TRUE puts back the usual entries and returns null.
// Null for a window that is not a dialog.
HMENU GetSystemMenu(HWND window, BOOL revert);

class SystemMenu {
public:
    explicit SystemMenu(HWND window) : m_window(window) {}
    ~SystemMenu();
    SystemMenu(const SystemMenu&) = delete;
    SystemMenu& operator=(const SystemMenu&) = delete;

    HMENU Get(bool revert);
    // Shows the menu for `widget` (the dialog) at `at`, screen coordinates.
    void Show(QWidget& widget, const QPoint& at);
    // The framework's handling of system command `command` for `widget`.
    void Perform(QWidget& widget, WPARAM command);

private:
    void Build();
    void Gray(UINT command, bool grayed);
    void UpdateStates(const QWidget& widget);

    const HWND m_window;
    HMENU m_menu = nullptr;
};
