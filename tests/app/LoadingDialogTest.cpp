#include "app/LoadingDialog.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

#include <gtest/gtest.h>

#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtWindow.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/ModalDriver.h"

namespace {

constexpr DWORD kPatience = 10000;

// What a work was given, did and got back. Read by the test only after the dialog is gone
// (its destruction waits for the work), except the atomics.
struct WorkLog {
    std::vector<WPARAM> to_send;
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);  // lets a waiting work go on
    std::vector<WPARAM> after_go;
    std::vector<LRESULT> results;
    std::string caption;
    HWND window = nullptr;
    std::atomic<bool> finished{false};

    WorkLog() = default;
    WorkLog(const WorkLog&) = delete;
    WorkLog& operator=(const WorkLog&) = delete;
    ~WorkLog() { CloseHandle(go); }
};

WorkLog& LogOf(LPVOID data) {
    return *static_cast<WorkLog*>(data);
}

UINT SendThenWaitThenSend(HWND window, LPVOID data) {
    WorkLog& log = LogOf(data);
    log.window = window;
    log.caption = GetWindowTextString(window);
    for (WPARAM percent : log.to_send) {
        log.results.push_back(SendMessageA(window, WM_LOADING_PROGRESS, percent, 0));
    }
    if (!log.after_go.empty() && WaitForSingleObject(log.go, kPatience) == WAIT_OBJECT_0) {
        for (WPARAM percent : log.after_go) {
            log.results.push_back(SendMessageA(window, WM_LOADING_PROGRESS, percent, 0));
        }
    }
    log.finished = true;
    return 0;
}

// Sends 100, then keeps sending until the window is gone, and a few times more.
UINT KeepSendingAfterTheEnd(HWND window, LPVOID data) {
    WorkLog& log = LogOf(data);
    log.results.push_back(SendMessageA(window, WM_LOADING_PROGRESS, 100, 0));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatience);
    int after_gone = 0;
    while (after_gone < 5 && std::chrono::steady_clock::now() < deadline) {
        log.results.push_back(SendMessageA(window, WM_LOADING_PROGRESS, 50, 0));
        if (!IsWindow(window)) ++after_gone;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    log.finished = true;
    return 0;
}

// Records what the dialog itself sees: the percentages handled, and its state as it goes.
class ObservedLoadingDialog : public LoadingDialog {
public:
    using LoadingDialog::LoadingDialog;

    std::vector<WPARAM> handled;
    LRESULT final_position = -1;
    std::string final_caption;
    HWND window = nullptr;

protected:
    BOOL OnInitDialog() override {
        const BOOL result = LoadingDialog::OnInitDialog();
        window = GetSafeHwnd();
        return result;
    }
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message == WM_LOADING_PROGRESS) handled.push_back(wparam);
        if (message == WM_DESTROY) {
            final_position = SendDlgItemMessageA(GetSafeHwnd(), IDC_PROGRESS, PBM_GETPOS, 0, 0);
            final_caption = GetWindowTextString(GetSafeHwnd());
        }
        return LoadingDialog::WindowProc(message, wparam, lparam);
    }
};

void PressEscape(QWidget* modal) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(modal, &escape);
}

TEST(LoadingDialogTest, work_that_reaches_100_closes_the_dialog_with_the_bar_full) {
    ModalWatchdog watchdog;
    WorkLog log;
    log.to_send = {0, 50, 100};
    std::vector<WPARAM> handled;
    LRESULT final_position = -1;
    {
        ObservedLoadingDialog dialog("Rendering Audio File", &log, SendThenWaitThenSend);
        EXPECT_EQ(dialog.DoModal(), IDOK);
        handled = dialog.handled;
        final_position = dialog.final_position;
    }
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_TRUE(log.finished.load());
    EXPECT_EQ(handled, log.to_send);
    EXPECT_EQ(final_position, 100);
    EXPECT_EQ(log.results, (std::vector<LRESULT>{0, 0, 0}));
}

TEST(LoadingDialogTest, the_caption_shows_the_title_given) {
    WorkLog log;
    log.to_send = {100};
    std::string final_caption;
    {
        ObservedLoadingDialog dialog("Rendering Audio File", &log, SendThenWaitThenSend);
        dialog.DoModal();
        final_caption = dialog.final_caption;
    }
    EXPECT_EQ(log.caption, "Rendering Audio File");  // as the work found it, from its thread
    EXPECT_EQ(final_caption, "Rendering Audio File");
}

TEST(LoadingDialogTest, without_a_title_the_caption_stays_loading) {
    WorkLog log;
    log.to_send = {100};
    {
        LoadingDialog dialog(nullptr, &log, SendThenWaitThenSend);
        dialog.DoModal();
    }
    EXPECT_EQ(log.caption, "Loading...");
}

TEST(LoadingDialogTest, the_work_gets_the_dialogs_window_and_its_data) {
    WorkLog log;
    log.to_send = {100};
    HWND window = nullptr;
    {
        ObservedLoadingDialog dialog("Gathering Filters Informations", &log, SendThenWaitThenSend);
        dialog.DoModal();
        window = dialog.window;
    }
    EXPECT_NE(window, nullptr);
    EXPECT_EQ(log.window, window);
    EXPECT_FALSE(IsWindow(window));
}

TEST(LoadingDialogTest, the_dialog_is_laid_out_as_its_resource_says) {
    ModalWatchdog watchdog;
    WorkLog log;  // waits for its go before it sends 100, so the dialog stays up meanwhile
    log.after_go = {100};
    LoadingDialog dialog(nullptr, &log, SendThenWaitThenSend);
    QRect frame;
    QRect label;
    QRect bar;
    QString text;
    Qt::Alignment alignment;
    Qt::WindowFlags flags;
    DialogUnits units(1, 1);
    WhenModal([&](QWidget* modal) {
        units = DialogUnits::FromFont(modal->font());
        frame = QRect(QPoint(), modal->size());
        flags = modal->windowFlags();
        const auto labels = modal->findChildren<QLabel*>();
        if (labels.size() == 1) {
            label = labels.front()->geometry();
            text = labels.front()->text();
            alignment = labels.front()->alignment();
        }
        for (QWidget* child : modal->findChildren<QWidget*>()) {
            if (child->inherits("QProgressBar")) bar = child->geometry();
        }
        SetEvent(log.go);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(frame, units.ToPixels(0, 0, 186, 55));
    EXPECT_EQ(label, units.ToPixels(54, 7, 77, 13));
    EXPECT_EQ(bar, units.ToPixels(7, 27, 172, 9));
    EXPECT_EQ(text, QStringLiteral("Please Wait..."));
    EXPECT_TRUE(alignment & Qt::AlignHCenter);
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
}

TEST(LoadingDialogTest, work_that_ends_without_100_leaves_the_dialog_open_until_escape) {
    ModalWatchdog watchdog;
    WorkLog log;
    log.to_send = {30};
    bool open_after_the_work = false;
    std::vector<WPARAM> handled;
    {
        ObservedLoadingDialog dialog("Rendering Audio File", &log, SendThenWaitThenSend);
        WhenModal(
            [&](QWidget* modal) {
                open_after_the_work = modal->isVisible() && IsWindow(dialog.window);
                PressEscape(modal);
            },
            [&] { return log.finished.load(); });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        handled = dialog.handled;
    }
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_TRUE(open_after_the_work);
    EXPECT_EQ(handled, (std::vector<WPARAM>{30}));
}

TEST(LoadingDialogTest, progress_after_escape_reaches_no_window_and_destruction_waits) {
    ModalWatchdog watchdog;
    WorkLog log;
    log.to_send = {10};
    log.after_go = {20, 100};
    std::vector<WPARAM> handled;
    {
        ObservedLoadingDialog dialog("Rendering Audio File", &log, SendThenWaitThenSend);
        WhenModal(PressEscape, [&] { return !dialog.handled.empty(); });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_FALSE(log.finished.load());  // still waiting for its go
        handled = dialog.handled;
        SetEvent(log.go);
    }  // the destructor returns only once the work has ended
    EXPECT_TRUE(log.finished.load());
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(handled, (std::vector<WPARAM>{10}));
    EXPECT_EQ(log.results, (std::vector<LRESULT>{0, 0, 0}));
}

TEST(LoadingDialogTest, work_that_keeps_sending_after_100_neither_blocks_nor_reaches_the_dialog) {
    ModalWatchdog watchdog;
    WorkLog log;
    std::vector<WPARAM> handled;
    LRESULT final_position = -1;
    {
        ObservedLoadingDialog dialog("Rendering Audio File", &log, KeepSendingAfterTheEnd);
        EXPECT_EQ(dialog.DoModal(), IDOK);
        handled = dialog.handled;
        final_position = dialog.final_position;
    }
    EXPECT_TRUE(log.finished.load());
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(handled, (std::vector<WPARAM>{100}));
    EXPECT_EQ(final_position, 100);
    EXPECT_GE(log.results.size(), 6u);
}

DWORD ConstructAndDestroy(LPVOID data) {
    LoadingDialog dialog("Rendering Audio File", data, SendThenWaitThenSend);
    return 0;
}

TEST(LoadingDialogTest, a_dialog_never_shown_is_destroyed_at_once_and_runs_no_work) {
    WorkLog log;
    log.to_send = {100};
    // On a thread of its own, so that a destructor that waited would fail the test, not hang it.
    HANDLE thread = CreateThread(nullptr, 0, ConstructAndDestroy, &log, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_FALSE(log.finished.load());
}

}  // namespace
