#include "platform/ui/SliderCtrl.h"

#include "platform/ui/WindowFunctions.h"

SliderCtrl::~SliderCtrl() = default;

BOOL SliderCtrl::SubclassDlgItem(UINT id, HWND dialog) {
    HWND control = HookControl(id, dialog, ControlKind::Slider);
    if (!control) return FALSE;
    m_hwnd = control;
    return TRUE;
}

LRESULT SliderCtrl::WindowProc(UINT /*message*/, WPARAM /*wparam*/, LPARAM /*lparam*/) {
    return 0;
}

LRESULT SliderCtrl::Send(UINT message, WPARAM wparam, LPARAM lparam) const {
    return SendMessageA(m_hwnd, message, wparam, lparam);
}

void SliderCtrl::SetRange(int minimum, int maximum, BOOL redraw) {
    SetRangeMin(minimum, FALSE);
    SetRangeMax(maximum, redraw);
}

void SliderCtrl::SetRangeMin(int minimum, BOOL redraw) {
    Send(TBM_SETRANGEMIN, static_cast<WPARAM>(redraw), static_cast<LPARAM>(minimum));
}

void SliderCtrl::SetRangeMax(int maximum, BOOL redraw) {
    Send(TBM_SETRANGEMAX, static_cast<WPARAM>(redraw), static_cast<LPARAM>(maximum));
}

void SliderCtrl::GetRange(int& minimum, int& maximum) const {
    minimum = GetRangeMin();
    maximum = GetRangeMax();
}

int SliderCtrl::GetRangeMin() const {
    return static_cast<int>(Send(TBM_GETRANGEMIN, 0, 0));
}

int SliderCtrl::GetRangeMax() const {
    return static_cast<int>(Send(TBM_GETRANGEMAX, 0, 0));
}

void SliderCtrl::SetPos(int position) {
    Send(TBM_SETPOS, TRUE, static_cast<LPARAM>(position));
}

int SliderCtrl::GetPos() const {
    return static_cast<int>(Send(TBM_GETPOS, 0, 0));
}

int SliderCtrl::SetPageSize(int size) {
    return static_cast<int>(Send(TBM_SETPAGESIZE, 0, static_cast<LPARAM>(size)));
}

int SliderCtrl::GetPageSize() const {
    return static_cast<int>(Send(TBM_GETPAGESIZE, 0, 0));
}

int SliderCtrl::SetLineSize(int size) {
    return static_cast<int>(Send(TBM_SETLINESIZE, 0, static_cast<LPARAM>(size)));
}

int SliderCtrl::GetLineSize() const {
    return static_cast<int>(Send(TBM_GETLINESIZE, 0, 0));
}

void SliderCtrl::SetTicFreq(int frequency) {
    Send(TBM_SETTICFREQ, static_cast<WPARAM>(frequency), 0);
}
