// The filter mapper: CLSID_FilterMapper2 (IFilterMapper2, and IFilterMapper beside it) and the
// older CLSID_FilterMapper (IFilterMapper). Registering a filter writes its instance key in a
// category (CLSID_LegacyAmFilterCategory unless another is given) with "FriendlyName", "CLSID"
// and the "FilterData" record of merit, pins and media types; the older interface also names
// the class key (HKEY_CLASSES_ROOT\CLSID\{clsid}, default value) and builds the record pin by
// pin. Unregistering what is not registered answers HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND).
// EnumMatchingFilters searches the records, highest merit first. Pin mediums and pin
// categories are not recorded, so a search that asks for them finds nothing.
// Order of use: CoCreateInstance, then any method; Release.
// Threading: any thread (the registry serialises itself).
#pragma once

#include <atomic>

#include "platform/media/graph/FilterRegistry.h"
#include "platform/media/strmif.h"

class FilterMapper : public IFilterMapper2, public IFilterMapper {
public:
    // A class factory's CreateInstance (for both class identifiers): no aggregation.
    static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IFilterMapper2
    HRESULT CreateCategory(REFCLSID category, DWORD category_merit, LPCWSTR description) override;
    HRESULT UnregisterFilter(const CLSID* category, LPCOLESTR instance, REFCLSID filter) override;
    HRESULT RegisterFilter(REFCLSID filter, LPCWSTR name, IMoniker** moniker, const CLSID* category,
                           LPCOLESTR instance, const REGFILTER2* registration) override;
    HRESULT EnumMatchingFilters(IEnumMoniker** filters, DWORD flags, BOOL exact_match, DWORD merit,
                                BOOL input_needed, DWORD input_type_count, const GUID* input_types,
                                const REGPINMEDIUM* input_medium, const CLSID* input_category,
                                BOOL render, BOOL output_needed, DWORD output_type_count,
                                const GUID* output_types, const REGPINMEDIUM* output_medium,
                                const CLSID* output_category) override;

    // IFilterMapper. Instances of the older kind are not supported (E_NOTIMPL).
    HRESULT RegisterFilter(CLSID clsid, LPCWSTR name, DWORD merit) override;
    HRESULT RegisterFilterInstance(CLSID clsid, LPCWSTR name, CLSID* instance_id) override;
    HRESULT RegisterPin(CLSID filter, LPCWSTR name, BOOL rendered, BOOL output, BOOL zero,
                        BOOL many, CLSID connects_to_filter, LPCWSTR connects_to_pin) override;
    HRESULT RegisterPinType(CLSID filter, LPCWSTR pin_name, CLSID major_type,
                            CLSID sub_type) override;
    HRESULT UnregisterFilter(CLSID filter) override;
    HRESULT UnregisterFilterInstance(CLSID instance_id) override;
    HRESULT UnregisterPin(CLSID filter, LPCWSTR name) override;
    HRESULT EnumMatchingFilters(IEnumRegFilters** filters, DWORD merit, BOOL input_needed,
                                CLSID input_major, CLSID input_sub, BOOL render, BOOL output_needed,
                                CLSID output_major, CLSID output_sub) override;

private:
    FilterMapper() = default;
    virtual ~FilterMapper() = default;

    // Reads, changes and writes back the default category's record of `filter`.
    template <typename Change>
    HRESULT UpdateRecord(REFCLSID filter, Change change);

    std::atomic<ULONG> m_references{1};
};
