#include "platform/ui/ComboBoxControl.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include <QAbstractItemView>
#include <QLineEdit>

#include "platform/ui/QtText.h"
#include "platform/ui/WindowMessages.h"

namespace {

// A combo box that tells when its list opens and closes.
class DroppingComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void(bool)> on_drop;
    void showPopup() override {
        if (on_drop) on_drop(true);
        QComboBox::showPopup();
    }
    void hidePopup() override {
        QComboBox::hidePopup();
        if (on_drop) on_drop(false);
    }
};

}  // namespace

ComboBoxControl::ComboBoxControl(const ControlTemplate& control, QWidget* parent)
    : ControlWindow(new DroppingComboBox(parent), control) {
    auto* box = static_cast<DroppingComboBox*>(Box());
    const bool editable = (control.style & CBS_TYPEMASK) != CBS_DROPDOWNLIST;
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setDuplicatesEnabled(true);
    if (editable) {
        box->setCompleter(nullptr);  // Windows' box does not complete what is typed
        QObject::connect(box->lineEdit(), &QLineEdit::textEdited, [this] {
            NotifyParent(CBN_EDITUPDATE);
            NotifyParent(CBN_EDITCHANGE);
        });
    }
    {
        Quiet quiet(m_quiet);
        const bool sorted = (control.style & CBS_SORT) != 0;
        for (const std::string& item : control.items) {
            const auto text = reinterpret_cast<LPARAM>(item.c_str());
            Insert(sorted ? SortedPosition(ParamText(text)) : -1, text);
        }
        box->setCurrentIndex(-1);
        if (editable) box->setEditText(ToQString(control.text));
    }
    QObject::connect(box, &QComboBox::currentIndexChanged, [this] {
        if (!m_quiet) NotifyParent(CBN_SELCHANGE);
    });
    box->on_drop = [this](bool dropped) { NotifyParent(dropped ? CBN_DROPDOWN : CBN_CLOSEUP); };
}

void ComboBoxControl::Place(const QRect& rect) {
    QComboBox* box = Box();
    if (!box) return;
    const int closed = std::min(rect.height(), box->sizeHint().height());
    box->setGeometry(rect.x(), rect.y(), rect.width(), std::max(closed, 1));
    // The rest of the template's height is for the dropped list.
    const int row = std::max(box->fontMetrics().height() + 2, 1);
    box->setMaxVisibleItems(std::max((rect.height() - closed) / row, 1));
}

LRESULT ComboBoxControl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    QComboBox* box = Box();
    if (!box) return CB_ERR;
    switch (message) {
        case CB_ADDSTRING:
            return Insert((Style() & CBS_SORT) ? SortedPosition(ParamText(lparam)) : box->count(),
                          lparam);
        case CB_INSERTSTRING: {
            const auto index = static_cast<intptr_t>(wparam);
            if (index < -1 || index > box->count()) return CB_ERR;
            return Insert(static_cast<int>(index), lparam);
        }
        case CB_DELETESTRING: {
            if (!Valid(wparam)) return CB_ERR;
            Quiet quiet(m_quiet);
            box->removeItem(static_cast<int>(wparam));
            return box->count();
        }
        case CB_RESETCONTENT: {
            Quiet quiet(m_quiet);
            box->clear();
            return CB_OKAY;
        }
        case CB_GETCOUNT:
            return box->count();
        case CB_GETCURSEL:
            return box->currentIndex();
        case CB_SETCURSEL:
            return Select(wparam);
        case CB_GETLBTEXT:
            return CopyItemText(wparam, lparam);
        case CB_GETLBTEXTLEN:
            return Valid(wparam) ? static_cast<LRESULT>(
                                       FromQString(box->itemText(static_cast<int>(wparam))).size())
                                 : CB_ERR;
        case CB_FINDSTRING:
            return Find(wparam, lparam, false);
        case CB_FINDSTRINGEXACT:
            return Find(wparam, lparam, true);
        case CB_SELECTSTRING: {
            const LRESULT found = Find(wparam, lparam, false);
            return found == CB_ERR ? CB_ERR : Select(static_cast<WPARAM>(found));
        }
        case CB_SETITEMDATA:
            if (!Valid(wparam)) return CB_ERR;
            box->setItemData(static_cast<int>(wparam), qlonglong{lparam}, Qt::UserRole);
            return CB_OKAY;
        case CB_GETITEMDATA:
            if (!Valid(wparam)) return CB_ERR;
            return static_cast<LRESULT>(
                box->itemData(static_cast<int>(wparam), Qt::UserRole).toLongLong());
        case CB_LIMITTEXT:
            if (QLineEdit* line = box->lineEdit()) {
                const WPARAM limit = wparam == 0 ? 32767 : std::min<WPARAM>(wparam, 32767);
                line->setMaxLength(static_cast<int>(limit));
            }
            return TRUE;
        case CB_SHOWDROPDOWN:
            if (wparam) {
                box->showPopup();
            } else {
                box->hidePopup();
            }
            return TRUE;
        case CB_GETDROPPEDSTATE:
            return box->view() && box->view()->isVisible() ? TRUE : FALSE;
        default:
            return ControlWindow::WindowProc(message, wparam, lparam);
    }
}

bool ComboBoxControl::Valid(WPARAM index) const {
    return index < static_cast<WPARAM>(Box()->count());
}

int ComboBoxControl::SortedPosition(const QString& text) const {
    // After the equal ones, so strings added in order keep it.
    const QComboBox* box = Box();
    int low = 0;
    int high = box->count();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (QString::compare(box->itemText(middle), text, Qt::CaseInsensitive) <= 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

LRESULT ComboBoxControl::Insert(int index, LPARAM text) {
    QComboBox* box = Box();
    Quiet quiet(m_quiet);
    const int at = index < 0 ? box->count() : index;
    const QString edit_text = box->currentText();
    box->insertItem(at, ParamText(text), qlonglong{0});
    // Inserting into an empty list would select the entry: Windows leaves the text alone.
    if (box->isEditable()) box->setEditText(edit_text);
    return at;
}

LRESULT ComboBoxControl::Select(WPARAM index) {
    QComboBox* box = Box();
    Quiet quiet(m_quiet);
    if (!Valid(index)) {
        box->setCurrentIndex(-1);
        if (box->isEditable()) box->setEditText(QString());
        return CB_ERR;  // also for -1, which only clears, as on Windows
    }
    box->setCurrentIndex(static_cast<int>(index));
    return static_cast<LRESULT>(index);
}

LRESULT ComboBoxControl::Find(WPARAM start, LPARAM text, bool exact) const {
    const QComboBox* box = Box();
    const int count = box->count();
    if (count == 0) return CB_ERR;
    const QString wanted = ParamText(text);
    // The search begins after `start` (-1: at the top) and wraps round once.
    const int first = Valid(start) ? static_cast<int>(start) + 1 : 0;
    for (int step = 0; step < count; ++step) {
        const int row = (first + step) % count;
        const QString item = box->itemText(row);
        const bool found = exact ? QString::compare(item, wanted, Qt::CaseInsensitive) == 0
                                 : item.startsWith(wanted, Qt::CaseInsensitive);
        if (found) return row;
    }
    return CB_ERR;
}

LRESULT ComboBoxControl::CopyItemText(WPARAM index, LPARAM buffer) const {
    if (!Valid(index) || !buffer) return CB_ERR;
    // The caller's buffer holds CB_GETLBTEXTLEN + 1 bytes, as on Windows.
    const std::string text = FromQString(Box()->itemText(static_cast<int>(index)));
    std::memcpy(reinterpret_cast<char*>(buffer), text.c_str(), text.size() + 1);
    return static_cast<LRESULT>(text.size());
}

std::string ComboBoxControl::Text() const {
    const QComboBox* box = Box();
    return box ? FromQString(box->currentText()) : "";
}

void ComboBoxControl::SetText(const std::string& text) {
    QComboBox* box = Box();
    if (!box) return;
    Quiet quiet(m_quiet);
    if (box->isEditable()) {
        box->setEditText(ToQString(text));
        return;
    }
    // A list alone shows the entry that has the text, if any.
    box->setCurrentIndex(box->findText(ToQString(text), Qt::MatchFixedString));
}
