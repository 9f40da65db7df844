#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"
#include "tests/platform/ui/QueueWindow.h"

namespace {

constexpr UINT kPing = WM_USER + 10;
constexpr auto kPatience = std::chrono::seconds(10);

// Sends from a worker thread; the result arrives through the future.
std::future<LRESULT> SendFromWorker(HWND window, UINT message, WPARAM wparam) {
    return std::async(std::launch::async, [=] { return SendMessageA(window, message, wparam, 0); });
}

bool Ready(const std::future<LRESULT>& result) {
    return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

TEST(WindowMessagingTest, send_on_the_windows_own_thread_calls_the_handler_at_once) {
    QueueWindow window;
    HWND handle = window.Attach(nullptr, 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(IsWindow(handle));
    EXPECT_EQ(SendMessageA(handle, kPing, 41, 0), 42);
    ASSERT_EQ(window.HandledMessages().size(), 1u);
    EXPECT_EQ(window.HandledMessages()[0].message, kPing);
}

TEST(WindowMessagingTest, send_from_another_thread_waits_for_the_windows_thread_to_answer) {
    std::future<LRESULT> result;  // outlives the window: a failed check cannot leave it waiting
    QueueWindow window;
    HWND handle = window.Attach(nullptr, 0);
    std::atomic<std::thread::id> handled_on{};
    window.answer = [&](UINT, WPARAM wparam, LPARAM) -> LRESULT {
        handled_on = std::this_thread::get_id();
        return static_cast<LRESULT>(wparam * 2);
    };
    result = SendFromWorker(handle, kPing, 21);
    ASSERT_TRUE(window.WaitQueued());
    EXPECT_FALSE(Ready(result));  // nobody has handled it yet: the sender still waits
    ASSERT_TRUE(window.PumpUntil([&] { return Ready(result); }));
    EXPECT_EQ(result.get(), 42);
    EXPECT_EQ(handled_on.load(), std::this_thread::get_id());
}

TEST(WindowMessagingTest, a_sender_waiting_when_the_window_goes_is_released_with_0) {
    std::future<LRESULT> result;
    auto window = std::make_unique<QueueWindow>();
    HWND handle = window->Attach(nullptr, 0);
    result = SendFromWorker(handle, kPing, 1);
    ASSERT_TRUE(window->WaitQueued());
    window.reset();
    ASSERT_EQ(result.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(result.get(), 0);
    EXPECT_FALSE(IsWindow(handle));
}

TEST(WindowMessagingTest, a_closed_window_releases_waiting_senders_and_refuses_other_threads) {
    std::future<LRESULT> waiting;
    std::future<LRESULT> later;
    QueueWindow window;
    HWND handle = window.Attach(nullptr, 0);
    waiting = SendFromWorker(handle, kPing, 1);
    ASSERT_TRUE(window.WaitQueued());
    window.Close();
    ASSERT_EQ(waiting.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(waiting.get(), 0);

    later = SendFromWorker(handle, kPing, 1);
    ASSERT_EQ(later.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(later.get(), 0);
    EXPECT_FALSE(PostMessageA(handle, kPing, 1, 0));
    window.PumpAll();  // the dropped message's queued delivery finds nothing to do
    EXPECT_TRUE(window.HandledMessages().empty());
    // The window's own thread may still use it until it is destroyed.
    EXPECT_TRUE(IsWindow(handle));
    EXPECT_EQ(SendMessageA(handle, kPing, 6, 0), 7);
}

TEST(WindowMessagingTest, closing_a_dialog_closes_its_controls_too) {
    std::future<LRESULT> result;
    QueueWindow dialog;
    QueueWindow control;
    HWND dialog_handle = dialog.Attach(nullptr, 0);
    HWND control_handle = control.Attach(dialog_handle, 1005);
    dialog.Close();
    result = SendFromWorker(control_handle, kPing, 1);
    ASSERT_EQ(result.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(result.get(), 0);
}

TEST(WindowMessagingTest, messages_to_a_window_that_is_gone_answer_0_at_once) {
    HWND handle = nullptr;
    {
        QueueWindow window;
        handle = window.Attach(nullptr, 0);
    }
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(SendMessageA(handle, kPing, 1, 0), 0);
    EXPECT_FALSE(PostMessageA(handle, kPing, 1, 0));
    auto result = SendFromWorker(handle, kPing, 1);
    ASSERT_EQ(result.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(result.get(), 0);
    EXPECT_EQ(SendMessageA(nullptr, kPing, 1, 0), 0);

    QueueWindow next;  // a new window never gets an old window's handle
    EXPECT_NE(next.Attach(nullptr, 0), handle);
}

TEST(WindowMessagingTest, a_window_that_cannot_queue_work_answers_other_threads_with_0) {
    std::future<LRESULT> result;
    QueueWindow window;
    window.refuse_queueing = true;
    HWND handle = window.Attach(nullptr, 0);
    result = SendFromWorker(handle, kPing, 1);
    ASSERT_EQ(result.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(result.get(), 0);
    EXPECT_FALSE(PostMessageA(handle, kPing, 1, 0));
}

TEST(WindowMessagingTest, posted_messages_arrive_in_order_on_the_windows_thread) {
    QueueWindow window;
    HWND handle = window.Attach(nullptr, 0);
    for (WPARAM i = 0; i < 20; ++i)
        ASSERT_TRUE(PostMessageA(handle, kPing, i, 0));
    std::thread worker([&] {
        for (WPARAM i = 20; i < 40; ++i)
            PostMessageA(handle, kPing, i, 0);
    });
    worker.join();
    EXPECT_TRUE(window.HandledMessages().empty());  // nothing runs before the thread pumps
    window.PumpAll();
    ASSERT_EQ(window.HandledMessages().size(), 40u);
    for (size_t i = 0; i < 40; ++i)
        EXPECT_EQ(window.HandledMessages()[i].wparam, i);
}

TEST(WindowMessagingTest, queue_status_tells_of_messages_waiting_for_this_threads_windows) {
    std::future<LRESULT> result;
    QueueWindow window;
    HWND handle = window.Attach(nullptr, 0);
    EXPECT_EQ(GetQueueStatus(QS_SENDMESSAGE | QS_POSTMESSAGE), 0u);
    PostMessageA(handle, kPing, 1, 0);
    EXPECT_EQ(HIWORD(GetQueueStatus(QS_SENDMESSAGE | QS_POSTMESSAGE)), QS_POSTMESSAGE);
    window.PumpAll();
    EXPECT_EQ(GetQueueStatus(QS_SENDMESSAGE | QS_POSTMESSAGE), 0u);

    result = SendFromWorker(handle, kPing, 1);
    ASSERT_TRUE(window.WaitQueued());
    EXPECT_EQ(HIWORD(GetQueueStatus(QS_SENDMESSAGE | QS_POSTMESSAGE)), QS_SENDMESSAGE);
    ASSERT_TRUE(window.PumpUntil([&] { return Ready(result); }));
    EXPECT_EQ(GetQueueStatus(QS_SENDMESSAGE | QS_POSTMESSAGE), 0u);
    EXPECT_EQ(result.get(), 2);
}

TEST(WindowMessagingTest, controls_are_found_by_identifier_under_their_dialog_only) {
    QueueWindow dialog;
    QueueWindow other_dialog;
    QueueWindow bar;
    QueueWindow label;
    HWND dialog_handle = dialog.Attach(nullptr, 0);
    HWND other_handle = other_dialog.Attach(nullptr, 0);
    HWND bar_handle = bar.Attach(dialog_handle, 1005);
    HWND label_handle = label.Attach(dialog_handle, 1059);
    EXPECT_EQ(GetDlgItem(dialog_handle, 1005), bar_handle);
    EXPECT_EQ(GetDlgItem(dialog_handle, 1059), label_handle);
    EXPECT_EQ(GetDlgItem(dialog_handle, 1), nullptr);
    EXPECT_EQ(GetDlgItem(other_handle, 1005), nullptr);
    EXPECT_EQ(GetDlgCtrlID(bar_handle), 1005);
    EXPECT_EQ(GetParent(bar_handle), dialog_handle);
    EXPECT_EQ(GetParent(dialog_handle), nullptr);
    EXPECT_EQ(SendDlgItemMessageA(dialog_handle, 1005, kPing, 4, 0), 5);
    EXPECT_EQ(SendDlgItemMessageA(dialog_handle, 77, kPing, 4, 0), 0);
    ASSERT_EQ(bar.HandledMessages().size(), 1u);
}

TEST(WindowMessagingTest, services_a_window_lacks_fail_and_other_threads_cannot_use_them) {
    QueueWindow window;
    HWND handle = window.Attach(nullptr, 0);
    EXPECT_EQ(SetTimer(handle, 1, 100, nullptr), 0u);  // this window has no timers
    EXPECT_FALSE(KillTimer(handle, 1));
    std::atomic<BOOL> enabled{FALSE};
    std::thread other([&] { enabled = IsWindowEnabled(handle); });
    other.join();
    EXPECT_FALSE(enabled.load());
    EXPECT_TRUE(IsWindowEnabled(handle));
}

}  // namespace
