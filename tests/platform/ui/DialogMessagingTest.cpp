#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include <QApplication>
#include <QThread>

#include <gtest/gtest.h>

#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/platform/ui/ScriptedDialog.h"

namespace {

constexpr UINT kDouble = WM_USER + 30;
constexpr UINT kStart = WM_USER + 31;
constexpr UINT kNumber = WM_USER + 32;
constexpr UINT kEndWith = WM_USER + 33;
constexpr UINT kNeverHandled = WM_USER + 34;
constexpr auto kPatience = std::chrono::seconds(10);

// Waits (boundedly, without pumping) until a message from another thread waits for this
// thread's windows.
bool WaitForSentMessage() {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) == 0) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(DialogMessagingTest, send_from_a_worker_waits_until_the_dialog_handled_it) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog;
    std::atomic<bool> handled{false};
    std::future<LRESULT> result;
    bool on_ui_thread = false;
    dialog.on_init = [&] {
        HWND self = dialog.GetSafeHwnd();
        result = std::async(std::launch::async, [self, &handled] {
            const LRESULT answer = SendMessageA(self, kDouble, 21, 0);
            // The handler has run to its end before the sender goes on.
            EXPECT_TRUE(handled.load());
            PostMessageA(self, kEndWith, IDOK, 0);
            return answer;
        });
    };
    dialog.on_message = [&](UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
        if (message == kDouble) {
            on_ui_thread = QThread::currentThread() == QApplication::instance()->thread();
            handled = true;
            return static_cast<LRESULT>(wparam * 2);
        }
        if (message == kEndWith) {
            dialog.EndDialog(static_cast<int>(wparam));
            return 0;
        }
        return std::nullopt;
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(result.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(result.get(), 42);
    EXPECT_TRUE(on_ui_thread);
    EXPECT_FALSE(watchdog.Fired());
}

TEST(DialogMessagingTest, messages_to_a_dialog_whose_run_ended_answer_0_at_once) {
    ScriptedDialog dialog;
    HWND old = nullptr;
    HWND old_bar = nullptr;
    dialog.on_init = [&] {
        old = dialog.GetSafeHwnd();
        old_bar = dialog.GetDlgItem(kBar);
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(SendMessageA(old, kDouble, 1, 0), 0);
    EXPECT_FALSE(PostMessageA(old, kDouble, 1, 0));
    auto from_worker = std::async(std::launch::async, [&] {
        return SendMessageA(old, kDouble, 1, 0) + SendMessageA(old_bar, PBM_SETPOS, 50, 0);
    });
    ASSERT_EQ(from_worker.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(from_worker.get(), 0);
}

TEST(DialogMessagingTest, a_worker_blocked_in_send_when_the_run_ends_is_released_with_0) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog;
    std::future<LRESULT> blocked;
    bool was_queued = false;
    dialog.on_init = [&] { PostMessageA(dialog.GetSafeHwnd(), kStart, 0, 0); };
    dialog.on_message = [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == kNeverHandled) ADD_FAILURE() << "handled after the run ended";
        if (message != kStart) return std::nullopt;
        HWND self = dialog.GetSafeHwnd();
        blocked = std::async(std::launch::async,
                             [self] { return SendMessageA(self, kNeverHandled, 1, 0); });
        was_queued = WaitForSentMessage();
        dialog.EndDialog(IDOK);
        // Released by the end of the run itself, before this handler returns.
        EXPECT_EQ(blocked.wait_for(kPatience), std::future_status::ready);
        return 0;
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(was_queued);
    ASSERT_EQ(blocked.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(blocked.get(), 0);
    EXPECT_FALSE(watchdog.Fired());
}

TEST(DialogMessagingTest, a_worker_blocked_in_send_when_the_dialog_ends_unshown_is_released) {
    ScriptedDialog dialog;
    std::future<LRESULT> blocked;
    dialog.on_init = [&] {
        HWND self = dialog.GetSafeHwnd();
        blocked = std::async(std::launch::async,
                             [self] { return SendMessageA(self, kNeverHandled, 1, 0); });
        EXPECT_TRUE(WaitForSentMessage());
        dialog.EndDialog(IDCANCEL);
    };
    dialog.on_message = [](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == kNeverHandled) ADD_FAILURE() << "handled after the run ended";
        return std::nullopt;
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(blocked.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(blocked.get(), 0);
}

TEST(DialogMessagingTest, posted_messages_arrive_in_the_order_posted) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog;
    std::vector<WPARAM> numbers;
    std::thread worker;
    dialog.on_init = [&] {
        HWND self = dialog.GetSafeHwnd();
        for (WPARAM i = 0; i < 50; ++i)
            PostMessageA(self, kNumber, i, 0);
        worker = std::thread([self] {
            for (WPARAM i = 50; i < 100; ++i)
                PostMessageA(self, kNumber, i, 0);
            PostMessageA(self, kEndWith, IDOK, 0);
        });
    };
    dialog.on_message = [&](UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
        if (message == kNumber) numbers.push_back(wparam);
        if (message == kEndWith) dialog.EndDialog(static_cast<int>(wparam));
        return std::nullopt;
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    worker.join();
    ASSERT_EQ(numbers.size(), 100u);
    for (WPARAM i = 0; i < 100; ++i)
        EXPECT_EQ(numbers[i], i);
    EXPECT_FALSE(watchdog.Fired());
}

TEST(DialogMessagingTest, a_worker_reads_and_sets_control_texts_through_the_dialogs_thread) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog;
    std::future<std::string> seen;
    dialog.on_init = [&] {
        HWND self = dialog.GetSafeHwnd();
        seen = std::async(std::launch::async, [self] {
            SetDlgItemTextA(self, kNameEdit, "from the worker");
            char buffer[64];
            GetDlgItemTextA(self, kNameEdit, buffer, sizeof(buffer));
            SendDlgItemMessageA(self, kBar, PBM_SETPOS, 64, 0);
            const LRESULT position = SendDlgItemMessageA(self, kBar, PBM_GETPOS, 0, 0);
            PostMessageA(self, kEndWith, IDOK, 0);
            return std::string(buffer) + "/" + std::to_string(position);
        });
    };
    dialog.on_message = [&](UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
        if (message == kEndWith) dialog.EndDialog(static_cast<int>(wparam));
        return std::nullopt;
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(seen.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(seen.get(), "from the worker/64");
    EXPECT_FALSE(watchdog.Fired());
}

}  // namespace
