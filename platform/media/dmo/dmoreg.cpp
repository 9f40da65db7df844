// The DMO registration functions over DmoRegistry.
#include "platform/media/dmoreg.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/media/dmo/DmoEnumerator.h"
#include "platform/media/dmo/DmoRegistry.h"
#include "platform/media/graph/WideText.h"

namespace {

// A list of `count` types; false when `count` is not 0 and the pointer is null.
bool TypeList(DWORD count, const DMO_PARTIAL_MEDIATYPE* types,
              std::vector<DMO_PARTIAL_MEDIATYPE>* list) {
    if (count && !types) return false;
    list->assign(types, types + count);
    return true;
}

HRESULT CopyTypes(const std::vector<DMO_PARTIAL_MEDIATYPE>& types, ULONG max_count, ULONG* count,
                  DMO_PARTIAL_MEDIATYPE* out) {
    const ULONG copied = static_cast<ULONG>(std::min<size_t>(types.size(), max_count));
    if (copied && !out) return E_POINTER;
    std::copy_n(types.begin(), copied, out);
    *count = copied;
    return S_OK;
}

}  // namespace

HRESULT DMORegister(LPCWSTR name, REFCLSID clsid, REFGUID category, DWORD flags,
                    DWORD input_type_count, const DMO_PARTIAL_MEDIATYPE* input_types,
                    DWORD output_type_count, const DMO_PARTIAL_MEDIATYPE* output_types) {
    if (!name) return E_POINTER;
    DmoRecord record;
    record.clsid = clsid;
    record.name = WideView(name);
    record.keyed = (flags & DMO_REGISTERF_IS_KEYED) != 0;
    if (!TypeList(input_type_count, input_types, &record.input_types) ||
        !TypeList(output_type_count, output_types, &record.output_types)) {
        return E_POINTER;
    }
    return DmoRegistry::Write(record, category);
}

HRESULT DMOUnregister(REFCLSID clsid, REFGUID category) {
    return DmoRegistry::Remove(clsid, category);
}

HRESULT DMOEnum(REFGUID category, DWORD flags, DWORD input_type_count,
                const DMO_PARTIAL_MEDIATYPE* input_types, DWORD output_type_count,
                const DMO_PARTIAL_MEDIATYPE* output_types, IEnumDMO** enumerator) {
    if (!enumerator) return E_POINTER;
    *enumerator = nullptr;
    DmoCriteria criteria;
    criteria.include_keyed = (flags & DMO_ENUMF_INCLUDE_KEYED) != 0;
    if (!TypeList(input_type_count, input_types, &criteria.input_types) ||
        !TypeList(output_type_count, output_types, &criteria.output_types)) {
        return E_POINTER;
    }
    std::vector<DmoEnumerator::Item> items;
    for (DmoRecord& record : DmoRegistry::Find(category, criteria)) {
        items.push_back({record.clsid, std::move(record.name)});
    }
    *enumerator = DmoEnumerator::Create(std::move(items));
    return *enumerator ? S_OK : E_OUTOFMEMORY;
}

HRESULT DMOGetTypes(REFCLSID clsid, ULONG max_input_types, ULONG* input_type_count,
                    DMO_PARTIAL_MEDIATYPE* input_types, ULONG max_output_types,
                    ULONG* output_type_count, DMO_PARTIAL_MEDIATYPE* output_types) {
    if (!input_type_count || !output_type_count) return E_POINTER;
    DmoRecord record;
    if (!DmoRegistry::Read(clsid, &record)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    const HRESULT hr =
        CopyTypes(record.input_types, max_input_types, input_type_count, input_types);
    if (FAILED(hr)) return hr;
    return CopyTypes(record.output_types, max_output_types, output_type_count, output_types);
}

HRESULT DMOGetName(REFCLSID clsid, WCHAR name[kDmoNameUnits]) {
    if (!name) return E_POINTER;
    DmoRecord record;
    if (!DmoRegistry::Read(clsid, &record)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    const size_t units = std::min<size_t>(record.name.size(), kDmoNameUnits - 1);
    std::copy_n(record.name.begin(), units, name);
    name[units] = 0;
    return S_OK;
}
