// What the playback tests share: a main window run modally with scripted choosers, the test's
// own movies and WAVs in a temporary folder, and looks at the graph the window built.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/AppResources.h"
#include "app/MainWindow.h"
#include "engine/StretchEvent.h"
#include "grapheditor/FilterItem.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/RecordingUserPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

class PlaybackFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterAppResources());
        SetCurrentEventList(&window.m_events);
    }
    void TearDown() override { SetCurrentEventList(nullptr); }

    static bool ModalTitled(const char* title) {
        QWidget* modal = QApplication::activeModalWidget();
        return modal && modal->windowTitle() == title;
    }

    // Runs the window; `action` runs once it is up, then the window is closed.
    void Run(const std::function<void()>& action) {
        WhenModal(
            [&](QWidget*) {
                action();
                window.EndDialog(IDCANCEL);
            },
            [] { return ModalTitled("Tarvik Time Stretcher v1.0"); });
        window.DoModal();
        EXPECT_FALSE(watchdog.Fired());
    }

    std::string Movie(const std::string& name, const MovieRecipe& recipe) {
        const std::string path = dir.File(name);
        std::string error;
        EXPECT_TRUE(MovieFileMaker::Make(path, recipe, &error)) << error;
        return path;
    }
    std::string Wav(const std::string& name, double seconds, uint32_t rate = 44100,
                    uint32_t seed = 1) {
        const std::string path = dir.File(name);
        const auto frames = static_cast<uint32_t>(seconds * rate);
        WavFileBuilder().Rate(rate).Samples(TestSignal(frames, 2, rate, seed)).Write(path);
        return path;
    }

    void Click(int control) { SendDlgItemMessageA(window.GetSafeHwnd(), control, BM_CLICK, 0, 0); }
    void ChooseMovie(const std::string& path) {
        prompt.AddFileAnswer(path);
        Click(MainWindow::IDC_CHOOSE_VIDEO);
    }
    void ChooseWav(const std::string& path) {
        prompt.AddFileAnswer(path);
        Click(MainWindow::IDC_CHOOSE_AUDIO);
    }
    std::string Text(int control) {
        return GetWindowTextString(GetDlgItem(window.GetSafeHwnd(), control));
    }

    // Runs the event loop until `done` holds; false when `ms` passed first.
    static bool SpinUntil(const std::function<bool()>& done, int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }

    FilterItem* Row(const char* name) { return window.Filters().FindItemByName(name); }
    int CountRows(const char* name) {
        int count = 0;
        FilterListView& list = window.Filters();
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if (list.GetItemText(row, 0).find(name) != std::string::npos) ++count;
        }
        return count;
    }
    // The label of the output feeding the item's first input, "" when it is not connected.
    static std::string FedBy(FilterItem* item) {
        std::string peer;
        if (!item || !item->InputPin(0) || !item->InputPin(0)->QueryConnection(&peer)) return "";
        return peer;
    }
    // True when `from`'s first output is connected to `to`'s first input.
    static bool Feeds(FilterItem* from, FilterItem* to) {
        return from && from->OutputPin(0) && FedBy(to) == from->OutputPin(0)->Label();
    }

    TempDir dir;
    RecordingUserPrompt prompt;
    ModalWatchdog watchdog{60000};
    MainWindow window;
};
