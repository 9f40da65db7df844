#include "app/MainWindow.h"

#include <functional>
#include <string>

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/AppResources.h"
#include "platform/registry/winreg.h"
#include "platform/ui/MenuFunctions.h"
#include "platform/ui/SystemMenu.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/InputEvents.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/platform/ui/ScriptedDialog.h"
#include "tests/support/RecordingUserPrompt.h"

namespace {

const char* const kTitle = "Tarvik Time Stretcher v1.0";

bool SourceFilterRegistered() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID\\{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}", 0,
                      KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool ModalTitled(const char* title) {
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal->windowTitle() == title;
}

// Runs the main window; `action` gets it once it is up, past the catalogue's loading dialog.
int RunMainWindow(MainWindow& window, std::function<void(QWidget*)> action) {
    WhenModal(std::move(action), [] { return ModalTitled(kTitle); });
    return window.DoModal();
}

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(RegisterAppResources()); }
    RecordingUserPrompt prompt;
    ModalWatchdog watchdog{30000};
};

TEST_F(MainWindowTest, source_filter_is_registered_only_while_the_window_lives) {
    struct Case {
        const char* how;
        std::function<void(MainWindow&, QWidget*)> close;
        int result;
    };
    const Case cases[] = {
        {"Exit",
         [](MainWindow& w, QWidget*) {
             SendDlgItemMessageA(w.GetSafeHwnd(), IDOK, BM_CLICK, 0, 0);
         },
         IDOK},
        {"Escape", [](MainWindow&, QWidget* widget) { TapKey(widget, Qt::Key_Escape); }, IDCANCEL},
        {"close box", [](MainWindow&, QWidget* widget) { widget->close(); }, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        MainWindow window;
        bool registered_while_open = false;
        const int result = RunMainWindow(window, [&](QWidget* widget) {
            registered_while_open = SourceFilterRegistered();
            c.close(window, widget);
        });
        EXPECT_EQ(result, c.result);
        EXPECT_TRUE(registered_while_open);
        EXPECT_FALSE(SourceFilterRegistered());
    }
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(MainWindowTest, every_control_of_the_layout_is_shown_with_its_text) {
    MainWindow window;
    RunMainWindow(window, [&](QWidget* widget) {
        EXPECT_EQ(widget->windowTitle().toStdString(), kTitle);
        for (const ControlTemplate& control : MainWindow::Resource().controls) {
            if (control.id == IDC_STATIC) continue;
            SCOPED_TRACE(control.id);
            HWND item = GetDlgItem(window.GetSafeHwnd(), control.id);
            QWidget* control_widget = WidgetOf(item);
            ASSERT_NE(control_widget, nullptr);
            EXPECT_TRUE(control_widget->isVisible());
            if (control.kind == ControlKind::PushButton) {
                EXPECT_EQ(GetWindowTextString(item), control.text);
            }
        }
        int labels = 0;
        for (const char* text : {"Video :", "DirectShow Graph :", "Stretching Events :",
                                 "Initial Offset :", "(ex. 1.52 seconds)"}) {
            for (QLabel* label : widget->findChildren<QLabel*>()) {
                if (label->text() == text && label->isVisible()) ++labels;
            }
        }
        EXPECT_EQ(labels, 5);
        window.EndDialog(IDCANCEL);
    });
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(MainWindowTest, window_menu_ends_with_the_about_entry_which_opens_the_about_box) {
    MainWindow window;
    std::string about_text;
    RunMainWindow(window, [&](QWidget*) {
        HMENU menu = GetSystemMenu(window.GetSafeHwnd(), FALSE);
        const int count = GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        EXPECT_NE(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, 0U);
        EXPECT_EQ(GetMenuItemID(menu, count - 1), MainWindow::IDM_ABOUTBOX);
        char text[64] = {};
        GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "&A propos de TKV...");

        WhenModal(
            [&](QWidget* about) {
                for (QLabel* label : about->findChildren<QLabel*>()) {
                    if (!label->text().isEmpty()) about_text = label->text().toStdString();
                }
                TapKey(about, Qt::Key_Return);
            },
            [] { return ModalTitled("A propos de TKV"); });
        PostMessageA(window.GetSafeHwnd(), WM_SYSCOMMAND, MainWindow::IDM_ABOUTBOX, 0);
        WhenModal([&](QWidget*) { window.EndDialog(IDCANCEL); },
                  [&] { return !about_text.empty() && ModalTitled(kTitle); });
    });
    EXPECT_EQ(about_text, "TKV version 1.0");
    EXPECT_FALSE(watchdog.Fired());
}

}  // namespace
