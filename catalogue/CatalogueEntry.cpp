#include "catalogue/CatalogueEntry.h"

#include "catalogue/TextHelpers.h"

CatalogueEntry::CatalogueEntry(const char* name, const char* id, const char* dmo_category, bool dmo,
                               CatalogueEntry* rest)
    : friendlyName(DuplicateString(name)),
      clsid(DuplicateString(id)),
      category(DuplicateString(dmo_category)),
      isDmo(dmo),
      next(rest) {}

CatalogueEntry::~CatalogueEntry() {
    delete[] friendlyName;
    delete[] clsid;
    delete[] category;
    // One entry at a time rather than recursively, so a long list needs no deep stack.
    CatalogueEntry* rest = next;
    while (rest) {
        CatalogueEntry* following = rest->next;
        rest->next = nullptr;
        delete rest;
        rest = following;
    }
}
