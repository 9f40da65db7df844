// The window of a Dialog while it runs: the Qt dialog built from the template (font, size in
// dialog units, caption, close box or not, style) with its controls, each attached under its
// identifier, and its window menu. Messages to the dialog's handle go to the Dialog's
// WindowProc; what it leaves to the framework comes back to DefaultProc: texts, icons
// (WM_SETICON, WM_GETICON), painting (WM_PAINT, WM_ERASEBKGND and WM_ICONERASEBKGND fill the
// background, WM_QUERYDRAGICON has none), system commands and the window menu (WM_SYSCOMMAND,
// WM_CONTEXTMENU; see SystemMenu).
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
#include "platform/ui/GdiTypes.h"
#include "platform/ui/QtWindow.h"
#include "platform/ui/SystemMenu.h"

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
    // The frame's own handling, for messages the dialog leaves alone.
    LRESULT DefaultProc(UINT message, WPARAM wparam, LPARAM lparam);
    SystemMenu& System();

private:
    static QWidget* ParentWidget(HWND parent);
    DialogUnits Lay(DialogWidget& widget) const;
    LRESULT SetIcon(WPARAM which, HICON icon);
    LRESULT EraseBackground(WPARAM dc);

    Dialog& m_owner;
    const DialogTemplate& m_template;
    QPointer<DialogWidget> m_widget;  // owned: deleted with the window
    std::vector<std::unique_ptr<ControlWindow>> m_controls;
    std::unique_ptr<SystemMenu> m_system_menu;  // on first use, once the window has its handle
    HICON m_big_icon = nullptr;
    HICON m_small_icon = nullptr;
};
