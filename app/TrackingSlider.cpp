#include "app/TrackingSlider.h"

#include "platform/ui/WindowMessages.h"

LRESULT TrackingSlider::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_LBUTTONDOWN) m_tracking = true;
    if (message == WM_LBUTTONUP) m_tracking = false;
    return SliderCtrl::WindowProc(message, wparam, lparam);
}
