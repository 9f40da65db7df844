#include "platform/ui/Dialog.h"

#include <thread>

#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtWindow.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/platform/ui/ScriptedDialog.h"

namespace {

constexpr UINT kEndWith = WM_USER + 20;

void PressKey(QWidget* widget, Qt::Key key) {
    QWidget* target = widget->focusWidget() ? widget->focusWidget() : widget;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

TEST(DialogTest, end_dialog_from_a_posted_message_ends_the_run_with_its_result) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog;
    HWND seen = nullptr;
    dialog.on_init = [&] {
        seen = dialog.GetSafeHwnd();
        PostMessageA(seen, kEndWith, 42, 0);
    };
    dialog.on_message = [&](UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
        if (message != kEndWith) return std::nullopt;
        EXPECT_TRUE(QApplication::activeModalWidget() != nullptr);  // the run had started
        dialog.EndDialog(static_cast<int>(wparam));
        dialog.EndDialog(7);  // too late: the first result stands
        return 0;
    };
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_FALSE(watchdog.Fired());
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST(DialogTest, escape_ends_the_run_with_cancel) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog;
    WhenModal([](QWidget* modal) { PressKey(modal, Qt::Key_Escape); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(watchdog.Fired());
    ASSERT_FALSE(dialog.commands.empty());
    EXPECT_EQ(dialog.commands.back(), MAKEWPARAM(IDCANCEL, BN_CLICKED));
}

TEST(DialogTest, the_close_box_ends_the_run_with_cancel) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog;
    WhenModal([](QWidget* modal) { modal->close(); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(watchdog.Fired());
}

TEST(DialogTest, enter_presses_the_default_button_and_ok_reads_the_boxes_back) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog;
    std::string name = "before";
    dialog.exchange = [&](DataExchange* exchange) { DDX_Text(exchange, kNameEdit, name); };
    dialog.on_init = [&] { SetDlgItemTextA(dialog.GetSafeHwnd(), kNameEdit, "typed"); };
    WhenModal([](QWidget* modal) { PressKey(modal, Qt::Key_Return); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(name, "typed");
}

TEST(DialogTest, a_dialog_may_refuse_to_close_on_cancel) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog;
    int refused = 0;
    dialog.on_message = [&](UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL && refused == 0) {
            ++refused;
            PostMessageA(dialog.GetSafeHwnd(), kEndWith, 5, 0);
            return 0;
        }
        if (message == kEndWith) {
            dialog.EndDialog(static_cast<int>(wparam));
            return 0;
        }
        return std::nullopt;
    };
    WhenModal([](QWidget* modal) { PressKey(modal, Qt::Key_Escape); });
    EXPECT_EQ(dialog.DoModal(), 5);
    EXPECT_EQ(refused, 1);
    EXPECT_FALSE(watchdog.Fired());
}

TEST(DialogTest, a_dialog_ended_while_initialising_is_never_shown) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog;
    bool was_visible = true;
    bool destroyed = false;
    dialog.on_init = [&] { dialog.EndDialog(IDABORT); };
    dialog.on_message = [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_DESTROY) {
            destroyed = true;
            QWidget* frame = WidgetOf(dialog.GetSafeHwnd());
            was_visible = frame && frame->isVisible();
        }
        return std::nullopt;
    };
    EXPECT_EQ(dialog.DoModal(), IDABORT);
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(was_visible);
    EXPECT_FALSE(watchdog.Fired());
}

TEST(DialogTest, the_same_dialog_object_can_run_again) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog;
    int result = 10;
    dialog.on_init = [&] { dialog.EndDialog(result++); };
    EXPECT_EQ(dialog.DoModal(), 10);
    EXPECT_EQ(dialog.DoModal(), 11);
}

TEST(DialogTest, do_modal_off_the_application_thread_fails_at_once) {
    int result = 0;
    std::thread other([&] {
        ScriptedDialog dialog;
        result = dialog.DoModal();
    });
    other.join();
    EXPECT_EQ(result, -1);
}

TEST(DialogTest, controls_are_laid_out_from_dialog_units_in_the_dialogs_font) {
    ScriptedDialog dialog;
    QRect dialog_size;
    QRect label;
    QRect bar;
    QRect expected_label;
    QRect expected_bar;
    int point_size = 0;
    dialog.on_init = [&] {
        dialog.EndDialog(IDOK);
        QWidget* frame = WidgetOf(dialog.GetSafeHwnd());
        QWidget* label_widget = WidgetOf(dialog.GetDlgItem(kLabel));
        QWidget* bar_widget = WidgetOf(dialog.GetDlgItem(kBar));
        ASSERT_TRUE(frame && label_widget && bar_widget);
        const DialogUnits units = DialogUnits::FromFont(frame->font());
        point_size = frame->font().pointSize();
        dialog_size = QRect(QPoint(), frame->size());
        EXPECT_EQ(dialog_size, units.ToPixels(0, 0, 200, 120));
        label = label_widget->geometry();
        bar = bar_widget->geometry();
        expected_label = units.ToPixels(7, 7, 50, 10);
        expected_bar = units.ToPixels(110, 65, 80, 9);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(point_size, 8);
    EXPECT_EQ(label, expected_label);
    EXPECT_EQ(bar, expected_bar);
    EXPECT_GT(bar.left(), label.right());
}

TEST(DialogTest, controls_are_found_by_identifier_with_their_template_texts) {
    ScriptedDialog dialog;
    dialog.on_init = [&] {
        HWND self = dialog.GetSafeHwnd();
        EXPECT_EQ(GetWindowTextString(self), "Test Dialog");
        EXPECT_EQ(GetWindowTextString(dialog.GetDlgItem(kLabel)), "&Name:");
        EXPECT_EQ(GetWindowTextString(dialog.GetDlgItem(IDOK)), "OK");
        EXPECT_EQ(GetWindowTextString(dialog.GetDlgItem(IDCANCEL)), "Cancel");
        EXPECT_EQ(GetWindowTextString(dialog.GetDlgItem(kLoopCheck)), "Loop");
        EXPECT_EQ(GetDlgCtrlID(dialog.GetDlgItem(kBar)), kBar);
        EXPECT_EQ(GetParent(dialog.GetDlgItem(kBar)), self);
        EXPECT_NE(dialog.GetDlgItem(kBar), dialog.GetDlgItem(kList));
        EXPECT_EQ(dialog.GetDlgItem(999), nullptr);
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetDlgItem(kLabel), nullptr);
}

TEST(DialogTest, the_caption_can_be_changed_and_read_back_truncated) {
    ScriptedDialog dialog;
    dialog.on_init = [&] {
        HWND self = dialog.GetSafeHwnd();
        EXPECT_TRUE(SetWindowTextA(self, "Rendering Audio File"));
        QWidget* frame = WidgetOf(self);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->windowTitle(), QStringLiteral("Rendering Audio File"));
        char buffer[10] = "xxxxxxxxx";
        EXPECT_EQ(GetWindowTextA(self, buffer, sizeof(buffer)), 9);
        EXPECT_STREQ(buffer, "Rendering");
        EXPECT_EQ(GetWindowTextLengthA(self), 20);
        EXPECT_EQ(GetWindowTextA(self, buffer, 0), 0);
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
}

TEST(DialogTest, a_template_without_system_menu_has_no_close_box) {
    DialogTemplate plain = TestTemplate();
    plain.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION;
    ScriptedDialog dialog(plain);
    Qt::WindowFlags flags;
    dialog.on_init = [&] {
        dialog.EndDialog(IDOK);
        QWidget* frame = WidgetOf(dialog.GetSafeHwnd());
        ASSERT_NE(frame, nullptr);
        flags = frame->windowFlags();
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
}

TEST(DialogTest, window_timer_sends_wm_timer_until_killed) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog;
    int ticks = 0;
    dialog.on_init = [&] { EXPECT_EQ(SetTimer(dialog.GetSafeHwnd(), 7, 1, nullptr), 7u); };
    dialog.on_message = [&](UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
        if (message == kEndWith) {
            dialog.EndDialog(static_cast<int>(wparam));
            return 0;
        }
        if (message != WM_TIMER) return std::nullopt;
        if (wparam == 8) {
            KillTimer(dialog.GetSafeHwnd(), 8);
            PostMessageA(dialog.GetSafeHwnd(), kEndWith, IDOK, 0);
            return 0;
        }
        EXPECT_EQ(wparam, 7u);
        if (++ticks == 3) {
            EXPECT_TRUE(KillTimer(dialog.GetSafeHwnd(), 7));
            EXPECT_FALSE(KillTimer(dialog.GetSafeHwnd(), 7));
            // Ends a little later, so that a tick after the kill would be seen.
            SetTimer(dialog.GetSafeHwnd(), 8, 30, nullptr);
        }
        return 0;
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(watchdog.Fired());
}

TEST(DialogTest, timers_and_enabling_belong_to_the_windows_thread) {
    ScriptedDialog dialog;
    dialog.on_init = [&] {
        HWND button = dialog.GetDlgItem(IDOK);
        UINT_PTR timer = 1;
        BOOL enabled = TRUE;
        std::thread other([&] {
            timer = SetTimer(dialog.GetSafeHwnd(), 3, 10, nullptr);
            enabled = EnableWindow(button, FALSE);
        });
        other.join();
        EXPECT_EQ(timer, 0u);
        EXPECT_TRUE(IsWindowEnabled(button));
        EXPECT_FALSE(EnableWindow(button, FALSE));  // was enabled
        EXPECT_FALSE(IsWindowEnabled(button));
        EXPECT_TRUE(EnableWindow(button, TRUE));  // was disabled
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
}

}  // namespace
