#include "platform/media/dmo/DmoEnumerator.h"

#include <algorithm>
#include <new>
#include <utility>

#include "platform/com/objbase.h"

DmoEnumerator::DmoEnumerator(std::shared_ptr<const std::vector<Item>> items, size_t position)
    : CUnknown("DMO enumerator"), m_items(std::move(items)), m_position(position) {}

IEnumDMO* DmoEnumerator::Create(std::vector<Item> items) {
    std::shared_ptr<const std::vector<Item>> shared(new (std::nothrow)
                                                        std::vector<Item>(std::move(items)));
    if (!shared) return nullptr;
    auto* enumerator = new (std::nothrow) DmoEnumerator(std::move(shared), 0);
    if (!enumerator) return nullptr;
    enumerator->NonDelegatingAddRef();
    return enumerator;
}

HRESULT DmoEnumerator::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IEnumDMO)) return GetInterface(static_cast<IEnumDMO*>(this), object);
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

WCHAR* DmoEnumerator::CopyName(const std::u16string& name) {
    auto* copy = static_cast<WCHAR*>(CoTaskMemAlloc((name.size() + 1) * sizeof(WCHAR)));
    if (!copy) return nullptr;
    std::copy(name.begin(), name.end(), copy);
    copy[name.size()] = 0;
    return copy;
}

HRESULT DmoEnumerator::Next(DWORD count, CLSID* clsids, WCHAR** names, DWORD* fetched) {
    if (!clsids || (!fetched && count != 1)) return E_POINTER;
    DWORD done = 0;
    while (done < count && m_position < m_items->size()) {
        const Item& item = (*m_items)[m_position];
        if (names) {
            names[done] = CopyName(item.name);
            if (!names[done]) {
                // The caller owns only what `fetched` reports: give back this call's names.
                for (DWORD i = 0; i < done; ++i)
                    CoTaskMemFree(names[i]);
                m_position -= done;
                if (fetched) *fetched = 0;
                return E_OUTOFMEMORY;
            }
        }
        clsids[done] = item.clsid;
        ++done;
        ++m_position;
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

HRESULT DmoEnumerator::Skip(DWORD count) {
    const size_t left = m_items->size() - m_position;
    const size_t skipped = std::min<size_t>(count, left);
    m_position += skipped;
    return skipped == count ? S_OK : S_FALSE;
}

HRESULT DmoEnumerator::Reset() {
    m_position = 0;
    return S_OK;
}

HRESULT DmoEnumerator::Clone(IEnumDMO** clone) {
    if (!clone) return E_POINTER;
    auto* copy = new (std::nothrow) DmoEnumerator(m_items, m_position);
    if (!copy) {
        *clone = nullptr;
        return E_OUTOFMEMORY;
    }
    copy->NonDelegatingAddRef();
    *clone = copy;
    return S_OK;
}
