// The Qt dialog under a Dialog: turns the keyboard, the mouse and the window manager into what
// a Windows dialog gets. Escape is IDCANCEL; Enter presses the focused push button, else the
// default button, else is IDOK; the close box (and accept / reject from Qt) sends
// WM_SYSCOMMAND SC_CLOSE / the command; Alt+Space sends WM_SYSCOMMAND SC_KEYMENU and a right
// click on the background (not on a control) WM_CONTEXTMENU, which by default open the window
// menu. Each paint is a WM_PAINT (the background erased through WM_ERASEBKGND when BeginPaint
// asks for it, or after the message when nobody did); a window without an icon asks
// WM_QUERYDRAGICON for one when shown. Ending the run is always left to the dialog's own
// handler (EndDialog).
// Threading: the user-interface thread.
#pragma once

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QShowEvent>

#include "platform/WinTypes.h"

class DialogWidget : public QDialog {
public:
    explicit DialogWidget(QWidget* parent);

    void SetHandle(HWND window) { m_handle = window; }
    void accept() override;
    void reject() override;

protected:
    // Alt+Space opens the window menu whichever control has the focus: a focused push
    // button would otherwise take the space as a click.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Command(int id);
    void PressEnter();

    HWND m_handle = nullptr;
};
