// The system's object for one control of a dialog (ListCtrl, SliderCtrl), bound to it the way
// a Windows framework subclasses a control: from then on the control passes the object, before
// anything else, the messages its kind names — a list view its own notifications (as
// WM_NOTIFY) and the commands of the menus tracked for it (WM_COMMAND), a slider its mouse
// buttons (WM_LBUTTONDOWN, WM_LBUTTONUP). A derived class overrides WindowProc for them.
// Order of use: construct, SubclassDlgItem once the dialog's controls exist (again for a new
// run of the dialog), use; either side may go first: the other lets go of it.
// Threading: the user-interface thread.
#pragma once

#include "platform/WinTypes.h"
#include "platform/ui/DialogTemplate.h"

class ControlWindow;

class ControlHook {
public:
    virtual ~ControlHook();
    ControlHook(const ControlHook&) = delete;
    ControlHook& operator=(const ControlHook&) = delete;

    // Binds to control `id` of `dialog`; FALSE when there is no such control of this kind.
    virtual BOOL SubclassDlgItem(UINT id, HWND dialog) = 0;
    // The control bound to, while it exists.
    HWND HookedWindow() const;

protected:
    ControlHook() = default;
    // Binds to control `id` of `dialog` if it is of `kind` (letting go of any earlier one);
    // its handle, or null.
    HWND HookControl(UINT id, HWND dialog, ControlKind kind);
    virtual LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) = 0;

private:
    friend class ControlWindow;
    LRESULT HookProc(UINT message, WPARAM wparam, LPARAM lparam) {
        return WindowProc(message, wparam, lparam);
    }
    void Unhooked(ControlWindow* control);
    void Unhook();

    ControlWindow* m_control = nullptr;
};
