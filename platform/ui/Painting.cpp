#include "platform/ui/Painting.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include "platform/ui/DeviceContext.h"
#include "platform/ui/QtWindow.h"
#include "platform/ui/ResourceTable.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"

namespace {

constexpr int kIconSize = 32;
constexpr int kSmallIconSize = 16;

QWidget* WidgetOf(HWND window) {
    QtWindow* qt_window = QtWindow::FromHandle(window);
    return qt_window ? qt_window->Widget() : nullptr;
}

}  // namespace

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    DeviceContext* context = DeviceContext::Painting(window);
    if (!context || !paint) return nullptr;
    *paint = PAINTSTRUCT{};
    paint->hdc = context->Handle();
    const QRect bounds = context->Clip().boundingRect();
    paint->rcPaint = {bounds.left(), bounds.top(), bounds.right() + 1, bounds.bottom() + 1};
    context->begun = true;
    if (context->erase_pending) {
        context->erase_pending = false;
        const LRESULT erased =
            SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(context->Handle()), 0);
        paint->fErase = erased ? FALSE : TRUE;
    }
    return context->Handle();
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    return DeviceContext::Painting(window) && paint ? TRUE : FALSE;
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
    DeviceContext* context = DeviceContext::FromHandle(dc);
    if (!context) return ERROR;
    return context->Exclude(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
    DeviceContext* context = DeviceContext::FromHandle(dc);
    const QImage image = ResourceTable::Instance().Image(icon);
    if (!context || image.isNull()) return FALSE;
    context->Painter().drawImage(QRect(x, y, kIconSize, kIconSize), image);
    return TRUE;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXICON:
        case SM_CYICON:
            return kIconSize;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return kSmallIconSize;
        case SM_CXSCREEN:
        case SM_CYSCREEN: {
            const QScreen* screen = QGuiApplication::primaryScreen();
            if (!screen) return 0;
            const QSize size = screen->geometry().size();
            return index == SM_CXSCREEN ? size.width() : size.height();
        }
        default:
            return 0;
    }
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL /*erase*/) {
    QWidget* widget = WidgetOf(window);
    if (!widget) return FALSE;
    if (rect) {
        widget->update(
            QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1)));
    } else {
        widget->update();
    }
    return TRUE;
}

BOOL UpdateWindow(HWND window) {
    QWidget* widget = WidgetOf(window);
    if (!widget) return FALSE;
    widget->repaint();
    return TRUE;
}
