#include "platform/ui/GuiThread.h"

#include <QApplication>
#include <QMetaObject>
#include <QThread>

bool RunOnGuiThread(const std::function<void()>& work) {
    // Widgets need a QApplication; a bare QCoreApplication (a command-line tool) has none.
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!application) return false;
    if (application->thread() == QThread::currentThread()) {
        work();
        return true;
    }
    return QMetaObject::invokeMethod(
        application, [&work] { work(); }, Qt::BlockingQueuedConnection);
}
