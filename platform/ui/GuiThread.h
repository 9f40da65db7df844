// Runs a piece of work on the user-interface thread (the QApplication's) and waits for it:
// directly when called there, else queued to its event loop. A caller on another thread
// therefore waits until that loop runs: it must not be the one the user-interface thread is
// waiting for.
// Threading: any thread.
#pragma once

#include <functional>

// False when there is no QApplication to run it on (the work is then not run).
bool RunOnGuiThread(const std::function<void()>& work);
