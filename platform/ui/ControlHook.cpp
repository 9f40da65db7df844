#include "platform/ui/ControlHook.h"

#include "platform/ui/ControlWindow.h"
#include "platform/ui/WindowFunctions.h"

ControlHook::~ControlHook() {
    Unhook();
}

HWND ControlHook::HookedWindow() const {
    return m_control ? m_control->Handle() : nullptr;
}

HWND ControlHook::HookControl(UINT id, HWND dialog, ControlKind kind) {
    ControlWindow* control = ControlWindow::FromHandle(::GetDlgItem(dialog, static_cast<int>(id)));
    if (!control || control->Kind() != kind) return nullptr;
    Unhook();
    // A control has one hook: a second object bound to it takes it over.
    if (ControlHook* previous = control->Hook()) previous->Unhook();
    control->SetHook(this);
    m_control = control;
    return control->Handle();
}

void ControlHook::Unhooked(ControlWindow* control) {
    if (m_control == control) m_control = nullptr;
}

void ControlHook::Unhook() {
    if (!m_control) return;
    if (m_control->Hook() == this) m_control->SetHook(nullptr);
    m_control = nullptr;
}
