// Base of the controls of a dialog: a Qt widget placed from its template, known to its dialog
// by its identifier, telling the dialog what happens to it with WM_COMMAND notifications.
// Each kind handles its own messages (BM_*, EM_*, LB_*, PBM_*, LVM_*, TBM_*, CB_*, STM_*) in
// its WindowProc. An object of the system may subclass a control (ControlHook): the control
// then passes it the messages its kind names (its own notifications, menu commands, mouse
// buttons) before doing anything else with them.
// Order of use: Create (made, placed and attached), messages, destroyed with its dialog.
// Threading: the user-interface thread; other threads reach a control through its handle.
#pragma once

#include <memory>

#include <QRect>

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtWindow.h"

class ControlHook;

class ControlWindow : public QtWindow {
public:
    // The control `control` describes, a child of `parent` attached to the window `dialog`;
    // null for a kind not known.
    static std::unique_ptr<ControlWindow> Create(const ControlTemplate& control, QWidget* parent,
                                                 const DialogUnits& units, HWND dialog);
    // The control behind `window` when the caller is on its thread, else null.
    static ControlWindow* FromHandle(HWND window);
    ~ControlWindow() override;

    int Id() const { return m_id; }
    ControlKind Kind() const { return m_kind; }
    ControlHook* Hook() const { return m_hook; }
    void SetHook(ControlHook* hook) { m_hook = hook; }

protected:
    // Holds back a control's notifications while a message, not the user, changes it.
    class Quiet {
    public:
        explicit Quiet(bool& flag) : m_flag(flag), m_was(flag) { m_flag = true; }
        ~Quiet() { m_flag = m_was; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        bool& m_flag;
        bool m_was;
    };

    ControlWindow(QWidget* widget, const ControlTemplate& control);
    // Puts the widget at `rect` (pixels in the dialog); a kind whose size comes from its
    // content (a picture, a combo box's closed height) adjusts it.
    virtual void Place(const QRect& rect);
    // WM_COMMAND to the dialog, with this control's identifier and `code`.
    void NotifyParent(WORD code);
    // `message` to the hook first, if there is one; its answer, else 0.
    LRESULT CallHook(UINT message, WPARAM wparam, LPARAM lparam);

private:
    const int m_id;
    const ControlKind m_kind;
    ControlHook* m_hook = nullptr;
};
