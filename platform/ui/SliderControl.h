// Slider (trackbar): a range (0 to 100 at first), a position kept inside it, a page size (20 at
// first) and a line size (1), set with the TBM_* messages as on Windows; setting them reports
// nothing. The user's moves reach the dialog as WM_HSCROLL (WM_VSCROLL with TBS_VERT) with the
// TB_* code in the low word of the first parameter (and the position in the high word for
// TB_THUMBTRACK and TB_THUMBPOSITION) and the slider's window as the second, once the position
// has changed (see SliderWidget). The control's hook sees the left button's WM_LBUTTONDOWN and
// WM_LBUTTONUP before the slider acts on them. TBS_NOTICKS hides the tick marks. A redraw flag
// of FALSE is accepted: the slider is painted when next shown either way.
// Threading: the user-interface thread.
#pragma once

#include "platform/ui/ControlWindow.h"
#include "platform/ui/SliderWidget.h"

class SliderControl : public ControlWindow {
public:
    SliderControl(const ControlTemplate& control, QWidget* parent);

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    SliderWidget* Slider() const { return static_cast<SliderWidget*>(Widget()); }
    void SetRange(int low, int high);
    void Scrolled(WORD code);
};
