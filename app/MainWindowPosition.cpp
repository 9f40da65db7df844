// The main window's position display: the 100 ms timer, frame numbers and the position slider.
#include <cstdio>

#include "app/MainWindow.h"
#include "app/TimeFormat.h"
#include "engine/StretchMath.h"
#include "platform/ui/CommonControls.h"
#include "platform/ui/WindowFunctions.h"

namespace {

constexpr double kMediaTimePerSecond = 10'000'000.0;  // 100 ns units

void ShowFrame(HWND window, long frame) {
    char text[32];
    std::snprintf(text, sizeof text, "%ld", frame);
    SetDlgItemTextA(window, MainWindow::IDC_FRAME, text);
}

}  // namespace

void MainWindow::OnTimer(UINT_PTR) {
    LONGLONG now = 0;
    IMediaSeeking* seeking = m_filters.Graph().MediaSeeking();
    if (seeking && SUCCEEDED(seeking->GetCurrentPosition(&now))) {
        m_current_pos = static_cast<float>(static_cast<double>(now) / kMediaTimePerSecond);
    }
    const long frame = FrameNumber(m_current_pos);
    // While the user drags the thumb the display follows the thumb, not the graph.
    if (m_position_slider.m_tracking) return;
    m_position_slider.SetPos(SaturateCast<int>(m_current_pos));
    SetDlgItemTextA(GetSafeHwnd(), IDC_POSITION, FormatTime(m_current_pos).c_str());
    ShowFrame(GetSafeHwnd(), frame);
}

void MainWindow::OnPositionScroll(WORD code) {
    const int position = m_position_slider.GetPos();
    if (m_position_slider.m_tracking) {
        SetDlgItemTextA(GetSafeHwnd(), IDC_POSITION,
                        FormatTime(static_cast<float>(position)).c_str());
        ShowFrame(GetSafeHwnd(), FrameNumber(static_cast<float>(position)));
        return;
    }
    // One seek per move: a move's end seeks only when nothing before it did (a press in the
    // channel pages while tracked, so only its end is left to seek).
    const bool sought = m_position_move_sought;
    m_position_move_sought = code != TB_ENDTRACK;
    if (code == TB_ENDTRACK && sought) return;
    if (m_filters.Graph().MediaControl()) m_filters.Graph().SeekToSeconds(position);
}

long MainWindow::FrameNumber(float seconds) const {
    return SaturateCast<long>(seconds * m_framerate);
}
