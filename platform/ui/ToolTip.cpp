#include "platform/ui/ToolTip.h"

#include "platform/ui/QtText.h"
#include "platform/ui/QtWindow.h"

BOOL SetToolTipTextA(HWND control, const char* text) {
    QtWindow* window = QtWindow::FromHandle(control);
    QWidget* widget = window ? window->Widget() : nullptr;
    if (!widget) return FALSE;
    widget->setToolTip(text ? ToQString(text) : QString());
    return TRUE;
}

std::string GetToolTipText(HWND control) {
    QtWindow* window = QtWindow::FromHandle(control);
    QWidget* widget = window ? window->Widget() : nullptr;
    return widget ? FromQString(widget->toolTip()) : std::string();
}
