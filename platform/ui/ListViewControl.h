// Report-style list view: columns with headings, widths and alignment (LVCFMT_*), rows of
// texts with item data and a small image, selection and the selection mark, answering the
// LVM_* messages as Windows' list view does (-1, 0 or FALSE for an index out of range). The
// extended styles LVS_EX_GRIDLINES and LVS_EX_FULLROWSELECT show grid lines and select whole
// rows. LVS_SINGLESEL allows one selected row, LVS_NOCOLUMNHEADER hides the headings.
// What the user does reaches the dialog as WM_NOTIFY (NM_CLICK, NM_RCLICK, NM_DBLCLK,
// LVN_KEYDOWN), after the control's hook has seen it (reflected, as the same WM_NOTIFY); menu
// commands sent to the control (WM_COMMAND) go to the hook alone.
// The selection mark follows the user's selection (a click or a key), not LVM_SETITEMSTATE;
// it moves with its row when rows are inserted or deleted above it and is -1 once its row goes.
// Threading: the user-interface thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QIcon>

#include "platform/ui/CommonControls.h"
#include "platform/ui/ControlWindow.h"
#include "platform/ui/ListViewContents.h"
#include "platform/ui/ListViewWidget.h"

struct ImageListData;

class ListViewControl : public ControlWindow {
public:
    ListViewControl(const ControlTemplate& control, QWidget* parent);

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    void SetStyle(DWORD style) override;

private:
    ListViewWidget* Table() const { return static_cast<ListViewWidget*>(Widget()); }

    LRESULT InsertColumn(WPARAM index, const LVCOLUMNA* column);
    LRESULT GetColumn(WPARAM index, LVCOLUMNA* column) const;
    LRESULT SetColumn(WPARAM index, const LVCOLUMNA* column);
    LRESULT DeleteColumn(WPARAM index);
    LRESULT SetColumnWidth(WPARAM index, int width);
    LRESULT InsertItem(const LVITEMA* item);
    LRESULT SetItem(const LVITEMA* item);
    LRESULT GetItem(LVITEMA* item) const;
    LRESULT SetItemText(WPARAM index, const LVITEMA* item);
    LRESULT GetItemText(WPARAM index, LVITEMA* item) const;
    LRESULT DeleteItem(WPARAM index);
    LRESULT DeleteAllItems();
    LRESULT GetNextItem(WPARAM start, LPARAM flags) const;
    LRESULT SetItemState(WPARAM index, const LVITEMA* item);
    UINT ItemState(size_t row) const;
    LRESULT SetImageList(WPARAM which, LPARAM list);
    LRESULT SetExtendedStyle(WPARAM mask, LPARAM styles);
    LRESULT SelectedCount() const;

    void ApplyStyles();
    void ShowCell(size_t row, size_t column);
    QIcon SmallIcon(int image);
    void ShowRow(size_t row);
    void ShowHeading(size_t column);
    void Select(size_t row, bool selected);
    int StringWidth(const std::string& text) const;
    void Notify(NMHDR& header);
    void NotifyClick(UINT code, int row, int column, const QPoint& point);
    void NotifyKey(UINT virtual_key);

    ListViewContents m_contents;
    DWORD m_extended_style = 0;
    HIMAGELIST m_image_handles[3] = {nullptr, nullptr, nullptr};  // LVSIL_NORMAL, SMALL, STATE
    std::shared_ptr<const ImageListData> m_small_images;
    // One icon per small image, made when first shown and kept: a fresh icon for every cell
    // shown would fill Qt's pixmap cache with copies of the same few pictures.
    std::vector<QIcon> m_small_icons;
};
