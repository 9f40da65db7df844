#include "platform/ui/ControlWindow.h"

#include "platform/ui/CheckBoxControl.h"
#include "platform/ui/ComboBoxControl.h"
#include "platform/ui/ControlHook.h"
#include "platform/ui/EditControl.h"
#include "platform/ui/FrameControl.h"
#include "platform/ui/GroupBoxControl.h"
#include "platform/ui/ListBoxControl.h"
#include "platform/ui/ListViewControl.h"
#include "platform/ui/PictureControl.h"
#include "platform/ui/ProgressBarControl.h"
#include "platform/ui/PushButtonControl.h"
#include "platform/ui/SliderControl.h"
#include "platform/ui/StaticControl.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/WindowTable.h"

namespace {

// A static's kind of picture or frame lies in its style, as with Windows' "Static" class.
std::unique_ptr<ControlWindow> MakeStatic(const ControlTemplate& control, QWidget* parent) {
    switch (control.style & SS_TYPEMASK) {
        case SS_ICON:
        case SS_BITMAP:
            return std::make_unique<PictureControl>(control, parent);
        case SS_BLACKRECT:
        case SS_GRAYRECT:
        case SS_WHITERECT:
        case SS_BLACKFRAME:
        case SS_GRAYFRAME:
        case SS_WHITEFRAME:
        case SS_ETCHEDFRAME:
            return std::make_unique<FrameControl>(control, parent);
        default:
            return std::make_unique<StaticControl>(control, parent);
    }
}

std::unique_ptr<ControlWindow> MakeControl(const ControlTemplate& control, QWidget* parent) {
    switch (control.kind) {
        case ControlKind::Static:
            return MakeStatic(control, parent);
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
        case ControlKind::ListView:
            return std::make_unique<ListViewControl>(control, parent);
        case ControlKind::Slider:
            return std::make_unique<SliderControl>(control, parent);
        case ControlKind::ComboBox:
            return std::make_unique<ComboBoxControl>(control, parent);
        case ControlKind::GroupBox:
            return std::make_unique<GroupBoxControl>(control, parent);
    }
    return nullptr;
}

}  // namespace

ControlWindow::ControlWindow(QWidget* widget, const ControlTemplate& control)
    : QtWindow(widget), m_id(control.id), m_kind(control.kind) {
    SetStyle(control.style);
}

ControlWindow::~ControlWindow() {
    // A hook that outlives its control must not reach it any more.
    if (m_hook) m_hook->Unhooked(this);
}

ControlWindow* ControlWindow::FromHandle(HWND window) {
    return dynamic_cast<ControlWindow*>(WindowTable::Instance().Local(window));
}

std::unique_ptr<ControlWindow> ControlWindow::Create(const ControlTemplate& control,
                                                     QWidget* parent, const DialogUnits& units,
                                                     HWND dialog) {
    auto window = MakeControl(control, parent);
    if (!window) return nullptr;
    QWidget* widget = window->Widget();
    window->Place(units.ToPixels(control.x, control.y, control.cx, control.cy));
    widget->setEnabled((control.style & WS_DISABLED) == 0);
    window->Attach(dialog, control.id);
    return window;
}

void ControlWindow::Place(const QRect& rect) {
    if (QWidget* widget = Widget()) widget->setGeometry(rect);
}

void ControlWindow::NotifyParent(WORD code) {
    HWND self = Handle();
    if (!self) return;  // still being built: nobody to tell
    SendMessageA(GetParent(self), WM_COMMAND, MAKEWPARAM(LOWORD(static_cast<UINT>(m_id)), code),
                 reinterpret_cast<LPARAM>(self));
}

LRESULT ControlWindow::CallHook(UINT message, WPARAM wparam, LPARAM lparam) {
    return m_hook ? m_hook->HookProc(message, wparam, lparam) : 0;
}
