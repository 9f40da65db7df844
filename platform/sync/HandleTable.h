// The process's handle table: maps HANDLE values to the objects behind them. Values are never
// reused, so a stale handle finds nothing instead of somebody else's object.
// Order of use: Insert when an object is made, Find for every call on a handle, Erase on
// CloseHandle.
// Threading: any thread; one lock of its own, never held while waiting.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/sync/KernelObject.h"
#include "platform/sync/sync.h"

class HandleTable {
public:
    static HandleTable& Instance();

    HANDLE Insert(std::shared_ptr<KernelObject> object);
    std::shared_ptr<KernelObject> Find(HANDLE handle) const;
    bool Erase(HANDLE handle);

private:
    HandleTable() = default;

    mutable std::mutex m_mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> m_objects;
    uintptr_t m_next = 0x100;
};
