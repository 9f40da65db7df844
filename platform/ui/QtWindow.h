// A window backed by a Qt widget: queues work to the widget's thread through Qt's event loop,
// keeps the window text, enabling, focus and window timers (WM_TIMER). Base of the dialog
// frame and of every control.
// Order of use: construct over a widget, Attach, use, destroy (detaches first) before the
// widget is deleted; if the widget goes first the window detaches itself then.
// Threading: the widget's thread (the user-interface thread), except PostToOwnThread.
#pragma once

#include <map>
#include <memory>
#include <string>

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "platform/ui/WindowObject.h"

class QtWindow : public WindowObject {
public:
    explicit QtWindow(QWidget* widget);
    ~QtWindow() override;

    // The window behind `window` when the caller is on its thread, else null.
    static QtWindow* FromHandle(HWND window);
    QWidget* Widget() const { return m_widget.data(); }

    // Text (WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH); everything else is ignored (0).
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    bool PostToOwnThread(std::function<void()> task) override;
    bool StartTimer(UINT_PTR id, UINT milliseconds) override;
    bool StopTimer(UINT_PTR id) override;
    bool Enable(bool enable) override;
    bool IsEnabled() const override;
    bool Focus() override;
    bool ClientRect(RECT* rect) const override;

protected:
    // The window text; by default the widget's title (kept, not shown, for a child widget).
    virtual std::string Text() const;
    virtual void SetText(const std::string& text);

private:
    LRESULT CopyText(WPARAM max_count, LPARAM buffer) const;

    QPointer<QWidget> m_widget;
    QObject* const m_receiver;  // the widget, for queuing from other threads while attached
    QMetaObject::Connection m_widget_destroyed;
    std::map<UINT_PTR, std::unique_ptr<QTimer>> m_timers;
};
