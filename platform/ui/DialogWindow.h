// The window of a Dialog while it runs: the Qt dialog built from the template (font, size in
// dialog units, caption, close box or not) with its controls, each attached under its
// identifier. Messages to the dialog's handle go to the Dialog's WindowProc.
// Order of use: construct, Create, RunModal (or not, when the dialog ended during its
// initialisation), destroy: controls and frame are detached, then the widgets deleted.
// Threading: the user-interface thread.
#pragma once

#include <memory>
#include <vector>

#include <QPointer>

#include "platform/ui/ControlWindow.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/DialogWidget.h"
#include "platform/ui/QtWindow.h"

class Dialog;

class DialogWindow : public QtWindow {
public:
    DialogWindow(Dialog& owner, const DialogTemplate& dialog_template, HWND parent);
    ~DialogWindow() override;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    HWND Create();
    int RunModal();
    void End(int result);

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    // The frame's own handling (texts), for messages the dialog leaves alone.
    LRESULT DefaultProc(UINT message, WPARAM wparam, LPARAM lparam);

private:
    static QWidget* ParentWidget(HWND parent);
    DialogUnits Lay(DialogWidget& widget) const;

    Dialog& m_owner;
    const DialogTemplate& m_template;
    QPointer<DialogWidget> m_widget;  // owned: deleted with the window
    std::vector<std::unique_ptr<ControlWindow>> m_controls;
};
