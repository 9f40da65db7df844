#include "platform/ui/SystemMenu.h"

#include <string>
#include <vector>

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/InputEvents.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/platform/ui/ScriptedDialog.h"
#include "tests/support/RecordingMenuTracker.h"

namespace {

constexpr UINT IDM_ABOUTBOX = 0x0010;

void RightClick(QWidget* dialog, QPoint at) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, dialog->mapToGlobal(at));
    QApplication::sendEvent(dialog, &event);
}

// Keeps the system commands the dialog receives; `end` ends the run after one of them.
struct MenuDialog {
    MenuDialog() {
        dialog.on_message = [this](UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
            if (message != WM_SYSCOMMAND) return std::nullopt;
            commands.push_back(wparam);
            if ((wparam & 0xFFF0) == IDM_ABOUTBOX) {
                dialog.EndDialog(IDRETRY);
                return 0;
            }
            return std::nullopt;  // the framework's handling
        };
    }
    ScriptedDialog dialog;
    std::vector<WPARAM> commands;
};

TEST(WindowMenuTest, holds_the_window_commands_then_what_the_program_appends) {
    ModalWatchdog watchdog;
    RecordingMenuTracker tracker;
    tracker.ChooseEntry({"&A propos de TKV..."});
    MenuDialog test;
    test.dialog.on_init = [&] {
        HMENU menu = GetSystemMenu(test.dialog.GetSafeHwnd(), FALSE);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(GetSystemMenu(test.dialog.GetSafeHwnd(), FALSE), menu);
        EXPECT_TRUE(AppendMenuA(menu, MF_SEPARATOR, 0, nullptr));
        EXPECT_TRUE(AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, "&A propos de TKV..."));
        EXPECT_EQ(GetSystemMenu(test.dialog.GetDlgItem(kNameEdit), FALSE), nullptr);
    };
    // Pressed on a push button, which would take a plain space as a click.
    WhenModal([](QWidget* modal) {
        SendKey(modal->findChild<QPushButton*>(), Qt::Key_Space, QEvent::KeyPress, Qt::AltModifier);
    });
    EXPECT_EQ(test.dialog.DoModal(), IDRETRY);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(test.commands, (std::vector<WPARAM>{SC_KEYMENU, IDM_ABOUTBOX}));
    const auto menus = tracker.Menus();
    ASSERT_EQ(menus.size(), 1u);
    const MenuEntries& entries = menus[0].entries;
    EXPECT_EQ(RecordingMenuTracker::Texts(entries),
              (std::vector<std::string>{"&Restore", "&Move", "&Size", "Mi&nimize", "Ma&ximize", "-",
                                        "&Close\tAlt+F4", "-", "&A propos de TKV..."}));
    const std::vector<UINT> ids = {SC_RESTORE, SC_MOVE,  SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE,
                                   0,          SC_CLOSE, 0,       IDM_ABOUTBOX};
    std::vector<std::string> enabled;
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].id, ids[i]) << i;
        if (!entries[i].IsSeparator() && entries[i].IsEnabled()) enabled.push_back(entries[i].text);
    }
    // A fixed-size dialog without minimise or maximise boxes, shown normally.
    EXPECT_EQ(enabled,
              (std::vector<std::string>{"&Move", "&Close\tAlt+F4", "&A propos de TKV..."}));
}

TEST(WindowMenuTest, close_from_the_menu_or_the_close_box_goes_through_sc_close_to_cancel) {
    for (const bool from_menu : {true, false}) {
        ModalWatchdog watchdog;
        RecordingMenuTracker tracker;
        tracker.ChooseId(SC_CLOSE);
        MenuDialog test;
        WhenModal([from_menu](QWidget* modal) {
            if (from_menu) {
                SendKey(modal, Qt::Key_Space, QEvent::KeyPress, Qt::AltModifier);
            } else {
                modal->close();
            }
        });
        EXPECT_EQ(test.dialog.DoModal(), IDCANCEL);
        EXPECT_FALSE(watchdog.Fired());
        ASSERT_FALSE(test.commands.empty());
        EXPECT_EQ(test.commands.back(), SC_CLOSE);
        ASSERT_FALSE(test.dialog.commands.empty());
        EXPECT_EQ(test.dialog.commands.back(), MAKEWPARAM(IDCANCEL, BN_CLICKED));
    }
}

TEST(WindowMenuTest, a_right_click_on_the_background_opens_it_and_one_on_a_control_does_not) {
    ModalWatchdog watchdog;
    RecordingMenuTracker tracker;
    tracker.ChooseNothing();
    tracker.ChooseId(SC_MINIMIZE);  // grayed for this dialog: not a choice
    ScriptedDialog dialog;
    std::vector<UINT> messages;
    dialog.on_message = [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CONTEXTMENU || message == WM_SYSCOMMAND) messages.push_back(message);
        return std::nullopt;
    };
    WhenModal([&](QWidget* modal) {
        QWidget* ok = WidgetOf(dialog.GetDlgItem(IDOK));
        QWidget* label = WidgetOf(dialog.GetDlgItem(kLabel));
        if (ok && label) {
            RightClick(modal, ok->geometry().center());        // a control
            RightClick(modal, QPoint(modal->width() - 3, 3));  // the background
            RightClick(modal, label->geometry().center());     // a text on the background
        }
        dialog.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(messages, (std::vector<UINT>{WM_CONTEXTMENU, WM_CONTEXTMENU}));
    EXPECT_EQ(tracker.Menus().size(), 2u);
}

TEST(WindowMenuTest, revert_puts_back_the_usual_entries) {
    ScriptedDialog dialog;
    dialog.on_init = [&] {
        HWND self = dialog.GetSafeHwnd();
        HMENU menu = GetSystemMenu(self, FALSE);
        AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, "&A propos de TKV...");
        EXPECT_EQ(GetMenuItemCount(menu), 8);
        EXPECT_EQ(GetSystemMenu(self, TRUE), nullptr);
        EXPECT_FALSE(IsMenu(menu));
        EXPECT_EQ(GetMenuItemCount(GetSystemMenu(self, FALSE)), 7);
        dialog.EndDialog(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(QtMenuTrackerTest, shows_real_menu_actions_and_answers_the_one_the_user_takes) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog;  // no tracker installed: the framework's own shows the menu
    QStringList shown;
    std::vector<bool> enabled;
    QString submenu;
    std::vector<WPARAM> commands;
    dialog.on_message = [&](UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_COMMAND && LOWORD(wparam) >= 1000) {
            commands.push_back(wparam);
            dialog.EndDialog(IDOK);
            return 0;
        }
        return std::nullopt;
    };
    WhenModal([&](QWidget*) {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [&, poll] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            poll->stop();
            poll->deleteLater();
            QAction* remove = nullptr;
            for (QAction* action : menu->actions()) {
                shown << (action->isSeparator() ? QStringLiteral("-") : action->text());
                enabled.push_back(action->isEnabled());
                if (action->menu()) submenu = action->menu()->actions().value(0)->text();
                if (action->text() == "Remove") remove = action;
            }
            menu->setActiveAction(remove);
            SendKey(menu, Qt::Key_Return);
        });
        poll->start(1);
        HMENU connect = CreatePopupMenu();
        AppendMenuA(connect, MF_STRING, 1056, "Wave Parser In");
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING | MF_GRAYED, 1030, "Disconnect Out");
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(connect), "Connect Audio to ...");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, 1028, "Remove");
        TrackPopupMenu(menu, TPM_CENTERALIGN | TPM_RIGHTBUTTON, 50, 50, 0, dialog.GetSafeHwnd(),
                       nullptr);
        DestroyMenu(menu);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(shown, (QStringList{"Disconnect Out", "Connect Audio to ...", "-", "Remove"}));
    EXPECT_EQ(enabled, (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(submenu, "Wave Parser In");
    EXPECT_EQ(commands, std::vector<WPARAM>{MAKEWPARAM(1028, 0)});
}

}  // namespace
