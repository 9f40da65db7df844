// The filters of a graph with the names the graph gave them. A name already in use gets the
// first free suffix " 0001", " 0002", ...; a missing name is made up. Enumeration gives the
// most recently added filter first, as the framework does.
// Order of use: Add / Remove as filters come and go; Items, Find, NameOf at any time. Version
// changes with every change, so enumerators made earlier know they are out of date.
// Threading: any thread; a lock of its own, never held while a filter is called.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/media/graph/SnapshotEnumerator.h"
#include "platform/media/strmif.h"

class GraphFilterList : public EnumerationSource<ComPtr<IBaseFilter>> {
public:
    // S_OK with `wanted` (cut to the longest name a filter may have), VFW_S_DUPLICATE_NAME
    // with another name, VFW_E_DUPLICATE_NAME when no suffix is free, E_INVALIDARG when the
    // filter is in the list already. `given` receives the name.
    HRESULT Add(IBaseFilter* filter, std::u16string_view wanted, std::u16string* given);
    bool Remove(IBaseFilter* filter);
    bool Contains(IBaseFilter* filter) const;
    ComPtr<IBaseFilter> Find(std::u16string_view name) const;
    bool NameOf(IBaseFilter* filter, std::u16string* name) const;
    size_t Size() const;

    uint64_t Version() const override;
    std::vector<ComPtr<IBaseFilter>> Items() const override;

    // The name Add would give `wanted` now; false when none is free.
    bool UniqueName(std::u16string_view wanted, std::u16string* name) const;

private:
    struct Entry {
        ComPtr<IBaseFilter> filter;
        std::u16string name;
    };

    bool NameTakenLocked(std::u16string_view name) const;
    bool UniqueNameLocked(std::u16string_view wanted, std::u16string* name) const;

    mutable std::mutex m_mutex;
    std::vector<Entry> m_entries;  // newest first
    uint64_t m_version = 0;
};
