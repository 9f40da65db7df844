// Drives modal dialogs in ui tests without blocking: actions run from the event loop once a
// modal dialog is up, and a watchdog closes any menu or modal dialog left open too long, so
// that no test can hang (a test checks that the watchdog did not have to fire).
#pragma once

#include <functional>
#include <memory>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

// Runs `action` with the active modal widget as soon as there is one (and `ready`, if given,
// holds), from the event loop.
inline void WhenModal(std::function<void(QWidget*)> action, std::function<bool()> ready = nullptr) {
    auto* poll = new QTimer;
    poll->setInterval(1);
    QObject::connect(poll, &QTimer::timeout,
                     [poll, action = std::move(action), ready = std::move(ready)] {
                         QWidget* modal = QApplication::activeModalWidget();
                         if (!modal || (ready && !ready())) return;
                         poll->stop();
                         poll->deleteLater();
                         action(modal);
                     });
    poll->start();
}

class ModalWatchdog {
public:
    explicit ModalWatchdog(int milliseconds = 10000) {
        m_timer.setInterval(milliseconds);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_fired = true;
            // Closes an open menu, else ends the innermost modal dialog; the next one goes at
            // the next tick.
            if (QWidget* popup = QApplication::activePopupWidget()) {
                popup->close();
            } else if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialog->done(-99);
            }
            m_timer.setInterval(10);
        });
        m_timer.start();
    }
    bool Fired() const { return m_fired; }

private:
    QTimer m_timer;
    bool m_fired = false;
};
