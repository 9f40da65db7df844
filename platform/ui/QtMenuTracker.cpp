#include "platform/ui/QtMenuTracker.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QThread>

#include "platform/ui/QtText.h"
#include "platform/ui/QtWindow.h"

QtMenuTracker& QtMenuTracker::Instance() {
    static QtMenuTracker tracker;
    return tracker;
}

void QtMenuTracker::Fill(QMenu& menu, const MenuEntries& entries) {
    for (const MenuEntry& entry : entries) {
        if (entry.IsSeparator()) {
            menu.addSeparator();
            continue;
        }
        if (entry.IsPopup()) {
            QMenu* submenu = menu.addMenu(ToQString(entry.text));
            submenu->setEnabled(entry.IsEnabled());
            Fill(*submenu, entry.submenu);
            continue;
        }
        QAction* action = menu.addAction(ToQString(entry.text));
        action->setData(entry.id);
        action->setEnabled(entry.IsEnabled());
        if (entry.flags & MF_CHECKED) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
}

UINT QtMenuTracker::Track(const MenuEntries& entries, UINT flags, POINT at, HWND owner) {
    // Menus are widgets: only the application's own thread may show them.
    const auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!application || application->thread() != QThread::currentThread()) return 0;
    QtWindow* window = QtWindow::FromHandle(owner);
    QMenu menu(window && window->Widget() ? window->Widget()->window() : nullptr);
    Fill(menu, entries);
    const QSize size = menu.sizeHint();
    QPoint point(at.x, at.y);
    if (flags & TPM_CENTERALIGN) point.rx() -= size.width() / 2;
    if (flags & TPM_RIGHTALIGN) point.rx() -= size.width();
    if (flags & TPM_VCENTERALIGN) point.ry() -= size.height() / 2;
    if (flags & TPM_BOTTOMALIGN) point.ry() -= size.height();
    const QAction* chosen = menu.exec(point);
    return chosen ? chosen->data().toUInt() : 0;
}
