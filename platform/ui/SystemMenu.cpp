#include "platform/ui/SystemMenu.h"

#include <QWindow>

#include "platform/ui/DialogWindow.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/WindowStyles.h"

HMENU GetSystemMenu(HWND window, BOOL revert) {
    auto* dialog = dynamic_cast<DialogWindow*>(QtWindow::FromHandle(window));
    return dialog ? dialog->System().Get(revert != FALSE) : nullptr;
}

SystemMenu::~SystemMenu() {
    if (m_menu) DestroyMenu(m_menu);
}

HMENU SystemMenu::Get(bool revert) {
    if (revert) {
        if (m_menu) DestroyMenu(m_menu);
        m_menu = nullptr;
        Build();
        return nullptr;
    }
    if (!m_menu) Build();
    return m_menu;
}

void SystemMenu::Build() {
    m_menu = CreatePopupMenu();
    AppendMenuA(m_menu, MF_STRING, SC_RESTORE, "&Restore");
    AppendMenuA(m_menu, MF_STRING, SC_MOVE, "&Move");
    AppendMenuA(m_menu, MF_STRING, SC_SIZE, "&Size");
    AppendMenuA(m_menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenuA(m_menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
    AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m_menu, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
}

void SystemMenu::Gray(UINT command, bool grayed) {
    EnableMenuItem(m_menu, command, MF_BYCOMMAND | (grayed ? MF_GRAYED : MF_ENABLED));
}

void SystemMenu::UpdateStates(const QWidget& widget) {
    const DWORD style = static_cast<DWORD>(GetWindowLongA(m_window, GWL_STYLE));
    const bool minimized = widget.isMinimized();
    const bool maximized = widget.isMaximized();
    const bool sizable = (style & WS_THICKFRAME) != 0;
    Gray(SC_RESTORE, !minimized && !maximized);
    Gray(SC_MOVE, maximized);
    Gray(SC_SIZE, !sizable || maximized);
    Gray(SC_MINIMIZE, !(style & WS_MINIMIZEBOX) || minimized);
    Gray(SC_MAXIMIZE, !(style & WS_MAXIMIZEBOX) || !sizable || maximized);
}

void SystemMenu::Show(QWidget& widget, const QPoint& at) {
    HMENU menu = Get(false);
    UpdateStates(widget);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x(),
                       at.y(), 0, m_window, nullptr));
    if (chosen != 0) {
        PostMessageA(m_window, WM_SYSCOMMAND, chosen,
                     MAKELPARAM(static_cast<WORD>(at.x()), static_cast<WORD>(at.y())));
    }
}

void SystemMenu::Perform(QWidget& widget, WPARAM command) {
    QWindow* window = widget.windowHandle();
    switch (command & 0xFFF0) {
        case SC_CLOSE:
            SendMessageA(m_window, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            widget.showMinimized();
            break;
        case SC_MAXIMIZE:
            widget.showMaximized();
            break;
        case SC_RESTORE:
            widget.showNormal();
            break;
        case SC_MOVE:
            if (window) window->startSystemMove();
            break;
        case SC_SIZE:
            if (window) window->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
            break;
        case SC_KEYMENU:
            Show(widget, widget.mapToGlobal(QPoint(0, 0)));
            break;
        default:
            break;
    }
}
