#include "platform/sync/HandleTable.h"

#include <utility>

HandleTable& HandleTable::Instance() {
    // Never destroyed: detached threads may still close handles while the process exits.
    static auto* table = new HandleTable;
    return *table;
}

HANDLE HandleTable::Insert(std::shared_ptr<KernelObject> object) {
    std::lock_guard<std::mutex> lock(m_mutex);
    // Multiples of 4 like Windows' handles; never 0 and never INVALID_HANDLE_VALUE.
    const uintptr_t value = m_next;
    m_next += 4;
    m_objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> HandleTable::Find(HANDLE handle) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_objects.find(reinterpret_cast<uintptr_t>(handle));
    return found == m_objects.end() ? nullptr : found->second;
}

bool HandleTable::Erase(HANDLE handle) {
    std::shared_ptr<KernelObject> last;  // released after the lock, its destructor may be long
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found == m_objects.end()) return false;
    last = std::move(found->second);
    m_objects.erase(found);
    return true;
}
