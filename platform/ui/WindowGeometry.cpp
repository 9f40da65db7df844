#include "platform/ui/WindowGeometry.h"

#include <QCursor>
#include <QWidget>

#include "platform/ui/QtWindow.h"
#include "platform/ui/WindowMessages.h"

namespace {

QWidget* WidgetOf(HWND window) {
    QtWindow* qt_window = QtWindow::FromHandle(window);
    return qt_window ? qt_window->Widget() : nullptr;
}

RECT ToRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

}  // namespace

BOOL GetWindowRect(HWND window, RECT* rect) {
    const QWidget* widget = WidgetOf(window);
    if (!widget || !rect) return FALSE;
    if (widget->isWindow()) {
        *rect = ToRect(widget->frameGeometry());
    } else {
        *rect = ToRect(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
    }
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    const QWidget* widget = WidgetOf(window);
    if (!widget || !point) return FALSE;
    const QPoint mapped = widget->mapFromGlobal(QPoint(point->x, point->y));
    *point = {mapped.x(), mapped.y()};
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
    const QWidget* widget = WidgetOf(window);
    if (!widget || !point) return FALSE;
    const QPoint mapped = widget->mapToGlobal(QPoint(point->x, point->y));
    *point = {mapped.x(), mapped.y()};
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    const QWidget* source = from ? WidgetOf(from) : nullptr;
    const QWidget* target = to ? WidgetOf(to) : nullptr;
    if ((from && !source) || (to && !target) || (!points && count > 0)) return 0;
    const QPoint origin = source ? source->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
    const QPoint destination = target ? target->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
    const QPoint shift = origin - destination;
    for (UINT i = 0; i < count; ++i) {
        points[i].x += shift.x();
        points[i].y += shift.y();
    }
    return static_cast<int>(MAKELONG(static_cast<WORD>(shift.x()), static_cast<WORD>(shift.y())));
}

BOOL IsIconic(HWND window) {
    const QWidget* widget = WidgetOf(window);
    return widget && widget->window()->isMinimized() ? TRUE : FALSE;
}

BOOL IsZoomed(HWND window) {
    const QWidget* widget = WidgetOf(window);
    return widget && widget->window()->isMaximized() ? TRUE : FALSE;
}

BOOL GetCursorPos(POINT* point) {
    if (!point) return FALSE;
    const QPoint position = QCursor::pos();
    *point = {position.x(), position.y()};
    return TRUE;
}
