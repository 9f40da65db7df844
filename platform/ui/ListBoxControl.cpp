#include "platform/ui/ListBoxControl.h"

#include <cstring>

#include "platform/ui/QtText.h"
#include "platform/ui/WindowMessages.h"

ListBoxControl::ListBoxControl(const ControlTemplate& control, QWidget* parent)
    : ControlWindow(new QListWidget(parent), control) {
    QListWidget* list = List();
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    if ((control.style & LBS_NOTIFY) == 0) return;
    // On the selection, not the current row: a mouse press moves the current row before it
    // selects, and the dialog asks LB_GETCURSEL as soon as it is told.
    QObject::connect(list, &QListWidget::itemSelectionChanged, [this] {
        if (!m_quiet) NotifyParent(LBN_SELCHANGE);
    });
    QObject::connect(list, &QListWidget::itemDoubleClicked, [this] { NotifyParent(LBN_DBLCLK); });
}

LRESULT ListBoxControl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    QListWidget* list = List();
    if (!list) return LB_ERR;
    switch (message) {
        case LB_ADDSTRING:
            return Insert(
                *list,
                Style() & LBS_SORT ? SortedPosition(*list, ParamText(lparam)) : list->count(),
                lparam);
        case LB_INSERTSTRING: {
            const auto index = static_cast<intptr_t>(wparam);
            if (index < -1 || index > list->count()) return LB_ERR;
            return Insert(*list, index == -1 ? list->count() : static_cast<int>(index), lparam);
        }
        case LB_DELETESTRING:
            return Delete(*list, wparam);
        case LB_RESETCONTENT: {
            Quiet quiet(m_quiet);
            list->clear();
            return 0;
        }
        case LB_SETCURSEL:
            return Select(*list, wparam);
        case LB_GETCURSEL:
            return list->selectedItems().isEmpty() ? LB_ERR : list->currentRow();
        case LB_GETTEXT:
            return CopyItemText(*list, wparam, lparam);
        case LB_GETTEXTLEN:
            return Valid(*list, wparam) ? static_cast<LRESULT>(ItemText(*list, wparam).size())
                                        : LB_ERR;
        case LB_GETCOUNT:
            return list->count();
        case LB_SETITEMDATA:
            if (!Valid(*list, wparam)) return LB_ERR;
            list->item(static_cast<int>(wparam))->setData(Qt::UserRole, qlonglong{lparam});
            return 0;
        case LB_GETITEMDATA:
            if (!Valid(*list, wparam)) return LB_ERR;
            return static_cast<LRESULT>(
                list->item(static_cast<int>(wparam))->data(Qt::UserRole).toLongLong());
        case LB_FINDSTRINGEXACT:
            return FindExact(*list, wparam, lparam);
        default:
            return ControlWindow::WindowProc(message, wparam, lparam);
    }
}

bool ListBoxControl::Valid(const QListWidget& list, WPARAM index) {
    return index < static_cast<WPARAM>(list.count());
}

std::string ListBoxControl::ItemText(const QListWidget& list, WPARAM index) {
    return FromQString(list.item(static_cast<int>(index))->text());
}

int ListBoxControl::SortedPosition(const QListWidget& list, const QString& text) {
    // After the equal ones, so strings added in order keep it.
    int low = 0;
    int high = list.count();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (QString::compare(list.item(middle)->text(), text, Qt::CaseInsensitive) <= 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

LRESULT ListBoxControl::Insert(QListWidget& list, int index, LPARAM text) {
    Quiet quiet(m_quiet);
    auto* item = new QListWidgetItem(ParamText(text));
    item->setData(Qt::UserRole, qlonglong{0});
    list.insertItem(index, item);
    return index;
}

LRESULT ListBoxControl::Delete(QListWidget& list, WPARAM index) {
    if (!Valid(list, index)) return LB_ERR;
    Quiet quiet(m_quiet);
    delete list.takeItem(static_cast<int>(index));
    return list.count();
}

LRESULT ListBoxControl::Select(QListWidget& list, WPARAM index) {
    Quiet quiet(m_quiet);
    if (!Valid(list, index)) {
        list.setCurrentRow(-1);
        list.clearSelection();
        return LB_ERR;  // also for -1, which only clears, as on Windows
    }
    list.setCurrentRow(static_cast<int>(index));
    return static_cast<LRESULT>(index);
}

LRESULT ListBoxControl::CopyItemText(const QListWidget& list, WPARAM index, LPARAM buffer) {
    if (!Valid(list, index) || !buffer) return LB_ERR;
    // The caller's buffer holds LB_GETTEXTLEN + 1 bytes, as on Windows.
    const std::string text = ItemText(list, index);
    std::memcpy(reinterpret_cast<char*>(buffer), text.c_str(), text.size() + 1);
    return static_cast<LRESULT>(text.size());
}

LRESULT ListBoxControl::FindExact(const QListWidget& list, WPARAM start, LPARAM text) {
    const int count = list.count();
    if (count == 0) return LB_ERR;
    const QString wanted = ParamText(text);
    // The search begins after `start` (-1: at the top) and wraps round once.
    const int first = Valid(list, start) ? static_cast<int>(start) + 1 : 0;
    for (int step = 0; step < count; ++step) {
        const int row = (first + step) % count;
        if (QString::compare(list.item(row)->text(), wanted, Qt::CaseInsensitive) == 0) {
            return row;
        }
    }
    return LB_ERR;
}
