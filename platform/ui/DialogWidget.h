// The Qt dialog under a Dialog: turns the keyboard and the close box into the commands a
// Windows dialog gets. Escape is IDCANCEL; Enter presses the focused push button, else the
// default button, else is IDOK; the close box (and accept / reject from Qt) sends WM_CLOSE /
// the command. Ending the run is always left to the dialog's own handler (EndDialog).
// Threading: the user-interface thread.
#pragma once

#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>

#include "platform/WinTypes.h"

class DialogWidget : public QDialog {
public:
    explicit DialogWidget(QWidget* parent);

    void SetHandle(HWND window) { m_handle = window; }
    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Command(int id);
    void PressEnter();

    HWND m_handle = nullptr;
};
