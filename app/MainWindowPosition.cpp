// The main window's position display: the 100 ms timer, frame numbers and the position slider.
#include "app/MainWindow.h"

void MainWindow::OnTimer(UINT_PTR) {}
void MainWindow::OnPositionScroll() {}
long MainWindow::FrameNumber(float) const {
    return 0;
}
