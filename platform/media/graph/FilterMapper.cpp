#include "platform/media/graph/FilterMapper.h"

#include <algorithm>
#include <new>

#include "platform/com/objbase.h"
#include "platform/media/graph/FilterMoniker.h"
#include "platform/media/graph/RegKey.h"
#include "platform/media/graph/SnapshotEnumerator.h"
#include "platform/media/graph/WideText.h"
#include "platform/media/uuids.h"

namespace {

// Bounds a registration record may not pass (they keep FilterData small and sane).
constexpr ULONG kMaxPins = 256;
constexpr UINT kMaxTypes = 1024;

const HRESULT kNotRegistered = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

GUID GuidOr(const CLSID* guid) {
    return guid ? *guid : GUID_NULL;
}

bool ReadTypes(UINT count, const REGPINTYPES* types, std::vector<RegisteredMediaType>* out) {
    if (count > kMaxTypes || (count > 0 && !types)) return false;
    for (UINT i = 0; i < count; ++i) {
        out->push_back(
            RegisteredMediaType{GuidOr(types[i].clsMajorType), GuidOr(types[i].clsMinorType)});
    }
    return true;
}

bool ReadPinsVersion1(const REGFILTER2& registration, FilterRecord* record) {
    if (registration.cPins > kMaxPins || (registration.cPins > 0 && !registration.rgPins)) {
        return false;
    }
    for (ULONG i = 0; i < registration.cPins; ++i) {
        const REGFILTERPINS& source = registration.rgPins[i];
        RegisteredPin pin;
        pin.name = std::u16string(WideView(source.strName));
        pin.rendered = source.bRendered;
        pin.output = source.bOutput;
        pin.zero = source.bZero;
        pin.many = source.bMany;
        pin.connects_to_filter = GuidOr(source.clsConnectsToFilter);
        pin.connects_to_pin = std::u16string(WideView(source.strConnectsToPin));
        if (!ReadTypes(source.nMediaTypes, source.lpMediaType, &pin.types)) return false;
        record->pins.push_back(std::move(pin));
    }
    return true;
}

bool ReadPinsVersion2(const REGFILTER2& registration, FilterRecord* record) {
    if (registration.cPins2 > kMaxPins || (registration.cPins2 > 0 && !registration.rgPins2)) {
        return false;
    }
    for (ULONG i = 0; i < registration.cPins2; ++i) {
        const REGFILTERPINS2& source = registration.rgPins2[i];
        RegisteredPin pin;
        pin.rendered = source.dwFlags & REG_PINFLAG_B_RENDERER;
        pin.output = source.dwFlags & REG_PINFLAG_B_OUTPUT;
        pin.zero = source.dwFlags & REG_PINFLAG_B_ZERO;
        pin.many = source.dwFlags & REG_PINFLAG_B_MANY;
        if (!ReadTypes(source.nMediaTypes, source.lpMediaType, &pin.types)) return false;
        record->pins.push_back(std::move(pin));
    }
    return true;
}

HRESULT RecordFrom(const REGFILTER2& registration, FilterRecord* record) {
    record->merit = registration.dwMerit;
    if (registration.dwVersion == 1) {
        return ReadPinsVersion1(registration, record) ? S_OK : E_INVALIDARG;
    }
    if (registration.dwVersion == 2) {
        return ReadPinsVersion2(registration, record) ? S_OK : E_INVALIDARG;
    }
    return E_INVALIDARG;
}

std::vector<RegisteredMediaType> TypePairs(DWORD count, const GUID* types) {
    std::vector<RegisteredMediaType> pairs;
    for (DWORD i = 0; types && i < count; ++i) {
        pairs.push_back(RegisteredMediaType{types[2 * i], types[2 * i + 1]});
    }
    return pairs;
}

bool HandOutRegFilter(const RegisteredFilter& filter, REGFILTER** out) {
    const std::u16string name = WideFromUtf8(filter.friendly_name);
    const size_t size = sizeof(REGFILTER) + (name.size() + 1) * sizeof(WCHAR);
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(size));
    if (!block) return false;
    auto* record = reinterpret_cast<REGFILTER*>(block);
    record->Clsid = filter.clsid;
    record->Name = reinterpret_cast<LPWSTR>(block + sizeof(REGFILTER));
    std::copy(name.begin(), name.end(), record->Name);
    record->Name[name.size()] = 0;
    *out = record;
    return true;
}

using MonikerEnumerator =
    SnapshotEnumerator<IEnumMoniker, ComPtr<IMoniker>, IMoniker*, HandOutInterface<IMoniker>>;
using RegFilterEnumerator =
    SnapshotEnumerator<IEnumRegFilters, RegisteredFilter, REGFILTER*, HandOutRegFilter>;

}  // namespace

HRESULT FilterMapper::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* mapper = new (std::nothrow) FilterMapper();
    if (!mapper) return E_OUTOFMEMORY;
    const HRESULT hr = mapper->QueryInterface(iid, object);
    mapper->Release();
    return hr;
}

HRESULT FilterMapper::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IFilterMapper2) {
        *object = static_cast<IFilterMapper2*>(this);
    } else if (iid == IID_IFilterMapper) {
        *object = static_cast<IFilterMapper*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG FilterMapper::AddRef() {
    return ++m_references;
}

ULONG FilterMapper::Release() {
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
}

HRESULT FilterMapper::CreateCategory(REFCLSID category, DWORD category_merit, LPCWSTR description) {
    RegKey key;
    LONG status =
        key.Create(HKEY_CLASSES_ROOT, FilterRegistry::InstancePath(CLSID_ActiveMovieCategories) +
                                          "\\" + FilterRegistry::GuidText(category));
    if (status == ERROR_SUCCESS) {
        status = key.SetString("FriendlyName", Utf8FromWide(WideView(description)));
    }
    if (status == ERROR_SUCCESS)
        status = key.SetString("CLSID", FilterRegistry::GuidText(category));
    if (status == ERROR_SUCCESS) status = key.SetDword("Merit", category_merit);
    return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

HRESULT FilterMapper::UnregisterFilter(const CLSID* category, LPCOLESTR instance, REFCLSID filter) {
    const std::string key_name =
        instance ? Utf8FromWide(instance) : FilterRegistry::GuidText(filter);
    return FilterRegistry::Erase(category ? *category : CLSID_LegacyAmFilterCategory, key_name,
                                 filter);
}

HRESULT FilterMapper::RegisterFilter(REFCLSID filter, LPCWSTR name, IMoniker** moniker,
                                     const CLSID* category, LPCOLESTR instance,
                                     const REGFILTER2* registration) {
    if (moniker) *moniker = nullptr;
    if (!name || !registration) return E_POINTER;
    FilterRecord record;
    HRESULT hr = RecordFrom(*registration, &record);
    if (FAILED(hr)) return hr;
    const std::string key_name =
        instance ? Utf8FromWide(instance) : FilterRegistry::GuidText(filter);
    hr = FilterRegistry::Write(category ? *category : CLSID_LegacyAmFilterCategory, key_name,
                               filter, Utf8FromWide(name), record);
    if (SUCCEEDED(hr) && moniker) hr = FilterMoniker::Create(filter, moniker);
    return hr;
}

HRESULT FilterMapper::EnumMatchingFilters(
    IEnumMoniker** filters, DWORD /*flags*/, BOOL exact_match, DWORD merit, BOOL input_needed,
    DWORD input_type_count, const GUID* input_types, const REGPINMEDIUM* input_medium,
    const CLSID* input_category, BOOL render, BOOL output_needed, DWORD output_type_count,
    const GUID* output_types, const REGPINMEDIUM* output_medium, const CLSID* output_category) {
    if (!filters) return E_POINTER;
    *filters = nullptr;
    std::vector<ComPtr<IMoniker>> monikers;
    const bool asks_unrecorded = input_medium || input_category || output_medium || output_category;
    if (!asks_unrecorded) {
        FilterCriteria criteria;
        criteria.min_merit = merit;
        criteria.exact_match = exact_match;
        criteria.input_needed = input_needed;
        criteria.input_types = TypePairs(input_type_count, input_types);
        criteria.render = render;
        criteria.output_needed = output_needed;
        criteria.output_types = TypePairs(output_type_count, output_types);
        for (const RegisteredFilter& found : FilterRegistry::Find(criteria)) {
            ComPtr<IMoniker> moniker;
            if (SUCCEEDED(FilterMoniker::Create(found.clsid, moniker.GetAddressOf()))) {
                monikers.push_back(std::move(moniker));
            }
        }
    }
    return MonikerEnumerator::Create(std::move(monikers), nullptr, nullptr, filters);
}

HRESULT FilterMapper::RegisterFilter(CLSID clsid, LPCWSTR name, DWORD merit) {
    if (!name) return E_POINTER;
    const std::string text = Utf8FromWide(name);
    RegKey key;
    LONG status = key.Create(HKEY_CLASSES_ROOT, "CLSID\\" + FilterRegistry::GuidText(clsid));
    if (status == ERROR_SUCCESS) status = key.SetString(nullptr, text);
    if (status == ERROR_SUCCESS) status = key.SetDword("Merit", merit);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
    // Pins registered before stay with the filter.
    RegisteredFilter existing;
    FilterRecord record;
    if (FilterRegistry::Read(CLSID_LegacyAmFilterCategory, FilterRegistry::GuidText(clsid),
                             &existing) &&
        existing.has_record) {
        record = existing.record;
    }
    record.merit = merit;
    return FilterRegistry::Write(CLSID_LegacyAmFilterCategory, FilterRegistry::GuidText(clsid),
                                 clsid, text, record);
}

HRESULT FilterMapper::RegisterFilterInstance(CLSID /*clsid*/, LPCWSTR /*name*/,
                                             CLSID* instance_id) {
    if (instance_id) *instance_id = GUID_NULL;
    return E_NOTIMPL;
}

HRESULT FilterMapper::RegisterPin(CLSID filter, LPCWSTR name, BOOL rendered, BOOL output, BOOL zero,
                                  BOOL many, CLSID connects_to_filter, LPCWSTR connects_to_pin) {
    if (!name) return E_POINTER;
    RegisteredPin pin;
    pin.name = std::u16string(name);
    pin.rendered = rendered;
    pin.output = output;
    pin.zero = zero;
    pin.many = many;
    pin.connects_to_filter = connects_to_filter;
    pin.connects_to_pin = std::u16string(WideView(connects_to_pin));
    return UpdateRecord(filter, [&](FilterRecord& record) {
        auto& pins = record.pins;
        pins.erase(std::remove_if(pins.begin(), pins.end(),
                                  [&](const RegisteredPin& p) { return p.name == pin.name; }),
                   pins.end());
        if (pins.size() >= kMaxPins) return E_INVALIDARG;
        pins.push_back(pin);
        return S_OK;
    });
}

HRESULT FilterMapper::RegisterPinType(CLSID filter, LPCWSTR pin_name, CLSID major_type,
                                      CLSID sub_type) {
    if (!pin_name) return E_POINTER;
    const std::u16string wanted(pin_name);
    return UpdateRecord(filter, [&](FilterRecord& record) {
        for (RegisteredPin& pin : record.pins) {
            if (pin.name != wanted) continue;
            if (pin.types.size() >= kMaxTypes) return E_INVALIDARG;
            pin.types.push_back(RegisteredMediaType{major_type, sub_type});
            return S_OK;
        }
        return VFW_E_NOT_FOUND;
    });
}

HRESULT FilterMapper::UnregisterFilter(CLSID filter) {
    return FilterRegistry::Erase(CLSID_LegacyAmFilterCategory, FilterRegistry::GuidText(filter),
                                 filter);
}

HRESULT FilterMapper::UnregisterFilterInstance(CLSID /*instance_id*/) {
    return E_NOTIMPL;
}

HRESULT FilterMapper::UnregisterPin(CLSID filter, LPCWSTR name) {
    if (!name) return E_POINTER;
    const std::u16string wanted(name);
    return UpdateRecord(filter, [&](FilterRecord& record) {
        auto& pins = record.pins;
        const auto kept = std::remove_if(pins.begin(), pins.end(),
                                         [&](const RegisteredPin& p) { return p.name == wanted; });
        if (kept == pins.end()) return VFW_E_NOT_FOUND;
        pins.erase(kept, pins.end());
        return S_OK;
    });
}

HRESULT FilterMapper::EnumMatchingFilters(IEnumRegFilters** filters, DWORD merit, BOOL input_needed,
                                          CLSID input_major, CLSID input_sub, BOOL render,
                                          BOOL output_needed, CLSID output_major,
                                          CLSID output_sub) {
    if (!filters) return E_POINTER;
    *filters = nullptr;
    FilterCriteria criteria;
    criteria.min_merit = merit;
    criteria.input_needed = input_needed;
    criteria.input_types = {RegisteredMediaType{input_major, input_sub}};
    criteria.render = render;
    criteria.output_needed = output_needed;
    criteria.output_types = {RegisteredMediaType{output_major, output_sub}};
    return RegFilterEnumerator::Create(FilterRegistry::Find(criteria), nullptr, nullptr, filters);
}

template <typename Change>
HRESULT FilterMapper::UpdateRecord(REFCLSID filter, Change change) {
    const std::string key_name = FilterRegistry::GuidText(filter);
    RegisteredFilter registered;
    if (!FilterRegistry::Read(CLSID_LegacyAmFilterCategory, key_name, &registered)) {
        return kNotRegistered;
    }
    const HRESULT changed = change(registered.record);
    if (FAILED(changed)) return changed;
    return FilterRegistry::Write(CLSID_LegacyAmFilterCategory, key_name, filter,
                                 registered.friendly_name, registered.record);
}
