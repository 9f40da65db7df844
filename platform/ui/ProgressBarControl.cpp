#include "platform/ui/ProgressBarControl.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/ui/WindowMessages.h"

namespace {

int Signed(WPARAM value) {
    return static_cast<int>(static_cast<intptr_t>(value));
}

// Sums that may leave the int range (a huge step or delta) saturate instead.
int Add(int a, int b) {
    return static_cast<int>(std::clamp<int64_t>(int64_t{a} + b, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

}  // namespace

ProgressBarControl::ProgressBarControl(const ControlTemplate& control, QWidget* parent)
    : ControlWindow(new QProgressBar(parent), control) {
    Bar()->setTextVisible(false);
    Show();
}

LRESULT ProgressBarControl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case PBM_SETRANGE:
            return SetRange(LOWORD(static_cast<uintptr_t>(lparam)),
                            HIWORD(static_cast<uintptr_t>(lparam)));
        case PBM_SETRANGE32:
            return SetRange(Signed(wparam), static_cast<int>(lparam));
        case PBM_GETRANGE:
            return GetRange(wparam, lparam);
        case PBM_SETPOS:
            return SetPosition(Signed(wparam));
        case PBM_DELTAPOS:
            return SetPosition(Add(m_position, Signed(wparam)));
        case PBM_GETPOS:
            return m_position;
        case PBM_SETSTEP: {
            const int previous = m_step;
            m_step = Signed(wparam);
            return previous;
        }
        case PBM_STEPIT:
            return StepIt();
        default:
            return ControlWindow::WindowProc(message, wparam, lparam);
    }
}

LRESULT ProgressBarControl::SetRange(int low, int high) {
    const LRESULT previous =
        static_cast<LRESULT>(MAKELONG(static_cast<WORD>(m_low), static_cast<WORD>(m_high)));
    m_low = low;
    m_high = high;
    m_position = std::clamp(m_position, std::min(m_low, m_high), std::max(m_low, m_high));
    Show();
    return previous;
}

LRESULT ProgressBarControl::SetPosition(int position) {
    const int previous = m_position;
    m_position = std::clamp(position, std::min(m_low, m_high), std::max(m_low, m_high));
    Show();
    return previous;
}

LRESULT ProgressBarControl::GetRange(WPARAM which, LPARAM range) const {
    if (range) {
        auto* out = reinterpret_cast<PBRANGE*>(range);
        out->iLow = m_low;
        out->iHigh = m_high;
    }
    return which ? m_low : m_high;
}

LRESULT ProgressBarControl::StepIt() {
    const int previous = m_position;
    const int64_t low = std::min(m_low, m_high);
    const int64_t high = std::max(m_low, m_high);
    int64_t next = int64_t{m_position} + m_step;
    // Past the end the bar starts over from the other end, as on Windows.
    if (next > high) next = low + (next - high);
    if (next < low) next = high - (low - next);
    m_position = static_cast<int>(std::clamp(next, low, high));
    Show();
    return previous;
}

void ProgressBarControl::Show() {
    QProgressBar* bar = Bar();
    if (!bar) return;
    // Qt resets a bar whose value falls outside a new range, so range and value go together.
    bar->setRange(std::min(m_low, m_high), std::max(m_low, m_high));
    bar->setValue(m_position);
}
