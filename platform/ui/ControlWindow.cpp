#include "platform/ui/ControlWindow.h"

#include "platform/ui/CheckBoxControl.h"
#include "platform/ui/EditControl.h"
#include "platform/ui/ListBoxControl.h"
#include "platform/ui/ProgressBarControl.h"
#include "platform/ui/PushButtonControl.h"
#include "platform/ui/StaticControl.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"

namespace {

std::unique_ptr<ControlWindow> MakeControl(const ControlTemplate& control, QWidget* parent) {
    switch (control.kind) {
        case ControlKind::Static:
            return std::make_unique<StaticControl>(control, parent);
        case ControlKind::PushButton:
            return std::make_unique<PushButtonControl>(control, parent);
        case ControlKind::Edit:
            return std::make_unique<EditControl>(control, parent);
        case ControlKind::ProgressBar:
            return std::make_unique<ProgressBarControl>(control, parent);
        case ControlKind::CheckBox:
            return std::make_unique<CheckBoxControl>(control, parent);
        case ControlKind::ListBox:
            return std::make_unique<ListBoxControl>(control, parent);
    }
    return nullptr;
}

}  // namespace

ControlWindow::ControlWindow(QWidget* widget, const ControlTemplate& control)
    : QtWindow(widget), m_id(control.id), m_style(control.style) {}

std::unique_ptr<ControlWindow> ControlWindow::Create(const ControlTemplate& control,
                                                     QWidget* parent, const DialogUnits& units,
                                                     HWND dialog) {
    auto window = MakeControl(control, parent);
    if (!window) return nullptr;
    QWidget* widget = window->Widget();
    widget->setGeometry(units.ToPixels(control.x, control.y, control.cx, control.cy));
    widget->setEnabled((control.style & WS_DISABLED) == 0);
    window->Attach(dialog, control.id);
    return window;
}

void ControlWindow::NotifyParent(WORD code) {
    HWND self = Handle();
    if (!self) return;  // still being built: nobody to tell
    SendMessageA(GetParent(self), WM_COMMAND, MAKEWPARAM(LOWORD(static_cast<UINT>(m_id)), code),
                 reinterpret_cast<LPARAM>(self));
}
