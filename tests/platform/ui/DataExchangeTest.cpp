#include "platform/ui/DataExchange.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/ScriptedDialog.h"
#include "tests/support/RecordingUserPrompt.h"

namespace {

struct Members {
    std::string name = "Tarte";
    int count = 12;
    float ratio = 1.52f;
    int loop = 1;
};

// A dialog bound to `members`, running `checks` inside its initialisation.
int RunBound(Members& members, const std::function<void(ScriptedDialog&)>& checks) {
    ScriptedDialog dialog;
    dialog.exchange = [&](DataExchange* exchange) {
        DDX_Text(exchange, kNameEdit, members.name);
        DDX_Text(exchange, kCountEdit, members.count);
        DDX_Text(exchange, kRatioEdit, members.ratio);
        DDX_Check(exchange, kLoopCheck, members.loop);
    };
    dialog.on_init = [&] {
        checks(dialog);
        dialog.EndDialog(IDOK);
    };
    return dialog.DoModal();
}

std::string BoxText(ScriptedDialog& dialog, int id) {
    return GetWindowTextString(dialog.GetDlgItem(id));
}

void Type(ScriptedDialog& dialog, int id, const char* text) {
    SetDlgItemTextA(dialog.GetSafeHwnd(), id, text);
}

TEST(DataExchangeTest, initialisation_shows_the_members_in_the_boxes) {
    Members members;
    RunBound(members, [](ScriptedDialog& dialog) {
        EXPECT_EQ(BoxText(dialog, kNameEdit), "Tarte");
        EXPECT_EQ(BoxText(dialog, kCountEdit), "12");
        EXPECT_EQ(BoxText(dialog, kRatioEdit), "1.52");
        EXPECT_EQ(SendDlgItemMessageA(dialog.GetSafeHwnd(), kLoopCheck, BM_GETCHECK, 0, 0),
                  static_cast<LRESULT>(BST_CHECKED));
    });
}

TEST(DataExchangeTest, reading_back_copies_every_box_into_its_member) {
    Members members;
    BOOL read = FALSE;
    RunBound(members, [&](ScriptedDialog& dialog) {
        Type(dialog, kNameEdit, "  spaced name ");
        Type(dialog, kCountEdit, " +40 ");
        Type(dialog, kRatioEdit, "-0.25");
        SendDlgItemMessageA(dialog.GetSafeHwnd(), kLoopCheck, BM_SETCHECK, BST_UNCHECKED, 0);
        read = dialog.UpdateData(TRUE);
    });
    EXPECT_TRUE(read);
    EXPECT_EQ(members.name, "  spaced name ");  // texts are taken as they are
    EXPECT_EQ(members.count, 40);
    EXPECT_FLOAT_EQ(members.ratio, -0.25f);
    EXPECT_EQ(members.loop, 0);
}

TEST(DataExchangeTest, a_box_that_is_not_an_integer_stops_the_exchange_and_tells_the_user) {
    RecordingUserPrompt prompt;
    Members members;
    BOOL read = TRUE;
    RunBound(members, [&](ScriptedDialog& dialog) {
        Type(dialog, kNameEdit, "read");
        Type(dialog, kCountEdit, "12abc");
        Type(dialog, kRatioEdit, "3");
        read = dialog.UpdateData(TRUE);
    });
    EXPECT_FALSE(read);
    EXPECT_EQ(members.name, "read");  // bound before the faulty box
    EXPECT_EQ(members.count, 12);
    EXPECT_FLOAT_EQ(members.ratio, 1.52f);  // after it: not read
    const auto messages = prompt.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Please enter an integer.");
    EXPECT_EQ(messages[0].caption, "");
}

TEST(DataExchangeTest, numbers_out_of_range_or_not_finite_are_refused) {
    RecordingUserPrompt prompt;
    for (const char* count : {"99999999999", "", "1.5"}) {
        Members members;
        BOOL read = TRUE;
        RunBound(members, [&](ScriptedDialog& dialog) {
            Type(dialog, kCountEdit, count);
            read = dialog.UpdateData(TRUE);
        });
        EXPECT_FALSE(read) << count;
        EXPECT_EQ(members.count, 12) << count;
    }
    for (const char* ratio : {"inf", "nan", "1e99", "1,5"}) {
        Members members;
        BOOL read = TRUE;
        RunBound(members, [&](ScriptedDialog& dialog) {
            Type(dialog, kRatioEdit, ratio);
            read = dialog.UpdateData(TRUE);
        });
        EXPECT_FALSE(read) << ratio;
    }
    const auto messages = prompt.Messages();
    ASSERT_EQ(messages.size(), 7u);
    EXPECT_EQ(messages.back().text, "Please enter a number.");
}

TEST(DataExchangeTest, ok_with_a_faulty_box_keeps_the_dialog_open) {
    RecordingUserPrompt prompt;
    Members members;
    ScriptedDialog dialog;
    BOOL open_after_first_ok = FALSE;
    dialog.exchange = [&](DataExchange* exchange) {
        DDX_Text(exchange, kCountEdit, members.count);
    };
    dialog.on_init = [&] {
        Type(dialog, kCountEdit, "twelve");
        SendMessageA(dialog.GetDlgItem(IDOK), BM_CLICK, 0, 0);
        // An ended dialog takes no more posted messages; this one must still take them.
        open_after_first_ok = PostMessageA(dialog.GetSafeHwnd(), WM_NULL, 0, 0);
        Type(dialog, kCountEdit, "13");
        SendMessageA(dialog.GetDlgItem(IDOK), BM_CLICK, 0, 0);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(open_after_first_ok);
    EXPECT_EQ(members.count, 13);
    EXPECT_EQ(prompt.Messages().size(), 1u);
}

TEST(DataExchangeTest, showing_writes_only_the_boxes_whose_text_differs) {
    Members members;
    std::vector<WPARAM> after_same;
    std::vector<WPARAM> after_change;
    RunBound(members, [&](ScriptedDialog& dialog) {
        dialog.commands.clear();
        dialog.UpdateData(FALSE);  // nothing changed
        after_same = dialog.commands;
        members.count = 13;
        dialog.UpdateData(FALSE);
        after_change = dialog.commands;
        EXPECT_EQ(BoxText(dialog, kCountEdit), "13");
    });
    EXPECT_TRUE(after_same.empty());
    const auto changes =
        std::count(after_change.begin(), after_change.end(), MAKEWPARAM(kCountEdit, EN_CHANGE));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(after_change.size(), 2u);  // EN_UPDATE and EN_CHANGE of that box only
}

TEST(DataExchangeTest, floats_show_with_six_significant_digits) {
    Members members;
    members.ratio = 3.14159274f;
    std::string shown;
    RunBound(members, [&](ScriptedDialog& dialog) { shown = BoxText(dialog, kRatioEdit); });
    EXPECT_EQ(shown, "3.14159");
    members.ratio = 1e-7f;
    RunBound(members, [&](ScriptedDialog& dialog) { shown = BoxText(dialog, kRatioEdit); });
    EXPECT_EQ(shown, "1e-07");
}

}  // namespace
