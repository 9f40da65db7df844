// Group box: a frame with its caption around other controls of the dialog, which stay the
// dialog's own (siblings drawn over it, as on Windows): it lies beneath them and takes no
// mouse clicks. An '&' in the caption marks a mnemonic.
// Threading: the user-interface thread.
#pragma once

#include <string>

#include <QGroupBox>

#include "platform/ui/ControlWindow.h"

class GroupBoxControl : public ControlWindow {
public:
    GroupBoxControl(const ControlTemplate& control, QWidget* parent);

protected:
    std::string Text() const override { return m_text; }
    void SetText(const std::string& text) override;

private:
    std::string m_text;
};
