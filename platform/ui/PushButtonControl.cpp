#include "platform/ui/PushButtonControl.h"

#include "platform/ui/QtText.h"
#include "platform/ui/WindowMessages.h"

PushButtonControl::PushButtonControl(const ControlTemplate& control, QWidget* parent)
    : ControlWindow(new QPushButton(parent), control) {
    QPushButton* button = Button();
    button->setDefault((control.style & BS_DEFPUSHBUTTON) != 0);
    button->setText(ToQString(control.text));
    QObject::connect(button, &QPushButton::clicked, [this] { NotifyParent(BN_CLICKED); });
}

LRESULT PushButtonControl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == BM_CLICK) {
        QPushButton* button = Button();
        if (button && button->isEnabled()) button->click();
        return 0;
    }
    return ControlWindow::WindowProc(message, wparam, lparam);
}

std::string PushButtonControl::Text() const {
    const QPushButton* button = Button();
    return button ? FromQString(button->text()) : "";
}

void PushButtonControl::SetText(const std::string& text) {
    if (QPushButton* button = Button()) button->setText(ToQString(text));
}
