#include "platform/ui/SliderControl.h"

#include <algorithm>
#include <cstdint>

#include "platform/ui/CommonControls.h"
#include "platform/ui/WindowFunctions.h"

namespace {

int Signed(WPARAM value) {
    return static_cast<int>(static_cast<intptr_t>(value));
}

int Signed(LPARAM value) {
    return static_cast<int>(value);
}

}  // namespace

SliderControl::SliderControl(const ControlTemplate& control, QWidget* parent)
    : ControlWindow(new SliderWidget(parent), control) {
    SliderWidget* slider = Slider();
    const bool vertical = (control.style & TBS_VERT) != 0;
    slider->setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
    // Windows' vertical slider has its minimum at the top.
    slider->setInvertedAppearance(vertical);
    slider->setFocusPolicy(Qt::StrongFocus);
    slider->setRange(0, 100);
    slider->setPageStep(20);
    slider->setSingleStep(1);
    if (control.style & TBS_NOTICKS) {
        slider->setTickPosition(QSlider::NoTicks);
    } else {
        slider->setTickPosition((control.style & TBS_BOTH)  ? QSlider::TicksBothSides
                                : (control.style & TBS_TOP) ? QSlider::TicksAbove
                                                            : QSlider::TicksBelow);
        // Without TBS_AUTOTICKS Windows marks the two ends only.
        slider->setTickInterval((control.style & TBS_AUTOTICKS) ? 1 : 0);
    }
    slider->on_button = [this](UINT message, WPARAM keys, QPoint point) {
        CallHook(message, keys,
                 MAKELPARAM(static_cast<WORD>(point.x()), static_cast<WORD>(point.y())));
    };
    slider->on_scroll = [this](WORD code) { Scrolled(code); };
}

LRESULT SliderControl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    SliderWidget* slider = Slider();
    if (!slider) return 0;
    switch (message) {
        case TBM_GETPOS:
            return slider->value();
        case TBM_GETRANGEMIN:
            return slider->minimum();
        case TBM_GETRANGEMAX:
            return slider->maximum();
        case TBM_SETPOS:
            slider->setValue(std::clamp(Signed(lparam), slider->minimum(), slider->maximum()));
            return 0;
        case TBM_SETRANGE:
            // Two 16-bit signed ends; wider ranges go through TBM_SETRANGEMIN / MAX.
            SetRange(static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lparam))),
                     static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lparam))));
            return 0;
        case TBM_SETRANGEMIN:
            SetRange(Signed(lparam), slider->maximum());
            return 0;
        case TBM_SETRANGEMAX:
            SetRange(slider->minimum(), Signed(lparam));
            return 0;
        case TBM_SETPAGESIZE: {
            const int previous = slider->pageStep();
            slider->setPageStep(Signed(lparam));
            return previous;
        }
        case TBM_GETPAGESIZE:
            return slider->pageStep();
        case TBM_SETLINESIZE: {
            const int previous = slider->singleStep();
            slider->setSingleStep(Signed(lparam));
            return previous;
        }
        case TBM_GETLINESIZE:
            return slider->singleStep();
        case TBM_SETTICFREQ:
            slider->setTickInterval(std::max(Signed(wparam), 0));
            return 0;
        default:
            return ControlWindow::WindowProc(message, wparam, lparam);
    }
}

void SliderControl::SetRange(int low, int high) {
    // A maximum below the minimum leaves the minimum the only position.
    Slider()->setRange(low, std::max(low, high));
}

void SliderControl::Scrolled(WORD code) {
    HWND self = Handle();
    if (!self) return;
    const bool with_position = code == TB_THUMBTRACK || code == TB_THUMBPOSITION;
    const WORD position = with_position ? static_cast<WORD>(Slider()->value()) : 0;
    const UINT message = (Style() & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    SendMessageA(GetParent(self), message, MAKEWPARAM(code, position),
                 reinterpret_cast<LPARAM>(self));
}
