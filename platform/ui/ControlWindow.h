// Base of the controls of a dialog: a Qt widget placed from its template, known to its dialog
// by its identifier, telling the dialog what happens to it with WM_COMMAND notifications.
// Each kind handles its own messages (BM_*, EM_*, LB_*, PBM_*) in its WindowProc.
// Order of use: Create (made, placed and attached), messages, destroyed with its dialog.
// Threading: the user-interface thread; other threads reach a control through its handle.
#pragma once

#include <memory>

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtWindow.h"

class ControlWindow : public QtWindow {
public:
    // The control `control` describes, a child of `parent` attached to the window `dialog`;
    // null for a kind not known.
    static std::unique_ptr<ControlWindow> Create(const ControlTemplate& control, QWidget* parent,
                                                 const DialogUnits& units, HWND dialog);

    int Id() const { return m_id; }
    DWORD Style() const { return m_style; }

protected:
    ControlWindow(QWidget* widget, const ControlTemplate& control);
    // WM_COMMAND to the dialog, with this control's identifier and `code`.
    void NotifyParent(WORD code);

private:
    const int m_id;
    const DWORD m_style;
};
