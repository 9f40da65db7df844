// A COM enumerator (IEnumFilters, IEnumMoniker, IEnumRegFilters: Next, Skip, Reset, Clone)
// over a copy of the items taken when it was made. Given a source, it notices when the set
// has changed since (Next answers VFW_E_ENUM_OUT_OF_SYNC) and Reset takes a fresh copy.
// `HandOut` turns an item into what Next gives the caller (an AddRef'ed pointer, a task
// memory block): bool HandOut(const Item&, Out*).
// Order of use: Create, then Next until it returns S_FALSE; Release.
// Threading: one enumerator per thread (as with any enumerator); the source locks itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <new>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/media/strmif.h"

template <typename Item>
class EnumerationSource {
public:
    virtual uint64_t Version() const = 0;
    virtual std::vector<Item> Items() const = 0;
    virtual ~EnumerationSource() = default;
};

template <typename Interface, typename Item, typename Out, bool (*HandOut)(const Item&, Out*)>
class SnapshotEnumerator : public Interface {
public:
    // `keep_alive` holds the source's owner for the enumerator's lifetime; `source` may be null
    // for a fixed set.
    static HRESULT Create(std::vector<Item> items, ComPtr<IUnknown> keep_alive,
                          const EnumerationSource<Item>* source, Interface** out) {
        if (!out) return E_POINTER;
        auto* made =
            new (std::nothrow) SnapshotEnumerator(std::move(items), std::move(keep_alive), source);
        *out = made;
        return made ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IidOf<Interface>()) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }

    HRESULT Next(ULONG count, Out* items, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (!items || (count > 1 && !fetched)) return E_POINTER;
        if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
        ULONG given = 0;
        while (given < count && m_position < m_items.size()) {
            if (!HandOut(m_items[m_position], &items[given])) break;
            ++m_position;
            ++given;
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG count) override {
        if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
        const size_t left = m_items.size() - m_position;
        if (count > left) {
            m_position = m_items.size();
            return S_FALSE;
        }
        m_position += count;
        return S_OK;
    }
    HRESULT Reset() override {
        if (m_source) {
            m_version = m_source->Version();
            m_items = m_source->Items();
        }
        m_position = 0;
        return S_OK;
    }
    HRESULT Clone(Interface** clone) override {
        if (!clone) return E_POINTER;
        *clone = nullptr;
        auto* made = new (std::nothrow) SnapshotEnumerator(m_items, m_keep_alive, m_source);
        if (!made) return E_OUTOFMEMORY;
        made->m_version = m_version;
        made->m_position = m_position;
        *clone = made;
        return S_OK;
    }

private:
    SnapshotEnumerator(std::vector<Item> items, ComPtr<IUnknown> keep_alive,
                       const EnumerationSource<Item>* source)
        : m_items(std::move(items)),
          m_keep_alive(std::move(keep_alive)),
          m_source(source),
          m_version(source ? source->Version() : 0) {}
    virtual ~SnapshotEnumerator() = default;

    bool OutOfSync() const { return m_source && m_source->Version() != m_version; }

    std::vector<Item> m_items;
    const ComPtr<IUnknown> m_keep_alive;
    const EnumerationSource<Item>* const m_source;
    uint64_t m_version;
    size_t m_position = 0;
    std::atomic<ULONG> m_references{1};
};

// Hands out an interface pointer with a reference of the caller's own.
template <typename Interface>
bool HandOutInterface(const ComPtr<Interface>& item, Interface** out) {
    *out = item.Get();
    if (*out) (*out)->AddRef();
    return true;
}
