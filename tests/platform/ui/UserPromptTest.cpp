#include <gtest/gtest.h>

#include "platform/ui/FileChooser.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TerminalUserPrompt.h"
#include "tests/support/RecordingUserPrompt.h"

namespace {

const FileFilterList kProjectFilter = {{"TKV Project (*.tkv)", "*.tkv"}};

TEST(MessageBoxTest, the_default_button_is_the_one_the_flags_name_else_the_first) {
    EXPECT_EQ(DefaultButton(MB_OK), IDOK);
    EXPECT_EQ(DefaultButton(MB_YESNO), IDYES);
    EXPECT_EQ(DefaultButton(MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(DefaultButton(MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
    EXPECT_EQ(DefaultButton(MB_OKCANCEL | MB_DEFBUTTON3), IDOK);  // no third button
    EXPECT_EQ(DefaultButton(MB_RETRYCANCEL | MB_ICONERROR), IDRETRY);
}

TEST(MessageBoxTest, each_box_type_has_its_windows_buttons_in_order) {
    EXPECT_EQ(ButtonCount(MB_OK | MB_ICONERROR), 1);
    ASSERT_EQ(ButtonCount(MB_ABORTRETRYIGNORE), 3);
    EXPECT_EQ(ButtonAt(MB_ABORTRETRYIGNORE, 0), IDABORT);
    EXPECT_EQ(ButtonAt(MB_ABORTRETRYIGNORE, 1), IDRETRY);
    EXPECT_EQ(ButtonAt(MB_ABORTRETRYIGNORE, 2), IDIGNORE);
    EXPECT_EQ(ButtonAt(MB_OKCANCEL, 1), IDCANCEL);
    EXPECT_EQ(ButtonAt(MB_OKCANCEL, 2), 0);
    EXPECT_EQ(ButtonAt(MB_OKCANCEL, -1), 0);
}

TEST(MessageBoxTest, message_box_goes_through_the_installed_prompt) {
    RecordingUserPrompt prompt;
    prompt.SetAnswer(IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Save changes?", nullptr, MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, "", MB_OK), IDNO);
    const auto messages = prompt.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Save changes?");
    EXPECT_EQ(messages[0].caption, "Error");  // a null caption is Windows' "Error"
    EXPECT_EQ(messages[0].type, MB_YESNO);
    EXPECT_EQ(messages[1].text, "");
    EXPECT_EQ(messages[1].caption, "");
}

TEST(FileChooserTest, the_terminal_prompt_answers_cancelled) {
    TerminalUserPrompt terminal;
    EXPECT_FALSE(terminal.ChooseFileToOpen(nullptr, kProjectFilter).has_value());
    EXPECT_FALSE(terminal.ChooseFileToSave(nullptr, kProjectFilter).has_value());
}

TEST(FileChooserTest, choosers_go_through_the_installed_prompt_with_owner_and_filter) {
    RecordingUserPrompt prompt;
    prompt.AddFileAnswer("/tmp/a.tkv");
    prompt.AddFileAnswer(std::nullopt);
    HWND owner = reinterpret_cast<HWND>(uintptr_t{0x40});
    const FileFilterList movies = {{"Mpeg (*.mpg)", "*.mpg"}, {"All Files (*.*)", "*.*"}};

    EXPECT_EQ(ChooseFileToSave(owner, kProjectFilter), "/tmp/a.tkv");
    EXPECT_FALSE(ChooseFileToOpen(nullptr, movies).has_value());
    EXPECT_FALSE(ChooseFileToOpen(nullptr, movies).has_value());  // answers ran out

    const auto requests = prompt.FileRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].owner, owner);
    ASSERT_EQ(requests[0].filter.size(), 1u);
    EXPECT_EQ(requests[0].filter[0].label, "TKV Project (*.tkv)");
    EXPECT_EQ(requests[0].filter[0].pattern, "*.tkv");
    EXPECT_FALSE(requests[1].save);
    ASSERT_EQ(requests[1].filter.size(), 2u);
    EXPECT_EQ(requests[1].filter[1].pattern, "*.*");
}

TEST(FileChooserTest, removing_the_recording_prompt_restores_the_previous_one) {
    RecordingUserPrompt outer;
    {
        RecordingUserPrompt inner;
        inner.AddFileAnswer("inner");
        EXPECT_EQ(ChooseFileToOpen(nullptr, kProjectFilter), "inner");
    }
    outer.AddFileAnswer("outer");
    EXPECT_EQ(ChooseFileToOpen(nullptr, kProjectFilter), "outer");
    EXPECT_EQ(outer.FileRequests().size(), 1u);
}

}  // namespace
