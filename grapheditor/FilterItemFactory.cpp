#include "grapheditor/FilterItemFactory.h"

#include "catalogue/CatalogueEntry.h"
#include "catalogue/TextHelpers.h"
#include "platform/com/ComPtr.h"
#include "platform/com/objbase.h"
#include "platform/media/dmodshow.h"
#include "platform/media/strmif.h"
#include "platform/media/uuids.h"

namespace {

// The DMO of `entry` inside a DMO wrapper filter; null when any step fails.
ComPtr<IUnknown> WrapDmo(const CatalogueEntry& entry) {
    ComPtr<IBaseFilter> wrapper;
    if (FAILED(CoCreateInstance(CLSID_DMOWrapperFilter, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(wrapper.GetAddressOf())))) {
        return nullptr;
    }
    const CLSID dmo = ClassIdFromText(entry.clsid);
    const CLSID category = ClassIdFromText(entry.category);
    ComPtr<IDMOWrapperFilter> init;
    if (FAILED(wrapper.As(&init)) || FAILED(init->Init(dmo, category))) return nullptr;
    ComPtr<IUnknown> object;
    if (FAILED(wrapper.As(&object))) return nullptr;
    return object;
}

}  // namespace

std::unique_ptr<FilterItem> CreateFilterItem(CatalogueEntry* entry) {
    if (!entry) return nullptr;
    ComPtr<IUnknown> object;
    if (entry->isDmo) object = WrapDmo(*entry);
    if (!object) {
        const CLSID clsid = ClassIdFromText(entry->clsid);
        if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(object.ReleaseAndGetAddressOf())))) {
            object = nullptr;
        }
    }
    if (!object) return nullptr;
    return std::make_unique<FilterItem>(entry, std::move(object));
}

std::unique_ptr<FilterItem> WrapFilter(CatalogueEntry* entry, IUnknown* filter) {
    if (!filter) return nullptr;
    ComPtr<IUnknown> object;
    if (FAILED(filter->QueryInterface(IID_PPV_ARGS(object.GetAddressOf()))) || !object) {
        return nullptr;
    }
    return std::make_unique<FilterItem>(entry, std::move(object));
}
