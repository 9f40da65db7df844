#include "catalogue/FilterSelectionDialog.h"

#include "platform/ui/DataExchange.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"

FilterSelectionDialog::FilterSelectionDialog(FilterCatalogue* catalogue_to_list, HWND parent)
    : Dialog(Resource(), parent), catalogue(catalogue_to_list) {}

DialogTemplate FilterSelectionDialog::Resource() {
    DialogTemplate resource;
    resource.resource_id = IDD;
    resource.caption = "Filter Selection";
    resource.cx = 246;
    resource.cy = 183;
    resource.font_name = "MS Sans Serif";
    resource.font_size = 8;
    resource.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    resource.controls = {
        {IDOK, ControlKind::PushButton, "OK", 59, 162, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
        {IDCANCEL, ControlKind::PushButton, "Cancel", 137, 162, 50, 14, BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_FILTER_LIST, ControlKind::ListBox, "", 7, 20, 232, 139,
         LBS_SORT | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP | LBS_NOINTEGRALHEIGHT},
        {IDC_STATIC, ControlKind::Static, "Select a Filter...", 7, 7, 232, 9, SS_LEFT | WS_GROUP},
    };
    return resource;
}

void FilterSelectionDialog::DoDataExchange(DataExchange* exchange) {
    Dialog::DoDataExchange(exchange);
    filterList = GetDlgItem(IDC_FILTER_LIST);
}

BOOL FilterSelectionDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    if (catalogue) catalogue->FillListBox(filterList);
    selectedEntry = nullptr;
    return TRUE;  // the framework gives the focus to the first tab stop
}

BOOL FilterSelectionDialog::OnCommand(WPARAM wparam, LPARAM lparam) {
    if (LOWORD(wparam) == IDC_FILTER_LIST) {
        switch (HIWORD(wparam)) {
            case LBN_SELCHANGE:
                OnSelectionChange();
                return TRUE;
            case LBN_DBLCLK:
                // The click before it has already chosen the entry.
                OnOK();
                return TRUE;
            default:
                return FALSE;
        }
    }
    return Dialog::OnCommand(wparam, lparam);
}

void FilterSelectionDialog::OnSelectionChange() {
    const LRESULT index = SendMessageA(filterList, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return;
    selectedEntry = reinterpret_cast<CatalogueEntry*>(
        SendMessageA(filterList, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}
