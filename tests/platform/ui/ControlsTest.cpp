#include <QLabel>
#include <QListWidget>
#include <QProgressBar>

#include <gtest/gtest.h>

#include "platform/ui/ProgressBarControl.h"
#include "platform/ui/QtWindow.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/ScriptedDialog.h"

namespace {

// Runs `checks` inside a test dialog's initialisation, then ends it.
void WithDialog(const std::function<void(ScriptedDialog&)>& checks) {
    ScriptedDialog dialog;
    dialog.on_init = [&] {
        checks(dialog);
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
}

LRESULT Send(ScriptedDialog& dialog, int id, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    return SendDlgItemMessageA(dialog.GetSafeHwnd(), id, message, wparam, lparam);
}

LPARAM Text(const char* text) {
    return reinterpret_cast<LPARAM>(text);
}

template <typename Widget>
Widget* ControlWidget(ScriptedDialog& dialog, int id) {
    return static_cast<Widget*>(WidgetOf(dialog.GetDlgItem(id)));
}

TEST(ProgressBarTest, position_stays_inside_the_range_and_each_message_returns_the_previous) {
    WithDialog([](ScriptedDialog& dialog) {
        EXPECT_EQ(Send(dialog, kBar, PBM_GETPOS), 0);
        EXPECT_EQ(Send(dialog, kBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100)), MAKELONG(0, 100));
        EXPECT_EQ(Send(dialog, kBar, PBM_SETPOS, 50), 0);
        EXPECT_EQ(ControlWidget<QProgressBar>(dialog, kBar)->value(), 50);
        EXPECT_EQ(Send(dialog, kBar, PBM_SETPOS, 150), 50);
        EXPECT_EQ(Send(dialog, kBar, PBM_GETPOS), 100);
        EXPECT_EQ(Send(dialog, kBar, PBM_SETPOS, static_cast<WPARAM>(-5)), 100);
        EXPECT_EQ(Send(dialog, kBar, PBM_GETPOS), 0);
        EXPECT_EQ(Send(dialog, kBar, PBM_DELTAPOS, 30), 0);
        EXPECT_EQ(Send(dialog, kBar, PBM_GETPOS), 30);
        EXPECT_EQ(ControlWidget<QProgressBar>(dialog, kBar)->value(), 30);
    });
}

TEST(ProgressBarTest, a_new_range_moves_the_position_into_it) {
    WithDialog([](ScriptedDialog& dialog) {
        Send(dialog, kBar, PBM_SETPOS, 5);
        EXPECT_EQ(Send(dialog, kBar, PBM_SETRANGE32, 10, 20), MAKELONG(0, 100));
        EXPECT_EQ(Send(dialog, kBar, PBM_GETPOS), 10);
        PBRANGE range{};
        EXPECT_EQ(Send(dialog, kBar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 10);
        EXPECT_EQ(range.iLow, 10);
        EXPECT_EQ(range.iHigh, 20);
        EXPECT_EQ(Send(dialog, kBar, PBM_GETRANGE, FALSE, 0), 20);
        const QProgressBar* bar = ControlWidget<QProgressBar>(dialog, kBar);
        EXPECT_EQ(bar->minimum(), 10);
        EXPECT_EQ(bar->maximum(), 20);
        EXPECT_EQ(bar->value(), 10);
    });
}

TEST(ProgressBarTest, step_it_advances_by_the_step_and_starts_over_past_the_end) {
    WithDialog([](ScriptedDialog& dialog) {
        EXPECT_EQ(Send(dialog, kBar, PBM_SETSTEP, 40), 10);
        Send(dialog, kBar, PBM_STEPIT);
        Send(dialog, kBar, PBM_STEPIT);
        EXPECT_EQ(Send(dialog, kBar, PBM_GETPOS), 80);
        EXPECT_EQ(Send(dialog, kBar, PBM_STEPIT), 80);
        EXPECT_EQ(Send(dialog, kBar, PBM_GETPOS), 20);
    });
}

TEST(CheckBoxTest, set_check_is_silent_and_a_click_toggles_and_notifies) {
    ScriptedDialog dialog;
    HWND box = nullptr;
    dialog.on_init = [&] {
        box = dialog.GetDlgItem(kLoopCheck);
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
        SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
        EXPECT_TRUE(dialog.commands.empty());
        SendMessageA(box, BM_CLICK, 0, 0);
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(dialog.commands.size(), 1u);
    EXPECT_EQ(dialog.commands[0], MAKEWPARAM(kLoopCheck, BN_CLICKED));
}

TEST(PushButtonTest, clicking_cancel_ends_the_dialog_with_cancel) {
    ScriptedDialog dialog;
    dialog.on_init = [&] { SendMessageA(dialog.GetDlgItem(IDCANCEL), BM_CLICK, 0, 0); };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(dialog.commands.size(), 1u);
    EXPECT_EQ(dialog.commands[0], MAKEWPARAM(IDCANCEL, BN_CLICKED));
}

TEST(ListBoxTest, a_sorted_list_box_keeps_its_strings_in_order_without_regard_to_case) {
    WithDialog([](ScriptedDialog& dialog) {
        EXPECT_EQ(Send(dialog, kList, LB_ADDSTRING, 0, Text("banana")), 0);
        EXPECT_EQ(Send(dialog, kList, LB_ADDSTRING, 0, Text("Apple")), 0);
        EXPECT_EQ(Send(dialog, kList, LB_ADDSTRING, 0, Text("cherry")), 2);
        EXPECT_EQ(Send(dialog, kList, LB_ADDSTRING, 0, Text("apple")), 1);  // after its equal
        ASSERT_EQ(Send(dialog, kList, LB_GETCOUNT), 4);
        char buffer[32];
        EXPECT_EQ(Send(dialog, kList, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 5);
        EXPECT_STREQ(buffer, "apple");
        EXPECT_EQ(Send(dialog, kList, LB_GETTEXTLEN, 3), 6);
        EXPECT_EQ(Send(dialog, kList, LB_GETTEXTLEN, 4), LB_ERR);
        EXPECT_EQ(Send(dialog, kList, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Text("CHERRY")),
                  3);
        EXPECT_EQ(Send(dialog, kList, LB_FINDSTRINGEXACT, 0, Text("APPLE")), 1);
        EXPECT_EQ(Send(dialog, kList, LB_FINDSTRINGEXACT, 1, Text("apple")), 0);  // wrapped
        EXPECT_EQ(Send(dialog, kList, LB_FINDSTRINGEXACT, 0, Text("fig")), LB_ERR);
    });
}

TEST(ListBoxTest, item_data_selection_and_removal_answer_as_on_windows) {
    ScriptedDialog dialog;
    dialog.on_init = [&] {
        Send(dialog, kList, LB_ADDSTRING, 0, Text("one"));
        Send(dialog, kList, LB_ADDSTRING, 0, Text("two"));
        EXPECT_EQ(Send(dialog, kList, LB_SETITEMDATA, 1, -77), 0);
        EXPECT_EQ(Send(dialog, kList, LB_GETITEMDATA, 1), -77);
        EXPECT_EQ(Send(dialog, kList, LB_GETITEMDATA, 0), 0);
        EXPECT_EQ(Send(dialog, kList, LB_SETITEMDATA, 5, 1), LB_ERR);
        EXPECT_EQ(Send(dialog, kList, LB_GETCURSEL), LB_ERR);
        EXPECT_EQ(Send(dialog, kList, LB_SETCURSEL, 1), 1);
        EXPECT_EQ(Send(dialog, kList, LB_GETCURSEL), 1);
        EXPECT_EQ(Send(dialog, kList, LB_SETCURSEL, static_cast<WPARAM>(-1)), LB_ERR);
        EXPECT_EQ(Send(dialog, kList, LB_GETCURSEL), LB_ERR);
        EXPECT_EQ(Send(dialog, kList, LB_SETCURSEL, 9), LB_ERR);
        EXPECT_EQ(Send(dialog, kList, LB_DELETESTRING, 0), 1);
        EXPECT_EQ(Send(dialog, kList, LB_DELETESTRING, 3), LB_ERR);
        EXPECT_EQ(Send(dialog, kList, LB_GETITEMDATA, 0), -77);  // "two" moved up with its data
        EXPECT_TRUE(dialog.commands.empty());                    // no message above notifies

        // The user selecting a row is told to the dialog.
        ControlWidget<QListWidget>(dialog, kList)->setCurrentRow(0);
        Send(dialog, kList, LB_RESETCONTENT);
        EXPECT_EQ(Send(dialog, kList, LB_GETCOUNT), 0);
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(dialog.commands.size(), 1u);
    EXPECT_EQ(dialog.commands[0], MAKEWPARAM(kList, LBN_SELCHANGE));
}

TEST(ListBoxTest, an_unsorted_list_box_inserts_where_asked) {
    DialogTemplate plain = TestTemplate();
    plain.controls.push_back({200, ControlKind::ListBox, "", 7, 100, 60, 20, WS_BORDER});
    ScriptedDialog dialog(plain);
    dialog.on_init = [&] {
        EXPECT_EQ(Send(dialog, 200, LB_ADDSTRING, 0, Text("b")), 0);
        EXPECT_EQ(Send(dialog, 200, LB_ADDSTRING, 0, Text("a")), 1);
        EXPECT_EQ(Send(dialog, 200, LB_INSERTSTRING, 0, Text("c")), 0);
        EXPECT_EQ(Send(dialog, 200, LB_INSERTSTRING, static_cast<WPARAM>(-1), Text("d")), 3);
        EXPECT_EQ(Send(dialog, 200, LB_INSERTSTRING, 9, Text("x")), LB_ERR);
        char buffer[4];
        Send(dialog, 200, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer));
        EXPECT_STREQ(buffer, "c");
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
}

TEST(EditTest, every_set_text_notifies_the_dialog_with_update_then_change) {
    ScriptedDialog dialog;
    dialog.on_init = [&] {
        HWND edit = dialog.GetDlgItem(kNameEdit);
        dialog.commands.clear();
        SetWindowTextA(edit, "abc");
        SetWindowTextA(edit, "abc");  // the same text notifies too, as on Windows
        EXPECT_EQ(GetWindowTextString(edit), "abc");
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    const std::vector<WPARAM> expected = {
        MAKEWPARAM(kNameEdit, EN_UPDATE), MAKEWPARAM(kNameEdit, EN_CHANGE),
        MAKEWPARAM(kNameEdit, EN_UPDATE), MAKEWPARAM(kNameEdit, EN_CHANGE)};
    EXPECT_EQ(dialog.commands, expected);
}

TEST(EditTest, limit_text_cuts_what_the_box_takes) {
    WithDialog([](ScriptedDialog& dialog) {
        HWND edit = dialog.GetDlgItem(kCountEdit);
        SendMessageA(edit, EM_LIMITTEXT, 3, 0);
        SetWindowTextA(edit, "12345");
        EXPECT_EQ(GetWindowTextString(edit), "123");
    });
}

TEST(StaticTest, mnemonic_marks_are_not_shown_but_kept_in_the_text) {
    WithDialog([](ScriptedDialog& dialog) {
        EXPECT_EQ(ControlWidget<QLabel>(dialog, kLabel)->text(), QStringLiteral("Name:"));
        SetWindowTextA(dialog.GetDlgItem(kLabel), "Salt && &Pepper");
        EXPECT_EQ(ControlWidget<QLabel>(dialog, kLabel)->text(), QStringLiteral("Salt & Pepper"));
        EXPECT_EQ(GetWindowTextString(dialog.GetDlgItem(kLabel)), "Salt && &Pepper");
    });
}

}  // namespace
