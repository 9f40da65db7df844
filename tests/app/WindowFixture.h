// What the tests that drive the main window through its controls share: the application's
// resources, a scripted prompt and choosers, a temporary folder for the test's files, a
// watchdog on the modal loops, and the window, run once per Run. Threading: the GUI thread.
#pragma once

#include <functional>

#include <gtest/gtest.h>

#include "app/AppResources.h"
#include "app/MainWindow.h"
#include "tests/app/WindowDriver.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/support/RecordingUserPrompt.h"
#include "tests/support/TempDir.h"

class WindowFixture : public testing::Test {
protected:
    explicit WindowFixture(int watchdog_ms = 60000) : watchdog(watchdog_ms) {}

    void SetUp() override { ASSERT_TRUE(RegisterAppResources()); }

    // Runs the window; `action` gets its handle and the window is closed after it.
    void Run(const std::function<void(HWND)>& action) {
        window_driver::RunWindow(window, [&] {
            action(window.GetSafeHwnd());
            window.EndDialog(IDCANCEL);
        });
        EXPECT_FALSE(watchdog.Fired());
    }

    TempDir dir;
    RecordingUserPrompt prompt;
    ModalWatchdog watchdog;
    MainWindow window;
};
