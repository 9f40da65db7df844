// Drives the main window in tests of the events editor and the project commands: runs it with
// its event list published as the process's, and reads and works its controls the way the
// user would (buttons, slider scrolls, clicks on rows, the group's boxes).
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QTableWidget>
#include <QWidget>

#include "app/MainWindow.h"
#include "engine/StretchEvent.h"
#include "platform/ui/CommonControls.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/InputEvents.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/platform/ui/ScriptedDialog.h"

namespace window_driver {

inline bool ModalTitled(const char* title) {
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal->windowTitle() == title;
}

inline bool MainWindowOnTop() {
    return ModalTitled("Tarvik Time Stretcher v1.0");
}

// Runs `window` with its list as the one streams read; `action` runs once it is up, past the
// catalogue's loading dialog, and must end it.
inline int RunWindow(MainWindow& window, std::function<void()> action) {
    StretchEvent** before = CurrentEventList();
    SetCurrentEventList(&window.m_events);
    WhenModal([action = std::move(action)](QWidget*) { action(); }, MainWindowOnTop);
    const int result = window.DoModal();
    SetCurrentEventList(before);
    return result;
}

// Runs the event loop until `done` holds; false when `ms` passed first.
inline bool SpinUntil(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

struct Row {
    std::string movie;
    std::string audio;
    std::string stretch;
    int image;
    bool operator==(const Row&) const = default;
};

inline std::vector<Row> Rows(HWND window) {
    HWND list = GetDlgItem(window, MainWindow::IDC_EVENTS);
    std::vector<Row> rows;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::string texts[3];
        for (int column = 0; column < 3; ++column) {
            char text[256] = {};
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&item));
            texts[column] = text;
        }
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        rows.push_back({texts[0], texts[1], texts[2], item.iImage});
    }
    return rows;
}

// A key pressed and released on the control, as from the keyboard.
inline void Key(HWND target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    SendKey(WidgetOf(target), key, QEvent::KeyPress, modifiers);
    SendKey(WidgetOf(target), key, QEvent::KeyRelease, modifiers);
}

inline void Press(HWND window, int id) {
    SendDlgItemMessageA(window, id, BM_CLICK, 0, 0);
}

// The thumb moved to `position`, reported as the slider reports a drag.
inline void Scroll(HWND window, int id, int position) {
    HWND slider = GetDlgItem(window, id);
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    SendMessageA(window, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, static_cast<WORD>(position)),
                 reinterpret_cast<LPARAM>(slider));
}

inline int SliderPos(HWND window, int id) {
    return static_cast<int>(SendDlgItemMessageA(window, id, TBM_GETPOS, 0, 0));
}

inline std::string Text(HWND window, int id) {
    return GetWindowTextString(GetDlgItem(window, id));
}

// What the "Current Stretching Event" group shows: both boxes and both sliders.
struct Group {
    std::string position;
    std::string stretch;
    int position_slider;
    int stretch_slider;
    bool operator==(const Group&) const = default;
};

inline Group CurrentGroup(HWND window) {
    return {Text(window, MainWindow::IDC_EVENT_POSITION),
            Text(window, MainWindow::IDC_EVENT_STRETCH),
            SliderPos(window, MainWindow::IDC_EVENT_POSITION_SLIDER),
            SliderPos(window, MainWindow::IDC_EVENT_STRETCH_SLIDER)};
}

inline void ClickRow(HWND window, int row) {
    auto* table = static_cast<QTableWidget*>(WidgetOf(GetDlgItem(window, MainWindow::IDC_EVENTS)));
    const QPoint at = table->visualRect(table->model()->index(row, 0)).center();
    Click(table->viewport(), at);
}

}  // namespace window_driver
