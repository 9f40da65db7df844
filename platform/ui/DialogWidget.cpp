#include "platform/ui/DialogWidget.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "platform/ui/DeviceContext.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Painting.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"

DialogWidget::DialogWidget(QWidget* parent) : QDialog(parent) {
    // The background is the dialog's to erase (WM_ERASEBKGND), so that it can keep parts out.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QApplication::instance()->installEventFilter(this);
}

namespace {

bool IsWindowMenuKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_Space && key->modifiers() == Qt::AltModifier;
}

}  // namespace

bool DialogWidget::eventFilter(QObject* watched, QEvent* event) {
    auto* control = qobject_cast<QWidget*>(watched);
    if (!m_handle || !IsWindowMenuKey(event) || !control || !isAncestorOf(control)) {
        return QDialog::eventFilter(watched, event);
    }
    SendMessageA(m_handle, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    return true;
}

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
    if (IsWindowMenuKey(event) && m_handle) {
        SendMessageA(m_handle, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        event->accept();
        return;
    }
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
    // The dialog decides in its system command and WM_CLOSE handling (by default: IDCANCEL)
    // and ends the run itself; Qt must not hide the window behind its back.
    event->ignore();
    if (m_handle && isVisible()) SendMessageA(m_handle, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void DialogWidget::contextMenuEvent(QContextMenuEvent* event) {
    // The background and the texts on it are the dialog's own; a control keeps its clicks.
    QWidget* child = childAt(event->pos());
    const bool background =
        !child || qobject_cast<QLabel*>(child) || qobject_cast<QGroupBox*>(child);
    if (!m_handle || !background) {
        event->ignore();
        return;
    }
    event->accept();
    const QPoint at = event->globalPos();
    SendMessageA(m_handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_handle),
                 MAKELPARAM(static_cast<WORD>(at.x()), static_cast<WORD>(at.y())));
}

void DialogWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!m_handle) {
        painter.fillRect(event->rect(), palette().window());
        return;
    }
    DeviceContext context(m_handle, painter, event->region());
    SendMessageA(m_handle, WM_PAINT, 0, 0);
    if (!context.begun) {
        // Nobody painted: the background is erased all the same, as Windows' default does.
        PAINTSTRUCT paint;
        BeginPaint(m_handle, &paint);
        EndPaint(m_handle, &paint);
    }
}

void DialogWidget::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_handle || SendMessageA(m_handle, WM_GETICON, ICON_BIG, 0) != 0) return;
    const LRESULT icon = SendMessageA(m_handle, WM_QUERYDRAGICON, 0, 0);
    if (icon != 0) SendMessageA(m_handle, WM_SETICON, ICON_BIG, icon);
}
