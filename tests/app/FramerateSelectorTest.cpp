// The Framerate Selector: its list, what OK reads from the edit field, and Escape.
#include "app/FramerateSelectorDialog.h"

#include <optional>

#include <gtest/gtest.h>

#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"
#include "tests/platform/ui/InputEvents.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/platform/ui/ScriptedDialog.h"

namespace {

struct Answer {
    const char* name;
    std::optional<const char*> typed;  // nothing: OK at once
    bool escape;
    int result;
    float value;
};

class FramerateSelectorTest : public testing::TestWithParam<Answer> {};

TEST_P(FramerateSelectorTest, value_follows_what_the_user_gave) {
    const Answer& answer = GetParam();
    ModalWatchdog watchdog;
    FramerateSelectorDialog dialog;
    std::vector<std::string> entries;
    std::string prompt;
    WhenModal([&](QWidget* modal) {
        const HWND self = dialog.GetSafeHwnd();
        prompt = GetWindowTextString(GetDlgItem(self, FramerateSelectorDialog::IDC_PROMPT));
        const auto count =
            SendDlgItemMessageA(self, FramerateSelectorDialog::IDC_RATES, CB_GETCOUNT, 0, 0);
        for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
            char text[32] = {};
            SendDlgItemMessageA(self, FramerateSelectorDialog::IDC_RATES, CB_GETLBTEXT, i,
                                reinterpret_cast<LPARAM>(text));
            entries.emplace_back(text);
        }
        if (answer.typed) SetDlgItemTextA(self, FramerateSelectorDialog::IDC_RATES, *answer.typed);
        TapKey(modal, answer.escape ? Qt::Key_Escape : Qt::Key_Return);
    });
    EXPECT_EQ(dialog.DoModal(), answer.result);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(dialog.m_value, answer.value);
    EXPECT_EQ(prompt, "Framerate is not found, Please select one :");
    EXPECT_EQ(entries, (std::vector<std::string>{"23.97", "24", "25", "29.97", "30"}));
}

INSTANTIATE_TEST_SUITE_P(Answers, FramerateSelectorTest,
                         testing::Values(Answer{"ok_at_once", std::nullopt, false, IDOK, 23.97f},
                                         Answer{"typed_with_unit", "29.97fps", false, IDOK, 29.97f},
                                         Answer{"letters", "abc", false, IDOK, 25.0f},
                                         Answer{"zero", "0", false, IDOK, 25.0f},
                                         Answer{"negative_kept", "-5", false, IDOK, -5.0f},
                                         Answer{"escape_falls_back", "30", true, IDCANCEL, 25.0f}),
                         [](const testing::TestParamInfo<Answer>& param) {
                             return std::string(param.param.name);
                         });

TEST(FramerateSelectorLayout, caption_and_no_window_menu) {
    const DialogTemplate resource = FramerateSelectorDialog::Resource();
    EXPECT_EQ(resource.caption, "Framerate Selector");
    EXPECT_EQ(resource.cx, 186);
    EXPECT_EQ(resource.cy, 61);
    EXPECT_EQ(resource.style & WS_SYSMENU, 0u);
}

}  // namespace
