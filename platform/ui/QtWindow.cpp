#include "platform/ui/QtWindow.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include <QMetaObject>

#include "platform/ui/QtText.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/WindowTable.h"

QtWindow::QtWindow(QWidget* widget) : m_widget(widget), m_receiver(widget) {
    // A widget deleted under an attached window must not be queued to any more.
    m_widget_destroyed = QObject::connect(widget, &QObject::destroyed, [this] { Detach(); });
}

QtWindow::~QtWindow() {
    QObject::disconnect(m_widget_destroyed);
    Detach();
    m_timers.clear();
}

QtWindow* QtWindow::FromHandle(HWND window) {
    return dynamic_cast<QtWindow*>(WindowTable::Instance().Local(window));
}

LRESULT QtWindow::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SETTEXT:
            SetText(lparam ? reinterpret_cast<const char*>(lparam) : "");
            return TRUE;
        case WM_GETTEXT:
            return CopyText(wparam, lparam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(Text().size());
        default:
            return 0;
    }
}

LRESULT QtWindow::CopyText(WPARAM max_count, LPARAM buffer) const {
    if (max_count == 0 || buffer == 0) return 0;
    const std::string text = Text();
    const size_t count = std::min<size_t>(text.size(), max_count - 1);
    char* destination = reinterpret_cast<char*>(buffer);
    std::memcpy(destination, text.data(), count);
    destination[count] = '\0';
    return static_cast<LRESULT>(count);
}

bool QtWindow::PostToOwnThread(std::function<void()> task) {
    // Only called while attached, and the window detaches before its widget goes.
    return QMetaObject::invokeMethod(m_receiver, std::move(task), Qt::QueuedConnection);
}

bool QtWindow::StartTimer(UINT_PTR id, UINT milliseconds) {
    auto& timer = m_timers[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, [this, id] {
            if (Handle()) SendMessageA(Handle(), WM_TIMER, id, 0);
        });
    }
    timer->start(static_cast<int>(std::min<UINT>(milliseconds, 0x7FFFFFFF)));
    return true;
}

bool QtWindow::StopTimer(UINT_PTR id) {
    const auto found = m_timers.find(id);
    if (found == m_timers.end()) return false;
    // The timer may be the one whose WM_TIMER is being handled: stop now, delete later.
    found->second->stop();
    found->second.release()->deleteLater();
    m_timers.erase(found);
    return true;
}

bool QtWindow::Enable(bool enable) {
    QWidget* widget = Widget();
    if (!widget) return false;
    const bool was_disabled = !widget->isEnabled();
    widget->setEnabled(enable);
    return was_disabled;
}

bool QtWindow::IsEnabled() const {
    const QWidget* widget = Widget();
    return widget && widget->isEnabled();
}

bool QtWindow::Focus() {
    QWidget* widget = Widget();
    if (!widget) return false;
    widget->setFocus(Qt::OtherFocusReason);
    return true;
}

bool QtWindow::ClientRect(RECT* rect) const {
    const QWidget* widget = Widget();
    if (!widget || !rect) return false;
    *rect = RECT{0, 0, widget->width(), widget->height()};
    return true;
}

std::string QtWindow::Text() const {
    const QWidget* widget = Widget();
    return widget ? FromQString(widget->windowTitle()) : "";
}

void QtWindow::SetText(const std::string& text) {
    if (QWidget* widget = Widget()) widget->setWindowTitle(ToQString(text));
}
