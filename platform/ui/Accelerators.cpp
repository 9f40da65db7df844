#include "platform/ui/Accelerators.h"

#include <vector>

#include <QAbstractSlider>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

#include "platform/ui/QtWindow.h"
#include "platform/ui/VirtualKeys.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"

struct HACCEL__ {
    std::vector<ACCEL> entries;
};

namespace {

BYTE ModifiersOf(Qt::KeyboardModifiers modifiers) {
    BYTE flags = 0;
    if (modifiers & Qt::ShiftModifier) flags |= FSHIFT;
    if (modifiers & Qt::ControlModifier) flags |= FCONTROL;
    if (modifiers & Qt::AltModifier) flags |= FALT;
    return flags;
}

bool ControlKeepsKey(const QWidget* control, int key, BYTE modifiers) {
    if (const auto* line = qobject_cast<const QLineEdit*>(control)) {
        return !line->isReadOnly() && (modifiers & (FCONTROL | FALT)) == 0;
    }
    if (qobject_cast<const QAbstractSlider*>(control) && modifiers == 0) {
        switch (key) {
            case Qt::Key_Left:
            case Qt::Key_Right:
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
            case Qt::Key_Home:
            case Qt::Key_End:
                return true;
            default:
                return false;
        }
    }
    return false;
}

const ACCEL* FindEntry(HACCEL table, UINT virtual_key, BYTE modifiers) {
    if (!table) return nullptr;
    const BYTE wanted = modifiers & (FSHIFT | FCONTROL | FALT);
    for (const ACCEL& entry : table->entries) {
        if ((entry.fVirt & FVIRTKEY) && entry.key == virtual_key &&
            (entry.fVirt & (FSHIFT | FCONTROL | FALT)) == wanted) {
            return &entry;
        }
    }
    return nullptr;
}

// Watches the application's key presses for one dialog; a child of the dialog's widget, so it
// goes with the window.
class AcceleratorFilter : public QObject {
public:
    AcceleratorFilter(QWidget* dialog, HWND handle, HACCEL table)
        : QObject(dialog), m_dialog(dialog), m_handle(handle), m_table(table) {
        setObjectName(kName);
        QApplication::instance()->installEventFilter(this);
    }
    // Found by name: the class has no meta-object of its own to be cast to.
    static constexpr const char* kName = "tkv-accelerators";
    void SetTable(HACCEL table) { m_table = table; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyRelease) m_kept = nullptr;  // that key is done
        if (event->type() != QEvent::KeyPress || !m_table || !m_dialog) return false;
        auto* control = qobject_cast<QWidget*>(watched);
        // Only keys meant for this window: not those of a box it has opened over itself.
        if (!control || control->window() != m_dialog) return false;
        const auto* key = static_cast<const QKeyEvent*>(event);
        const UINT virtual_key = VirtualKeyFromQt(key->key());
        const BYTE modifiers = ModifiersOf(key->modifiers());
        // A key the control kept and ignored goes on to its parents: it stays the control's.
        if (event == m_kept && m_kept_by && m_kept_by != control &&
            control->isAncestorOf(m_kept_by)) {
            return false;
        }
        m_kept = nullptr;
        if (virtual_key == 0) return false;
        if (ControlKeepsKey(control, key->key(), modifiers)) {
            m_kept = event;
            m_kept_by = control;
            return false;
        }
        const ACCEL* entry = FindEntry(m_table, virtual_key, modifiers);
        if (!entry) return false;
        if (!(key->isAutoRepeat() && (entry->fVirt & FNOREPEAT))) {
            SendMessageA(m_handle, WM_COMMAND, MAKEWPARAM(entry->cmd, 1), 0);
        }
        return true;
    }

private:
    QPointer<QWidget> m_dialog;
    HWND m_handle;
    HACCEL m_table;
    const QEvent* m_kept = nullptr;
    QPointer<QWidget> m_kept_by;
};

}  // namespace

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count) {
    if (!entries || count <= 0) return nullptr;
    return new HACCEL__{std::vector<ACCEL>(entries, entries + count)};
}

BOOL DestroyAcceleratorTable(HACCEL table) {
    if (!table) return FALSE;
    delete table;
    return TRUE;
}

WORD FindAccelerator(HACCEL table, UINT virtual_key, BYTE modifiers) {
    const ACCEL* entry = FindEntry(table, virtual_key, modifiers);
    return entry ? entry->cmd : 0;
}

BOOL SetDialogAccelerators(HWND dialog, HACCEL table) {
    QtWindow* window = QtWindow::FromHandle(dialog);
    QWidget* widget = window ? window->Widget() : nullptr;
    if (!widget) return FALSE;
    if (QObject* found =
            widget->findChild<QObject*>(AcceleratorFilter::kName, Qt::FindDirectChildrenOnly)) {
        static_cast<AcceleratorFilter*>(found)->SetTable(table);
        return TRUE;
    }
    new AcceleratorFilter(widget, dialog, table);
    return TRUE;
}
