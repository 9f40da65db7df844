#include "engine/fit/FitProgress.h"

#include <algorithm>

void FitProgress::Stage(double from, double to) {
    m_from = from;
    m_to = to;
    Report(0);
}

void FitProgress::Report(double fraction) {
    const double value =
        m_base + m_scale * (m_from + std::clamp(fraction, 0.0, 1.0) * (m_to - m_from));
    const int percent = std::clamp(static_cast<int>(value), 0, 100);
    if (percent <= m_last) return;
    m_last = percent;
    if (m_control.progress) m_control.progress(percent);
}
