// Single-line edit box: every change of its text, typed or set (even to the same text, as on
// Windows), tells the dialog with EN_UPDATE then EN_CHANGE. Styles: ES_READONLY, ES_PASSWORD,
// ES_NUMBER (digits only), ES_CENTER / ES_RIGHT. EM_LIMITTEXT, EM_SETREADONLY and EM_SETSEL as on
// Windows. Threading: the user-interface thread.
#pragma once

#include <QLineEdit>

#include "platform/ui/ControlWindow.h"

class EditControl : public ControlWindow {
public:
    EditControl(const ControlTemplate& control, QWidget* parent);

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

protected:
    std::string Text() const override;
    void SetText(const std::string& text) override;

private:
    QLineEdit* Line() const { return static_cast<QLineEdit*>(Widget()); }
    static void Select(QLineEdit& line, WPARAM start, LPARAM end);
};
