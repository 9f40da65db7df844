// The main window's project commands: "Save ..." and "Load ...".
#include "app/MainWindow.h"

void MainWindow::OnSaveProject() {}
void MainWindow::OnLoadProject() {}
