#include "platform/media/graph/GraphFilterList.h"

#include <algorithm>

namespace {

// A filter's name holds at most MAX_FILTER_NAME - 1 units before its terminator.
constexpr size_t kMaxName = MAX_FILTER_NAME - 1;
constexpr size_t kSuffixLength = 5;  // " 0001"
constexpr int kMaxSuffix = 9999;
constexpr char16_t kMadeUpName[] = u"Filter";

std::u16string Suffix(int number) {
    std::u16string suffix = u" 0000";
    for (size_t at = suffix.size() - 1; number > 0; --at, number /= 10) {
        suffix[at] = static_cast<char16_t>(u'0' + number % 10);
    }
    return suffix;
}

}  // namespace

HRESULT GraphFilterList::Add(IBaseFilter* filter, std::u16string_view wanted,
                             std::u16string* given) {
    if (!filter || !given) return E_POINTER;
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool present = std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& entry) {
        return entry.filter.Get() == filter;
    });
    if (present) return E_INVALIDARG;
    std::u16string name;
    if (!UniqueNameLocked(wanted, &name)) return VFW_E_DUPLICATE_NAME;
    const bool renamed = !wanted.empty() && name != wanted.substr(0, kMaxName);
    m_entries.insert(m_entries.begin(), Entry{ComPtr<IBaseFilter>(filter), name});
    ++m_version;
    *given = std::move(name);
    return renamed ? VFW_S_DUPLICATE_NAME : S_OK;
}

bool GraphFilterList::Remove(IBaseFilter* filter) {
    ComPtr<IBaseFilter> released;  // let go after the lock
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& entry) {
        return entry.filter.Get() == filter;
    });
    if (found == m_entries.end()) return false;
    released = std::move(found->filter);
    m_entries.erase(found);
    ++m_version;
    return true;
}

bool GraphFilterList::Contains(IBaseFilter* filter) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const Entry& entry) { return entry.filter.Get() == filter; });
}

ComPtr<IBaseFilter> GraphFilterList::Find(std::u16string_view name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Entry& entry : m_entries) {
        if (entry.name == name) return entry.filter;
    }
    return nullptr;
}

bool GraphFilterList::NameOf(IBaseFilter* filter, std::u16string* name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Entry& entry : m_entries) {
        if (entry.filter.Get() == filter) {
            *name = entry.name;
            return true;
        }
    }
    return false;
}

size_t GraphFilterList::Size() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries.size();
}

uint64_t GraphFilterList::Version() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_version;
}

std::vector<ComPtr<IBaseFilter>> GraphFilterList::Items() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<ComPtr<IBaseFilter>> items;
    items.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        items.push_back(entry.filter);
    return items;
}

bool GraphFilterList::UniqueName(std::u16string_view wanted, std::u16string* name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return UniqueNameLocked(wanted, name);
}

bool GraphFilterList::NameTakenLocked(std::u16string_view name) const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const Entry& entry) { return entry.name == name; });
}

bool GraphFilterList::UniqueNameLocked(std::u16string_view wanted, std::u16string* name) const {
    const std::u16string_view base = wanted.empty() ? std::u16string_view(kMadeUpName) : wanted;
    if (!NameTakenLocked(base.substr(0, kMaxName))) {
        *name = std::u16string(base.substr(0, kMaxName));
        return true;
    }
    // Room for the suffix: "Very long name... 0001" still fits.
    const std::u16string stem(base.substr(0, kMaxName - kSuffixLength));
    for (int number = 1; number <= kMaxSuffix; ++number) {
        std::u16string candidate = stem + Suffix(number);
        if (!NameTakenLocked(candidate)) {
            *name = std::move(candidate);
            return true;
        }
    }
    return false;
}
