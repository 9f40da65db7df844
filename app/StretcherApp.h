// StretcherApp: the application object. Its start-up makes the main window, publishes the
// window's event list as the one every stretched stream reads, runs the window modally and
// returns false, so the process ends when the window has closed.
// Order of use: one per process, InitInstance once, after the QApplication, the prompt and the
// resources are in place.
// Threading: the user-interface thread.
#pragma once

#include <string>
#include <vector>

class MainWindow;

class StretcherApp {
public:
    StretcherApp();
    ~StretcherApp();
    StretcherApp(const StretcherApp&) = delete;
    StretcherApp& operator=(const StretcherApp&) = delete;

    // Runs the main window to its end; always false.
    bool InitInstance();

    // The running application, or null.
    static StretcherApp* Instance();
    // Files to open once the window is up (the command line's).
    std::vector<std::string> m_files_to_open;
    // The main window while it exists, else null.
    MainWindow* m_main_window = nullptr;
};
