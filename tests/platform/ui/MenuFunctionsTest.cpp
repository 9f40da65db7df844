#include "platform/ui/MenuFunctions.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ui/Menu.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"
#include "tests/platform/ui/QueueWindow.h"
#include "tests/support/RecordingMenuTracker.h"

namespace {

constexpr UINT kNoEntry = static_cast<UINT>(-1);

// The filter list's menu for a filter with one connected output and one free one.
struct FilterMenu {
    FilterMenu() {
        menu = CreatePopupMenu();
        connect = CreatePopupMenu();
        AppendMenuA(connect, MF_STRING, 1056, "Wave Parser In");
        AppendMenuA(connect, MF_STRING | MF_GRAYED, 1057, "Null Renderer In");
        AppendMenuA(menu, MF_STRING, 1030, "Disconnect Out");
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(connect), "Connect Audio to ...");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, 1028, "Remove");
        AppendMenuA(menu, MF_STRING, 1029, "Insert...");
    }
    ~FilterMenu() { DestroyMenu(menu); }

    HMENU menu;
    HMENU connect;
};

TEST(MenuFunctionsTest, entries_keep_their_order_kind_state_and_text) {
    FilterMenu filter;
    ASSERT_EQ(GetMenuItemCount(filter.menu), 5);
    EXPECT_EQ(GetMenuItemID(filter.menu, 0), 1030u);
    EXPECT_EQ(GetMenuItemID(filter.menu, 1), kNoEntry);  // a submenu
    EXPECT_EQ(GetMenuItemID(filter.menu, 2), 0u);        // a separator
    EXPECT_EQ(GetMenuItemID(filter.menu, 5), kNoEntry);
    EXPECT_EQ(GetSubMenu(filter.menu, 1), filter.connect);
    EXPECT_EQ(GetSubMenu(filter.menu, 0), nullptr);
    EXPECT_TRUE(GetMenuState(filter.menu, 2, MF_BYPOSITION) & MF_SEPARATOR);
    // By command, a submenu's entries are found too.
    EXPECT_EQ(GetMenuState(filter.menu, 1057, MF_BYCOMMAND), MF_GRAYED);
    EXPECT_EQ(GetMenuState(filter.menu, 4242, MF_BYCOMMAND), kNoEntry);
    char text[8];
    EXPECT_EQ(GetMenuStringA(filter.menu, 1056, text, sizeof(text), MF_BYCOMMAND), 7);
    EXPECT_STREQ(text, "Wave Pa");
    EXPECT_EQ(EnableMenuItem(filter.menu, 1057, MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(EnableMenuItem(filter.menu, 3, MF_BYPOSITION | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(GetMenuState(filter.menu, 1028, MF_BYCOMMAND), MF_GRAYED);
    EXPECT_FALSE(AppendMenuA(filter.menu, MF_STRING, 1, nullptr));  // a plain entry needs text
}

TEST(MenuFunctionsTest, a_destroyed_menu_takes_its_submenus_and_its_handle_names_nothing) {
    HMENU menu = CreatePopupMenu();
    HMENU submenu = CreatePopupMenu();
    HMENU inner = CreatePopupMenu();
    HMENU unused = CreatePopupMenu();  // built, never appended: destroyed on its own
    ASSERT_TRUE(AppendMenuA(submenu, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), "inner"));
    ASSERT_TRUE(AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), "sub"));
    // A submenu belongs to one menu, and no menu may contain itself.
    EXPECT_FALSE(AppendMenuA(unused, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), "again"));
    EXPECT_FALSE(AppendMenuA(inner, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), "loop"));
    EXPECT_FALSE(AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), "self"));

    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_FALSE(IsMenu(submenu));
    EXPECT_FALSE(IsMenu(inner));
    EXPECT_FALSE(DestroyMenu(submenu));
    EXPECT_FALSE(AppendMenuA(menu, MF_STRING, 1, "late"));
    EXPECT_EQ(GetMenuItemCount(menu), -1);
    EXPECT_TRUE(IsMenu(unused));
    EXPECT_TRUE(DestroyMenu(unused));
    // A new menu never takes an old one's handle.
    HMENU next = CreatePopupMenu();
    EXPECT_NE(next, menu);
    EXPECT_NE(next, unused);
    DestroyMenu(next);
}

TEST(MenuFunctionsTest, the_menu_object_owns_its_menu_unless_detached) {
    HMENU kept = nullptr;
    HMENU gone = nullptr;
    {
        Menu owned;
        Menu detached;
        ASSERT_TRUE(owned.CreatePopupMenu());
        EXPECT_FALSE(owned.CreatePopupMenu());
        ASSERT_TRUE(detached.CreatePopupMenu());
        EXPECT_TRUE(owned.AppendMenu(MF_STRING, 7, "Seven"));
        EXPECT_EQ(owned.GetMenuItemCount(), 1);
        EXPECT_EQ(owned.GetMenuItemID(0), 7u);
        gone = owned.GetSafeHmenu();
        kept = detached.Detach();
    }
    EXPECT_FALSE(IsMenu(gone));
    EXPECT_TRUE(IsMenu(kept));
    Menu adopted;
    EXPECT_TRUE(adopted.Attach(kept));
    EXPECT_FALSE(adopted.Attach(kept));
}

struct Choice {
    const char* name;
    std::vector<std::string> texts;  // empty: the user chooses nothing
    UINT posted;                     // the command the owner gets, 0 for none
};

class MenuChoiceTest : public testing::TestWithParam<Choice> {};

TEST_P(MenuChoiceTest, the_owner_gets_the_chosen_command_after_the_menu_closed) {
    RecordingMenuTracker tracker;
    const Choice& choice = GetParam();
    if (choice.texts.empty()) {
        tracker.ChooseNothing();
    } else {
        tracker.ChooseEntry(choice.texts);
    }
    QueueWindow owner;
    HWND handle = owner.Attach(nullptr, 0);
    owner.answer = [](UINT, WPARAM, LPARAM) -> LRESULT { return 0; };
    FilterMenu filter;
    ASSERT_TRUE(TrackPopupMenu(filter.menu, TPM_CENTERALIGN | TPM_RIGHTBUTTON, 120, 80, 0, handle,
                               nullptr));
    // Told of the menu, then nothing more until the command's turn comes.
    ASSERT_EQ(owner.HandledMessages().size(), 1u);
    EXPECT_EQ(owner.HandledMessages()[0].message, WM_INITMENUPOPUP);
    owner.PumpAll();
    std::vector<WPARAM> commands;
    for (const auto& handled : owner.HandledMessages()) {
        if (handled.message == WM_COMMAND) commands.push_back(handled.wparam);
    }
    if (choice.posted == 0) {
        EXPECT_TRUE(commands.empty());
    } else {
        EXPECT_EQ(commands, std::vector<WPARAM>{MAKEWPARAM(static_cast<WORD>(choice.posted), 0)});
    }
    // What was shown, submenu and grayed entries included.
    ASSERT_EQ(tracker.Menus().size(), 1u);
    const RecordingMenuTracker::Shown shown = tracker.Menus()[0];
    EXPECT_EQ(shown.owner, handle);
    EXPECT_EQ(shown.at.x, 120);
    EXPECT_EQ(RecordingMenuTracker::Texts(shown.entries),
              (std::vector<std::string>{"Disconnect Out", "Connect Audio to ...", "-", "Remove",
                                        "Insert..."}));
    const MenuEntry* connect = RecordingMenuTracker::Find(shown.entries, "Connect Audio to ...");
    ASSERT_NE(connect, nullptr);
    ASSERT_EQ(connect->submenu.size(), 2u);
    EXPECT_TRUE(connect->submenu[0].IsEnabled());
    EXPECT_FALSE(connect->submenu[1].IsEnabled());
    EXPECT_EQ(connect->submenu[1].id, 1057u);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, MenuChoiceTest,
    testing::Values(Choice{"plain", {"Remove"}, 1028},
                    Choice{"in_a_submenu", {"Connect Audio to ...", "Wave Parser In"}, 1056},
                    Choice{"grayed", {"Connect Audio to ...", "Null Renderer In"}, 0},
                    Choice{"nothing", {}, 0}),
    [](const testing::TestParamInfo<Choice>& param) { return std::string(param.param.name); });

TEST(MenuFunctionsTest, return_cmd_gives_the_choice_back_and_posts_nothing) {
    RecordingMenuTracker tracker;
    tracker.ChooseId(1029);
    tracker.ChooseId(1057);  // grayed
    QueueWindow owner;
    HWND handle = owner.Attach(nullptr, 0);
    FilterMenu filter;
    const UINT flags = TPM_RETURNCMD | TPM_NONOTIFY;
    EXPECT_EQ(TrackPopupMenu(filter.menu, flags, 0, 0, 0, handle, nullptr), 1029);
    EXPECT_EQ(TrackPopupMenu(filter.menu, flags, 0, 0, 0, handle, nullptr), 0);
    owner.PumpAll();
    EXPECT_TRUE(owner.HandledMessages().empty());
    // No menu, or no owner: nothing is shown.
    EXPECT_FALSE(TrackPopupMenu(nullptr, 0, 0, 0, 0, handle, nullptr));
    EXPECT_FALSE(TrackPopupMenu(filter.menu, 0, 0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(tracker.Menus().size(), 2u);
}

}  // namespace
