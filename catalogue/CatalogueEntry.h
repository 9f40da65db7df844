// CatalogueEntry: one installed filter or DMO of the FilterCatalogue, a node of its singly
// linked list. The entry owns exact-size copies of its texts and everything behind it in the
// list: deleting an entry deletes the rest of the list. Entries never change once made.
// Threading: built on the catalogue's gathering thread, then read on the user-interface thread.
#pragma once

class CatalogueEntry {
public:
    // Copies the texts (a null text gives a null field); `next` is taken over.
    CatalogueEntry(const char* friendlyName, const char* clsid, const char* category, bool isDmo,
                   CatalogueEntry* next);
    virtual ~CatalogueEntry();
    CatalogueEntry(const CatalogueEntry&) = delete;
    CatalogueEntry& operator=(const CatalogueEntry&) = delete;

    char* friendlyName;  // shown to the user, the key of look-ups by name
    char* clsid;         // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case
    char* category;      // a DMO's category in the same form; null for a filter
    bool isDmo;          // found through the DMO enumeration
    CatalogueEntry* next;
};
