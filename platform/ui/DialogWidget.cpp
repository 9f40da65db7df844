#include "platform/ui/DialogWidget.h"

#include <QPushButton>

#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"

DialogWidget::DialogWidget(QWidget* parent) : QDialog(parent) {}

void DialogWidget::accept() {
    Command(IDOK);
}

void DialogWidget::reject() {
    Command(IDCANCEL);
}

void DialogWidget::Command(int id) {
    if (m_handle) {
        SendMessageA(m_handle, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
    }
}

void DialogWidget::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Escape:
            Command(IDCANCEL);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            PressEnter();
            break;
        default:
            QDialog::keyPressEvent(event);
            return;
    }
    event->accept();
}

void DialogWidget::PressEnter() {
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    if (focused && focused->isEnabled() && focused->isVisible()) {
        focused->click();
        return;
    }
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->isDefault() && button->isVisible()) {
            if (button->isEnabled()) button->click();
            return;
        }
    }
    Command(IDOK);
}

void DialogWidget::closeEvent(QCloseEvent* event) {
    // The dialog decides in its WM_CLOSE handling (by default: IDCANCEL) and ends the run
    // itself; Qt must not hide the window behind its back.
    event->ignore();
    if (m_handle && isVisible()) SendMessageA(m_handle, WM_CLOSE, 0, 0);
}
