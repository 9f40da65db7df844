// The main window's playback: the three choosers, the movie and the stretched-audio chains in
// the one graph, the transport, the graph's events, Render and the Initial Offset box.
#include "app/MainWindow.h"

#include "platform/ui/WindowFunctions.h"

void MainWindow::OnChooseVideo() {}
void MainWindow::OnChooseAudio() {}
void MainWindow::OnChooseOutput() {}
bool MainWindow::LoadMovie() {
    return false;
}
bool MainWindow::LoadAudio() {
    return false;
}
void MainWindow::Play() {}
void MainWindow::Pause() {}
void MainWindow::Stop() {
    if (!m_filters.Graph().MediaControl() || !m_filters.Graph().Stop()) return;
    m_playing = false;
    if (m_timer_running) {
        KillTimer(GetSafeHwnd(), 1);
        m_timer_running = false;
    }
}
void MainWindow::OnRender() {}
void MainWindow::OnInitialOffsetChanged() {}
LRESULT MainWindow::OnGraphNotify() {
    return 0;
}
void MainWindow::ForwardToVideoWindow(UINT, WPARAM, LPARAM) {}
LRESULT MainWindow::OnEraseBackground(HDC) {
    return Dialog::WindowProc(WM_ERASEBKGND, 0, 0);
}
