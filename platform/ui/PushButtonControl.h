// Push button: BN_CLICKED to the dialog when pressed (or on BM_CLICK); BS_DEFPUSHBUTTON makes
// it the button Enter presses.
// Threading: the user-interface thread.
#pragma once

#include <QPushButton>

#include "platform/ui/ControlWindow.h"

class PushButtonControl : public ControlWindow {
public:
    PushButtonControl(const ControlTemplate& control, QWidget* parent);

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

protected:
    std::string Text() const override;
    void SetText(const std::string& text) override;

private:
    QPushButton* Button() const { return static_cast<QPushButton*>(Widget()); }
};
