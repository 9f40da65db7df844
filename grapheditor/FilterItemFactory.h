// The two ways a catalogue entry makes the FilterItem of the filter it names: create a new
// filter of the entry's class (a DMO is first wrapped into a filter by the DMO wrapper), or
// wrap a filter that is already there (one found in a rendered graph). The entry is not owned
// and must outlive the item; the caller owns the item.
// Threading: the user-interface thread.
#pragma once

#include <memory>

#include "grapheditor/FilterItem.h"
#include "platform/com/Unknown.h"

class CatalogueEntry;

// A new filter of the entry's class; null when it cannot be created. A DMO whose wrapping
// fails is created directly as its own class (which grants no IBaseFilter).
std::unique_ptr<FilterItem> CreateFilterItem(CatalogueEntry* entry);
// The item of `filter`, holding its own reference; null when the object does not answer.
std::unique_ptr<FilterItem> WrapFilter(CatalogueEntry* entry, IUnknown* filter);
