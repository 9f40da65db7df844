#include "platform/ui/CheckBoxControl.h"

#include "platform/ui/QtText.h"
#include "platform/ui/WindowMessages.h"

CheckBoxControl::CheckBoxControl(const ControlTemplate& control, QWidget* parent)
    : ControlWindow(new QCheckBox(parent), control) {
    Box()->setText(ToQString(control.text));
    QObject::connect(Box(), &QCheckBox::clicked, [this] { NotifyParent(BN_CLICKED); });
}

LRESULT CheckBoxControl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    QCheckBox* box = Box();
    if (!box) return 0;
    switch (message) {
        case BM_GETCHECK:
            return box->isChecked() ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            box->setChecked(wparam == BST_CHECKED);
            return 0;
        case BM_CLICK:
            if (box->isEnabled()) box->click();
            return 0;
        default:
            return ControlWindow::WindowProc(message, wparam, lparam);
    }
}

std::string CheckBoxControl::Text() const {
    const QCheckBox* box = Box();
    return box ? FromQString(box->text()) : "";
}

void CheckBoxControl::SetText(const std::string& text) {
    if (QCheckBox* box = Box()) box->setText(ToQString(text));
}
