// FilterSelectionDialog: the modal "Filter Selection" dialog (resource 161) in which the user
// picks one entry of the filter catalogue, to be inserted into the graph by the caller. The
// sorted list box shows every entry's friendly name, each item carrying its entry; choosing
// an item selects its entry, a double click ends the dialog as OK does. OK before any choice
// ends with IDOK and no entry.
// Order of use: construct with the catalogue, DoModal (IDOK or IDCANCEL), GetSelectedEntry.
// Threading: the user-interface thread.
#pragma once

#include "catalogue/CatalogueEntry.h"
#include "catalogue/FilterCatalogue.h"
#include "platform/WinTypes.h"
#include "platform/ui/Dialog.h"

class FilterSelectionDialog : public Dialog {
public:
    static constexpr int IDD = 161;
    static constexpr int IDC_FILTER_LIST = 1057;

    // The catalogue is not owned and must outlive the dialog.
    explicit FilterSelectionDialog(FilterCatalogue* catalogue, HWND parent = nullptr);

    // The entry chosen, or null; owned by the catalogue. Valid after DoModal.
    CatalogueEntry* GetSelectedEntry() const { return selectedEntry; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
    void DoDataExchange(DataExchange* exchange) override;

private:
    static DialogTemplate Resource();
    void OnSelectionChange();

    FilterCatalogue* const catalogue;
    HWND filterList = nullptr;  // control 1057, bound with the controls
    CatalogueEntry* selectedEntry = nullptr;
};
