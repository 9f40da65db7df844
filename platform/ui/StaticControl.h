// Static text: left, centred or right aligned (SS_*), wrapped, framed with WS_BORDER. An '&'
// marks a mnemonic and "&&" shows one '&', unless SS_NOPREFIX; the window text keeps them.
// Threading: the user-interface thread.
#pragma once

#include <string>

#include <QLabel>

#include "platform/ui/ControlWindow.h"

class StaticControl : public ControlWindow {
public:
    StaticControl(const ControlTemplate& control, QWidget* parent);

protected:
    std::string Text() const override { return m_text; }
    void SetText(const std::string& text) override;

private:
    QLabel* Label() const { return static_cast<QLabel*>(Widget()); }
    std::string Shown(const std::string& text) const;

    std::string m_text;
};
