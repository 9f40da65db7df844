#include "platform/ui/ListCtrl.h"

#include <vector>

#include "platform/ui/ImageList.h"
#include "platform/ui/WindowFunctions.h"

ListCtrl::~ListCtrl() = default;

BOOL ListCtrl::SubclassDlgItem(UINT id, HWND dialog) {
    HWND control = HookControl(id, dialog, ControlKind::ListView);
    if (!control) return FALSE;
    m_hwnd = control;
    return TRUE;
}

LRESULT ListCtrl::Send(UINT message, WPARAM wparam, LPARAM lparam) const {
    return SendMessageA(m_hwnd, message, wparam, lparam);
}

LRESULT ListCtrl::WindowProc(UINT /*message*/, WPARAM /*wparam*/, LPARAM /*lparam*/) {
    return 0;
}

int ListCtrl::InsertColumn(int column, const char* heading, int format, int width) {
    LVCOLUMNA info{};
    info.mask = LVCF_FMT | LVCF_TEXT | LVCF_SUBITEM;
    info.fmt = format;
    info.pszText = const_cast<LPSTR>(heading ? heading : "");
    info.iSubItem = column;
    if (width >= 0) {
        info.mask |= LVCF_WIDTH;
        info.cx = width;
    }
    return static_cast<int>(
        Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info)));
}

BOOL ListCtrl::SetColumnWidth(int column, int width) {
    return static_cast<BOOL>(Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                                  MAKELPARAM(static_cast<WORD>(width), 0)));
}

int ListCtrl::GetColumnWidth(int column) const {
    return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

BOOL ListCtrl::GetColumn(int column, LVCOLUMNA* column_info) const {
    if (!column_info) return FALSE;
    return static_cast<BOOL>(
        Send(LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(column_info)));
}

int ListCtrl::GetStringWidth(const char* text) const {
    return static_cast<int>(Send(LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)));
}

DWORD ListCtrl::SetExtendedStyle(DWORD styles) {
    return static_cast<DWORD>(Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(styles)));
}

DWORD ListCtrl::GetExtendedStyle() const {
    return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

int ListCtrl::InsertItem(int index, const char* text, int image) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<LPSTR>(text ? text : "");
    item.iImage = image < 0 ? I_IMAGENONE : image;
    return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL ListCtrl::SetItemText(int index, int subItem, const char* text) {
    LVITEMA item{};
    item.iSubItem = subItem;
    item.pszText = const_cast<LPSTR>(text ? text : "");
    return static_cast<BOOL>(
        Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

std::string ListCtrl::GetItemText(int index, int subItem) const {
    // Grows the buffer until the text fits with room to spare.
    std::vector<char> buffer(256);
    for (;;) {
        LVITEMA item{};
        item.iSubItem = subItem;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto count = static_cast<size_t>(
            Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
        if (count + 1 < buffer.size() || buffer.size() >= (size_t{1} << 24)) {
            return std::string(buffer.data(), count);
        }
        buffer.resize(buffer.size() * 4);
    }
}

BOOL ListCtrl::SetItemData(int index, DWORD_PTR data) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(Send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR ListCtrl::GetItemData(int index) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return static_cast<DWORD_PTR>(item.lParam);
}

BOOL ListCtrl::DeleteItem(int index) {
    return static_cast<BOOL>(Send(LVM_DELETEITEM, static_cast<WPARAM>(index), 0));
}

BOOL ListCtrl::DeleteAllItems() {
    return static_cast<BOOL>(Send(LVM_DELETEALLITEMS, 0, 0));
}

int ListCtrl::GetItemCount() const {
    return static_cast<int>(Send(LVM_GETITEMCOUNT, 0, 0));
}

int ListCtrl::GetNextItem(int start, int flags) const {
    return static_cast<int>(
        Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), static_cast<LPARAM>(flags)));
}

UINT ListCtrl::GetSelectedCount() const {
    return static_cast<UINT>(Send(LVM_GETSELECTEDCOUNT, 0, 0));
}

BOOL ListCtrl::SetItemState(int index, UINT state, UINT mask) {
    LVITEMA item{};
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(
        Send(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

UINT ListCtrl::GetItemState(int index, UINT mask) const {
    return static_cast<UINT>(
        Send(LVM_GETITEMSTATE, static_cast<WPARAM>(index), static_cast<LPARAM>(mask)));
}

int ListCtrl::GetSelectionMark() const {
    return static_cast<int>(Send(LVM_GETSELECTIONMARK, 0, 0));
}

int ListCtrl::SetSelectionMark(int index) {
    return static_cast<int>(Send(LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(index)));
}

ImageList* ListCtrl::SetImageList(ImageList* images, int which) {
    const HIMAGELIST handle = images ? images->GetSafeHandle() : nullptr;
    const auto previous = reinterpret_cast<HIMAGELIST>(
        Send(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(handle)));
    return ImageList::FromHandle(previous);
}
