// FilterCatalogue: every filter and DMO the machine offers, read from the registry (the
// per-user audio renderer cache, the filter category's instance list) and the DMO enumeration
// of seven categories, gathered once behind the loading dialog. The list holds the entries in
// the reverse order of their discovery (each is pushed at the head); the catalogue owns them
// and they live as long as it does, so others may keep plain pointers to them.
// Order of use: construct, Gather once, then look up, fill list boxes and create filters.
// Threading: Enumerate runs on the loading dialog's worker while the user-interface thread
// waits in the dialog; everything else on the user-interface thread.
#pragma once

#include "catalogue/CatalogueEntry.h"
#include "platform/WinTypes.h"
#include "platform/com/Guid.h"

class FilterCatalogue {
public:
    FilterCatalogue() = default;
    virtual ~FilterCatalogue();
    FilterCatalogue(const FilterCatalogue&) = delete;
    FilterCatalogue& operator=(const FilterCatalogue&) = delete;

    // Runs Enumerate behind "Gathering Filters Informations"; true when anything was found.
    bool Gather();
    // The loading dialog's work: `data` is the catalogue; reports progress to `window` by
    // sending WM_USER + 2 with the percentage, 100 last.
    static UINT Enumerate(HWND window, LPVOID data);

    // Replaces the list box's items by one per entry, the entry as the item's data.
    void FillListBox(HWND listBox) const;
    // The first entry from the head with exactly that name (the last discovered), or null.
    CatalogueEntry* FindByFriendlyName(const char* name) const;
    // The entry of that class; a class missing from the list but registered under
    // HKEY_CLASSES_ROOT\CLSID is added at the head, named after the key's default value.
    CatalogueEntry* FindByClsid(REFCLSID clsid);

    CatalogueEntry* head = nullptr;
    HWND progressWindow = nullptr;
};
