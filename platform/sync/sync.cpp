#include "platform/sync/sync.h"

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/sync/HandleTable.h"
#include "platform/sync/KernelObject.h"

namespace {

std::shared_ptr<KernelObject> FindEvent(HANDLE handle) {
    auto object = HandleTable::Instance().Find(handle);
    if (!object || object->GetKind() != KernelObject::Kind::Event) return nullptr;
    return object;
}

bool HasDuplicates(const std::vector<std::shared_ptr<KernelObject>>& objects) {
    for (size_t i = 0; i < objects.size(); ++i) {
        for (size_t j = i + 1; j < objects.size(); ++j) {
            if (objects[i] == objects[j]) return true;
        }
    }
    return false;
}

}  // namespace

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES /*security*/, BOOL manual_reset, BOOL initial_state,
                    LPCSTR /*name*/) {
    return HandleTable::Instance().Insert(std::make_shared<KernelObject>(
        KernelObject::Kind::Event, manual_reset != FALSE, initial_state != FALSE));
}

BOOL SetEvent(HANDLE event) {
    const auto object = FindEvent(event);
    if (!object) return FALSE;
    object->Signal();
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    const auto object = FindEvent(event);
    if (!object) return FALSE;
    object->Reset();
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all,
                             DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) return WAIT_FAILED;
    // The wait holds its own references: closing a handle meanwhile does not pull the object
    // from under it.
    std::vector<std::shared_ptr<KernelObject>> objects;
    objects.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        auto object = HandleTable::Instance().Find(handles[i]);
        if (!object) return WAIT_FAILED;
        objects.push_back(std::move(object));
    }
    // Windows refuses one object twice in a wait for all: it could not be taken twice.
    if (wait_all && HasDuplicates(objects)) return WAIT_FAILED;
    return KernelObject::Wait(objects, wait_all != FALSE, milliseconds);
}

BOOL CloseHandle(HANDLE handle) {
    return HandleTable::Instance().Erase(handle) ? TRUE : FALSE;
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

void InitializeCriticalSection(LPCRITICAL_SECTION /*section*/) {}

void EnterCriticalSection(LPCRITICAL_SECTION section) {
    if (!section) return;
    section->mutex.lock();
    if (section->recursion_count++ == 0) section->owner.store(std::this_thread::get_id());
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    if (!section || !section->mutex.try_lock()) return FALSE;
    if (section->recursion_count++ == 0) section->owner.store(std::this_thread::get_id());
    return TRUE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION section) {
    if (!section || section->owner.load() != std::this_thread::get_id()) return;
    if (--section->recursion_count == 0) section->owner.store(std::thread::id());
    section->mutex.unlock();
}

void DeleteCriticalSection(LPCRITICAL_SECTION /*section*/) {}
