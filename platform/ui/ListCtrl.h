// ListCtrl: a report-style list view of a dialog, as the system's own classes see it. Attach
// it to the dialog's list-view control with SubclassDlgItem; every call then sends the LVM_*
// message to that control, and the control's own notifications (NM_CLICK, NM_RCLICK,
// LVN_KEYDOWN) and the commands of the popup menus it tracks come back to WindowProc first,
// so a derived class handles them itself.
// Order of use: construct, SubclassDlgItem once the dialog's controls exist, use; the control
// goes with its dialog.
// Threading: the user-interface thread.
#pragma once

#include <string>

#include "platform/WinTypes.h"
#include "platform/ui/CommonControls.h"
#include "platform/ui/ControlHook.h"

class ImageList;

class ListCtrl : public ControlHook {
public:
    ListCtrl() = default;
    ~ListCtrl() override;
    ListCtrl(const ListCtrl&) = delete;
    ListCtrl& operator=(const ListCtrl&) = delete;

    // Binds to control `id` of `dialog`; FALSE when there is no such list view.
    BOOL SubclassDlgItem(UINT id, HWND dialog) override;
    HWND GetSafeHwnd() const { return m_hwnd; }

    // Columns: the new column's index, or -1.
    int InsertColumn(int column, const char* heading, int format, int width);
    BOOL SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    // The column's fields `column->mask` asks for; FALSE when there is no such column.
    BOOL GetColumn(int column, LVCOLUMNA* column_info) const;
    // Pixels the text takes in the control's font.
    int GetStringWidth(const char* text) const;
    // Returns the previous extended styles (LVS_EX_*).
    DWORD SetExtendedStyle(DWORD styles);
    DWORD GetExtendedStyle() const;

    // Rows: the new row's index, or -1. `image` indexes the small image list (-1: none).
    int InsertItem(int index, const char* text, int image = -1);
    BOOL SetItemText(int index, int subItem, const char* text);
    std::string GetItemText(int index, int subItem) const;
    BOOL SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
    BOOL DeleteItem(int index);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    // Selection: the next row after `start` (-1: from the top) whose state has all of `flags`
    // (LVNI_SELECTED, LVNI_FOCUSED), -1 for none; the states LVIS_SELECTED and LVIS_FOCUSED.
    int GetNextItem(int start, int flags) const;
    UINT GetSelectedCount() const;
    BOOL SetItemState(int index, UINT state, UINT mask);
    UINT GetItemState(int index, UINT mask) const;
    // The selection mark: the row last selected, -1 for none.
    int GetSelectionMark() const;
    int SetSelectionMark(int index);
    // Small images (LVSIL_SMALL); the list does not own them.
    ImageList* SetImageList(ImageList* images, int which);

protected:
    // The control's notifications (WM_NOTIFY with its NMHDR, before the dialog gets the same)
    // and the menu commands (WM_COMMAND); the default does nothing and returns 0.
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    LRESULT Send(UINT message, WPARAM wparam, LPARAM lparam) const;

    HWND m_hwnd = nullptr;
};
