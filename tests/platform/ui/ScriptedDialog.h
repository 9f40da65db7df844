// A dialog for ui tests: the test fills in its initialisation, message handling and data
// exchange; it records the WM_COMMAND parameters it receives. Its template has one control of
// every kind.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/ui/DataExchange.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QtWindow.h"
#include "platform/ui/WindowMessages.h"

constexpr int kLabel = 100;
constexpr int kNameEdit = 101;
constexpr int kCountEdit = 102;
constexpr int kRatioEdit = 103;
constexpr int kLoopCheck = 104;
constexpr int kList = 105;
constexpr int kBar = 106;

// The widget behind a window of this thread, or null.
inline QWidget* WidgetOf(HWND window) {
    QtWindow* qt_window = QtWindow::FromHandle(window);
    return qt_window ? qt_window->Widget() : nullptr;
}

inline DialogTemplate TestTemplate() {
    DialogTemplate t;
    t.resource_id = 900;
    t.caption = "Test Dialog";
    t.cx = 200;
    t.cy = 120;
    t.controls = {
        {kLabel, ControlKind::Static, "&Name:", 7, 7, 50, 10, SS_LEFT},
        {kNameEdit, ControlKind::Edit, "", 60, 7, 100, 12, WS_BORDER | ES_AUTOHSCROLL},
        {kCountEdit, ControlKind::Edit, "", 60, 22, 40, 12, WS_BORDER},
        {kRatioEdit, ControlKind::Edit, "", 60, 37, 40, 12, WS_BORDER},
        {kLoopCheck, ControlKind::CheckBox, "Loop", 7, 52, 50, 10, WS_TABSTOP},
        {kList, ControlKind::ListBox, "", 7, 65, 100, 30, LBS_STANDARD},
        {kBar, ControlKind::ProgressBar, "", 110, 65, 80, 9, WS_BORDER},
        {IDOK, ControlKind::PushButton, "OK", 143, 100, 50, 14, BS_DEFPUSHBUTTON},
        {IDCANCEL, ControlKind::PushButton, "Cancel", 90, 100, 50, 14, BS_PUSHBUTTON},
    };
    return t;
}

class ScriptedDialog : public Dialog {
public:
    explicit ScriptedDialog(DialogTemplate dialog_template = TestTemplate())
        : Dialog(std::move(dialog_template)) {}

    std::function<void()> on_init;
    // Answers a message itself, or leaves it to the dialog (nothing).
    std::function<std::optional<LRESULT>(UINT, WPARAM, LPARAM)> on_message;
    std::function<void(DataExchange*)> exchange;
    std::vector<WPARAM> commands;

protected:
    BOOL OnInitDialog() override {
        Dialog::OnInitDialog();
        if (on_init) on_init();
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message == WM_COMMAND) commands.push_back(wparam);
        if (on_message) {
            if (const auto answer = on_message(message, wparam, lparam)) return *answer;
        }
        return Dialog::WindowProc(message, wparam, lparam);
    }
    void DoDataExchange(DataExchange* exchange_data) override {
        if (exchange) exchange(exchange_data);
    }
};
