#include "platform/ui/ListViewControl.h"

#include <algorithm>
#include <cstring>

#include <QFontMetrics>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QPixmap>

#include "platform/ui/ImageList.h"
#include "platform/ui/ImageListData.h"
#include "platform/ui/QtText.h"
#include "platform/ui/WindowFunctions.h"

namespace {

std::string TextOf(LPCSTR text) {
    return text ? std::string(text) : std::string();
}

// Copies at most `max_count` - 1 bytes and a zero; the count copied.
int CopyOut(const std::string& text, LPSTR buffer, int max_count) {
    if (!buffer || max_count <= 0) return 0;
    const size_t count = std::min(text.size(), static_cast<size_t>(max_count - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

Qt::Alignment AlignmentFor(int format) {
    switch (format & LVCFMT_JUSTIFYMASK) {
        case LVCFMT_CENTER:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case LVCFMT_RIGHT:
            return Qt::AlignRight | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

ListViewControl::ListViewControl(const ControlTemplate& control, QWidget* parent)
    : ControlWindow(new ListViewWidget(parent), control) {
    ListViewWidget* table = Table();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->setSortingEnabled(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table->on_click = [this](UINT code, int row, int column, QPoint point) {
        NotifyClick(code, row, column, point);
    };
    table->on_key = [this](UINT key) { NotifyKey(key); };
    table->on_user_select = [this](int row) { m_contents.SetSelectionMark(row); };
    ApplyStyles();
}

void ListViewControl::SetStyle(DWORD style) {
    ControlWindow::SetStyle(style);
    ApplyStyles();
}

void ListViewControl::ApplyStyles() {
    ListViewWidget* table = Table();
    if (!table) return;
    const bool full_row = (m_extended_style & LVS_EX_FULLROWSELECT) != 0;
    table->setShowGrid((m_extended_style & LVS_EX_GRIDLINES) != 0);
    table->setSelectionBehavior(full_row ? QAbstractItemView::SelectRows
                                         : QAbstractItemView::SelectItems);
    table->setSelectionMode((Style() & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                      : QAbstractItemView::ExtendedSelection);
    table->horizontalHeader()->setVisible((Style() & LVS_NOCOLUMNHEADER) == 0);
    const int image_height = m_small_images ? m_small_images->cy : 0;
    table->verticalHeader()->setDefaultSectionSize(
        std::max(table->fontMetrics().height() + 4, image_height + 2));
    if (m_small_images) table->setIconSize(QSize(m_small_images->cx, m_small_images->cy));
    for (size_t row = 0; row < m_contents.RowCount(); ++row)
        ShowRow(row);
}

LRESULT ListViewControl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    if (!Table()) return 0;
    switch (message) {
        case LVM_INSERTCOLUMNA:
            return InsertColumn(wparam, reinterpret_cast<const LVCOLUMNA*>(lparam));
        case LVM_GETCOLUMNA:
            return GetColumn(wparam, reinterpret_cast<LVCOLUMNA*>(lparam));
        case LVM_SETCOLUMNA:
            return SetColumn(wparam, reinterpret_cast<const LVCOLUMNA*>(lparam));
        case LVM_DELETECOLUMN:
            return DeleteColumn(wparam);
        case LVM_GETCOLUMNWIDTH:
            return wparam < m_contents.ColumnCount()
                       ? Table()->horizontalHeader()->sectionSize(static_cast<int>(wparam))
                       : 0;
        case LVM_SETCOLUMNWIDTH:
            return SetColumnWidth(wparam, static_cast<int16_t>(LOWORD(lparam)));
        case LVM_GETSTRINGWIDTHA:
            return StringWidth(TextOf(reinterpret_cast<LPCSTR>(lparam)));
        case LVM_SETEXTENDEDLISTVIEWSTYLE:
            return SetExtendedStyle(wparam, lparam);
        case LVM_GETEXTENDEDLISTVIEWSTYLE:
            return m_extended_style;
        case LVM_INSERTITEMA:
            return InsertItem(reinterpret_cast<const LVITEMA*>(lparam));
        case LVM_SETITEMA:
            return SetItem(reinterpret_cast<const LVITEMA*>(lparam));
        case LVM_GETITEMA:
            return GetItem(reinterpret_cast<LVITEMA*>(lparam));
        case LVM_SETITEMTEXTA:
            return SetItemText(wparam, reinterpret_cast<const LVITEMA*>(lparam));
        case LVM_GETITEMTEXTA:
            return GetItemText(wparam, reinterpret_cast<LVITEMA*>(lparam));
        case LVM_DELETEITEM:
            return DeleteItem(wparam);
        case LVM_DELETEALLITEMS:
            return DeleteAllItems();
        case LVM_GETITEMCOUNT:
            return static_cast<LRESULT>(m_contents.RowCount());
        case LVM_GETNEXTITEM:
            return GetNextItem(wparam, lparam);
        case LVM_GETSELECTEDCOUNT:
            return SelectedCount();
        case LVM_SETITEMSTATE:
            return SetItemState(wparam, reinterpret_cast<const LVITEMA*>(lparam));
        case LVM_GETITEMSTATE:
            return m_contents.ValidRow(wparam) ? static_cast<LRESULT>(ItemState(wparam) & lparam)
                                               : 0;
        case LVM_GETSELECTIONMARK:
            return m_contents.SelectionMark();
        case LVM_SETSELECTIONMARK:
            return m_contents.SetSelectionMark(lparam);
        case LVM_SETIMAGELIST:
            return SetImageList(wparam, lparam);
        case LVM_GETIMAGELIST:
            return wparam < 3 ? reinterpret_cast<LRESULT>(m_image_handles[wparam]) : 0;
        case LVM_ENSUREVISIBLE:
            if (!m_contents.ValidRow(wparam)) return FALSE;
            Table()->scrollToItem(Table()->item(static_cast<int>(wparam), 0));
            return TRUE;
        case WM_COMMAND:
            // The commands of a menu tracked for the list: its hook's.
            return CallHook(message, wparam, lparam);
        default:
            return ControlWindow::WindowProc(message, wparam, lparam);
    }
}

LRESULT ListViewControl::InsertColumn(WPARAM index, const LVCOLUMNA* column) {
    if (!column || static_cast<intptr_t>(index) < 0) return -1;
    ListViewContents::Column added;
    if (column->mask & LVCF_TEXT) added.heading = TextOf(column->pszText);
    if (column->mask & LVCF_FMT) added.format = column->fmt;
    const int width =
        (column->mask & LVCF_WIDTH) ? std::max(column->cx, 0) : StringWidth(added.heading) + 12;
    const size_t at = m_contents.InsertColumn(index, std::move(added));
    ListViewWidget* table = Table();
    table->insertColumn(static_cast<int>(at));
    table->horizontalHeader()->resizeSection(static_cast<int>(at), width);
    ShowHeading(at);
    for (size_t row = 0; row < m_contents.RowCount(); ++row)
        ShowRow(row);
    return static_cast<LRESULT>(at);
}

LRESULT ListViewControl::GetColumn(WPARAM index, LVCOLUMNA* column) const {
    if (!column || index >= m_contents.ColumnCount()) return FALSE;
    const ListViewContents::Column& found = m_contents.ColumnAt(index);
    if (column->mask & LVCF_FMT) column->fmt = found.format;
    if (column->mask & LVCF_WIDTH) {
        column->cx = Table()->horizontalHeader()->sectionSize(static_cast<int>(index));
    }
    if (column->mask & LVCF_TEXT) CopyOut(found.heading, column->pszText, column->cchTextMax);
    if (column->mask & LVCF_SUBITEM) column->iSubItem = static_cast<int>(index);
    return TRUE;
}

LRESULT ListViewControl::SetColumn(WPARAM index, const LVCOLUMNA* column) {
    if (!column || index >= m_contents.ColumnCount()) return FALSE;
    ListViewContents::Column& changed = m_contents.ColumnAt(index);
    if (column->mask & LVCF_TEXT) changed.heading = TextOf(column->pszText);
    if (column->mask & LVCF_FMT) changed.format = column->fmt;
    if (column->mask & LVCF_WIDTH) SetColumnWidth(index, column->cx);
    ShowHeading(index);
    for (size_t row = 0; row < m_contents.RowCount(); ++row)
        ShowCell(row, index);
    return TRUE;
}

LRESULT ListViewControl::DeleteColumn(WPARAM index) {
    if (!m_contents.DeleteColumn(index)) return FALSE;
    Table()->removeColumn(static_cast<int>(index));
    for (size_t row = 0; row < m_contents.RowCount(); ++row)
        ShowRow(row);
    return TRUE;
}

LRESULT ListViewControl::SetColumnWidth(WPARAM index, int width) {
    if (index >= m_contents.ColumnCount()) return FALSE;
    if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
        const bool header = width == LVSCW_AUTOSIZE_USEHEADER;
        int widest = header ? StringWidth(m_contents.ColumnAt(index).heading) : 0;
        for (size_t row = 0; row < m_contents.RowCount(); ++row) {
            const std::string* text = m_contents.Text(row, static_cast<int>(index));
            widest = std::max(widest, text ? StringWidth(*text) : 0);
        }
        const int image = index == 0 && m_small_images ? m_small_images->cx + 4 : 0;
        width = widest + image + 12;
    }
    Table()->horizontalHeader()->resizeSection(static_cast<int>(index), std::max(width, 0));
    return TRUE;
}

LRESULT ListViewControl::InsertItem(const LVITEMA* item) {
    if (!item || item->iItem < 0 || item->iSubItem != 0) return -1;
    ListViewContents::Row row;
    row.texts.push_back((item->mask & LVIF_TEXT) ? TextOf(item->pszText) : std::string());
    if (item->mask & LVIF_IMAGE) row.image = item->iImage;
    if (item->mask & LVIF_PARAM) row.data = item->lParam;
    const size_t at = m_contents.InsertRow(static_cast<size_t>(item->iItem), std::move(row));
    Table()->insertRow(static_cast<int>(at));
    ShowRow(at);
    if ((item->mask & LVIF_STATE) && (item->stateMask & LVIS_SELECTED)) {
        Select(at, (item->state & LVIS_SELECTED) != 0);
    }
    return static_cast<LRESULT>(at);
}

LRESULT ListViewControl::SetItem(const LVITEMA* item) {
    if (!item || item->iItem < 0) return FALSE;
    const auto index = static_cast<size_t>(item->iItem);
    std::string* text = m_contents.Text(index, item->iSubItem);
    if (!text) return FALSE;
    if (item->mask & LVIF_TEXT) *text = TextOf(item->pszText);
    if (item->iSubItem == 0) {
        ListViewContents::Row& row = m_contents.RowAt(index);
        if (item->mask & LVIF_IMAGE) row.image = item->iImage;
        if (item->mask & LVIF_PARAM) row.data = item->lParam;
        if ((item->mask & LVIF_STATE) && (item->stateMask & LVIS_SELECTED)) {
            Select(index, (item->state & LVIS_SELECTED) != 0);
        }
    }
    ShowRow(index);
    return TRUE;
}

LRESULT ListViewControl::GetItem(LVITEMA* item) const {
    if (!item || item->iItem < 0) return FALSE;
    const auto index = static_cast<size_t>(item->iItem);
    const std::string* text = m_contents.Text(index, item->iSubItem);
    if (!text) return FALSE;
    const ListViewContents::Row& row = m_contents.RowAt(index);
    if (item->mask & LVIF_TEXT) CopyOut(*text, item->pszText, item->cchTextMax);
    if (item->mask & LVIF_IMAGE) item->iImage = row.image;
    if (item->mask & LVIF_PARAM) item->lParam = row.data;
    if (item->mask & LVIF_STATE) item->state = ItemState(index) & item->stateMask;
    return TRUE;
}

LRESULT ListViewControl::SetItemText(WPARAM index, const LVITEMA* item) {
    std::string* text = item ? m_contents.Text(index, item->iSubItem) : nullptr;
    if (!text) return FALSE;
    *text = TextOf(item->pszText);
    ShowCell(index, static_cast<size_t>(item->iSubItem));
    return TRUE;
}

LRESULT ListViewControl::GetItemText(WPARAM index, LVITEMA* item) const {
    if (!item) return 0;
    const std::string* text = m_contents.Text(index, item->iSubItem);
    return CopyOut(text ? *text : std::string(), item->pszText, item->cchTextMax);
}

LRESULT ListViewControl::DeleteItem(WPARAM index) {
    if (!m_contents.DeleteRow(index)) return FALSE;
    Table()->removeRow(static_cast<int>(index));
    return TRUE;
}

LRESULT ListViewControl::DeleteAllItems() {
    m_contents.DeleteAllRows();
    Table()->setRowCount(0);
    return TRUE;
}

LRESULT ListViewControl::GetNextItem(WPARAM start, LPARAM flags) const {
    const auto count = static_cast<intptr_t>(m_contents.RowCount());
    const auto wanted = static_cast<UINT>(flags);
    for (intptr_t row = static_cast<intptr_t>(start) + 1; row < count; ++row) {
        if ((ItemState(static_cast<size_t>(row)) & wanted) == wanted) return row;
    }
    return -1;
}

LRESULT ListViewControl::SelectedCount() const {
    LRESULT count = 0;
    for (size_t row = 0; row < m_contents.RowCount(); ++row)
        count += Table()->IsRowSelected(static_cast<int>(row)) ? 1 : 0;
    return count;
}

UINT ListViewControl::ItemState(size_t row) const {
    const ListViewWidget* table = Table();
    UINT state = 0;
    if (table->IsRowSelected(static_cast<int>(row))) state |= LVIS_SELECTED;
    if (table->currentRow() == static_cast<int>(row)) state |= LVIS_FOCUSED;
    return state;
}

LRESULT ListViewControl::SetItemState(WPARAM index, const LVITEMA* item) {
    if (!item) return FALSE;
    const bool all = static_cast<intptr_t>(index) == -1;
    if (!all && !m_contents.ValidRow(index)) return FALSE;
    const size_t first = all ? 0 : index;
    const size_t end = all ? m_contents.RowCount() : index + 1;
    const bool focus = (item->stateMask & LVIS_FOCUSED) && (item->state & LVIS_FOCUSED);
    for (size_t row = first; row < end; ++row) {
        if (item->stateMask & LVIS_SELECTED) Select(row, (item->state & LVIS_SELECTED) != 0);
        const QModelIndex cell = Table()->model()->index(static_cast<int>(row), 0);
        if (focus && cell.isValid()) {
            Table()->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
        }
    }
    return TRUE;
}

void ListViewControl::Select(size_t row, bool selected) {
    ListViewWidget* table = Table();
    const QModelIndex first = table->model()->index(static_cast<int>(row), 0);
    if (!first.isValid()) return;  // no column yet: nothing to show a selection in
    QItemSelectionModel::SelectionFlags flags =
        selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect;
    if (selected && (Style() & LVS_SINGLESEL)) flags = QItemSelectionModel::ClearAndSelect;
    if (m_extended_style & LVS_EX_FULLROWSELECT) flags |= QItemSelectionModel::Rows;
    table->selectionModel()->select(first, flags);
}

LRESULT ListViewControl::SetImageList(WPARAM which, LPARAM list) {
    if (which > 2) return 0;
    const HIMAGELIST previous = m_image_handles[which];
    m_image_handles[which] = reinterpret_cast<HIMAGELIST>(list);
    if (which == static_cast<WPARAM>(LVSIL_SMALL)) {
        m_small_images = ImageList::Data(m_image_handles[which]);
        m_small_icons.clear();
        ApplyStyles();
    }
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT ListViewControl::SetExtendedStyle(WPARAM mask, LPARAM styles) {
    const DWORD previous = m_extended_style;
    const DWORD bits = mask == 0 ? 0xFFFFFFFFu : static_cast<DWORD>(mask);
    m_extended_style = (m_extended_style & ~bits) | (static_cast<DWORD>(styles) & bits);
    ApplyStyles();
    return previous;
}

void ListViewControl::ShowHeading(size_t column) {
    const ListViewContents::Column& shown = m_contents.ColumnAt(column);
    auto* heading = new QTableWidgetItem(ToQString(shown.heading));
    heading->setTextAlignment(AlignmentFor(shown.format));
    Table()->setHorizontalHeaderItem(static_cast<int>(column), heading);
}

void ListViewControl::ShowRow(size_t row) {
    for (size_t column = 0; column < m_contents.ColumnCount(); ++column)
        ShowCell(row, column);
}

void ListViewControl::ShowCell(size_t row, size_t column) {
    if (column >= m_contents.ColumnCount() || !m_contents.ValidRow(row)) return;
    ListViewWidget* table = Table();
    QTableWidgetItem* cell = table->item(static_cast<int>(row), static_cast<int>(column));
    if (!cell) {
        cell = new QTableWidgetItem;
        table->setItem(static_cast<int>(row), static_cast<int>(column), cell);
    }
    const ListViewContents::Row& shown = m_contents.RowAt(row);
    const std::string* text = m_contents.Text(row, static_cast<int>(column));
    cell->setText(ToQString(text ? *text : std::string()));
    cell->setTextAlignment(AlignmentFor(m_contents.ColumnAt(column).format));
    // Without full-row selection only the first cell takes the selection, as on Windows.
    const bool selectable = column == 0 || (m_extended_style & LVS_EX_FULLROWSELECT);
    cell->setFlags(selectable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsEnabled);
    if (column != 0) return;
    cell->setIcon(SmallIcon(shown.image));
}

QIcon ListViewControl::SmallIcon(int image) {
    if (!m_small_images || image < 0) return QIcon();
    const auto index = static_cast<size_t>(image);
    if (index >= m_small_images->images.size()) return QIcon();
    // The list only ever appends, so an icon made for an index stays right.
    if (m_small_icons.size() <= index) m_small_icons.resize(index + 1);
    if (m_small_icons[index].isNull())
        m_small_icons[index] = QIcon(QPixmap::fromImage(m_small_images->images[index]));
    return m_small_icons[index];
}

int ListViewControl::StringWidth(const std::string& text) const {
    return Table()->fontMetrics().horizontalAdvance(ToQString(text));
}

void ListViewControl::Notify(NMHDR& header) {
    HWND self = Handle();
    if (!self) return;
    header.hwndFrom = self;
    header.idFrom = static_cast<UINT_PTR>(Id());
    CallHook(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    SendMessageA(GetParent(self), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void ListViewControl::NotifyClick(UINT code, int row, int column, const QPoint& point) {
    NMITEMACTIVATE click{};
    click.hdr.code = code;
    click.iItem = row;
    click.iSubItem = row < 0 ? 0 : column;
    click.ptAction = {point.x(), point.y()};
    Notify(click.hdr);
}

void ListViewControl::NotifyKey(UINT virtual_key) {
    NMLVKEYDOWN key{};
    key.hdr.code = LVN_KEYDOWN;
    key.wVKey = static_cast<WORD>(virtual_key);
    Notify(key.hdr);
}
