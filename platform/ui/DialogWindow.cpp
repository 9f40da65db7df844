#include "platform/ui/DialogWindow.h"

#include <QFont>

#include "platform/ui/Dialog.h"
#include "platform/ui/QtText.h"

DialogWindow::DialogWindow(Dialog& owner, const DialogTemplate& dialog_template, HWND parent)
    : QtWindow(new DialogWidget(ParentWidget(parent))),
      m_owner(owner),
      m_template(dialog_template),
      m_widget(static_cast<DialogWidget*>(Widget())) {}

DialogWindow::~DialogWindow() {
    m_controls.clear();
    Detach();
    delete m_widget.data();
}

QWidget* DialogWindow::ParentWidget(HWND parent) {
    QtWindow* window = QtWindow::FromHandle(parent);
    QWidget* widget = window ? window->Widget() : nullptr;
    return widget ? widget->window() : nullptr;
}

HWND DialogWindow::Create() {
    DialogWidget* widget = m_widget.data();
    if (!widget) return nullptr;
    const DialogUnits units = Lay(*widget);
    HWND self = Attach(nullptr, 0);
    widget->SetHandle(self);
    for (const ControlTemplate& control : m_template.controls) {
        if (auto window = ControlWindow::Create(control, widget, units, self)) {
            m_controls.push_back(std::move(window));
        }
    }
    return self;
}

DialogUnits DialogWindow::Lay(DialogWidget& widget) const {
    QFont font(ToQString(m_template.font_name));
    font.setPointSize(m_template.font_size > 0 ? m_template.font_size : 8);
    font.setStyleHint(QFont::SansSerif);  // a Windows face that is not installed maps to sans
    widget.setFont(font);
    const DialogUnits units = DialogUnits::FromFont(font);
    widget.setFixedSize(units.ToPixelsX(m_template.cx), units.ToPixelsY(m_template.cy));
    widget.setWindowTitle(ToQString(m_template.caption));

    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (m_template.style & WS_SYSMENU) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    widget.setWindowFlags(flags);
    return units;
}

int DialogWindow::RunModal() {
    DialogWidget* widget = m_widget.data();
    return widget ? widget->exec() : -1;
}

void DialogWindow::End(int result) {
    if (DialogWidget* widget = m_widget.data()) widget->done(result);
}

LRESULT DialogWindow::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    return m_owner.WindowProc(message, wparam, lparam);
}

LRESULT DialogWindow::DefaultProc(UINT message, WPARAM wparam, LPARAM lparam) {
    return QtWindow::WindowProc(message, wparam, lparam);
}
