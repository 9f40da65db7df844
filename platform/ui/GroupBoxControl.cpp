#include "platform/ui/GroupBoxControl.h"

#include "platform/ui/QtText.h"

GroupBoxControl::GroupBoxControl(const ControlTemplate& control, QWidget* parent)
    : ControlWindow(new QGroupBox(parent), control) {
    QGroupBox* box = static_cast<QGroupBox*>(Widget());
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    box->lower();
    SetText(control.text);
}

void GroupBoxControl::SetText(const std::string& text) {
    m_text = text;
    if (auto* box = static_cast<QGroupBox*>(Widget())) box->setTitle(ToQString(text));
}
