// Check box (automatic): toggles when clicked and tells the dialog with BN_CLICKED; BM_GETCHECK
// and BM_SETCHECK read and set it without a notification.
// Threading: the user-interface thread.
#pragma once

#include <QCheckBox>

#include "platform/ui/ControlWindow.h"

class CheckBoxControl : public ControlWindow {
public:
    CheckBoxControl(const ControlTemplate& control, QWidget* parent);

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

protected:
    std::string Text() const override;
    void SetText(const std::string& text) override;

private:
    QCheckBox* Box() const { return static_cast<QCheckBox*>(Widget()); }
};
