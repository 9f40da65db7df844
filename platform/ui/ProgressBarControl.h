// Progress bar: a range (0 to 100 at first) and a position kept inside it, moved with the PBM_*
// messages exactly as on Windows (each returns the previous value). Shows no text; the
// bordered look is the style's own frame.
// Threading: the user-interface thread.
#pragma once

#include <QProgressBar>

#include "platform/ui/ControlWindow.h"

// PBM_GETRANGE's optional out record.
struct PBRANGE {
    int iLow;
    int iHigh;
};

class ProgressBarControl : public ControlWindow {
public:
    ProgressBarControl(const ControlTemplate& control, QWidget* parent);

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    QProgressBar* Bar() const { return static_cast<QProgressBar*>(Widget()); }
    LRESULT SetRange(int low, int high);
    LRESULT SetPosition(int position);
    LRESULT GetRange(WPARAM which, LPARAM range) const;
    LRESULT StepIt();
    void Show();

    int m_low = 0;
    int m_high = 100;
    int m_position = 0;
    int m_step = 10;
};
