#include "platform/sync/KernelObject.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

#include "platform/sync/sync.h"

namespace {

using Clock = std::chrono::steady_clock;

// Never destroyed: a detached thread may still signal its handle while the process exits.
std::mutex& WaitLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

}  // namespace

struct KernelObject::Waiter {
    std::condition_variable wake;
};

// Puts a waiter on the lists of the objects it waits on, and takes it off again on every
// way out of the wait. Lives under the wait lock.
class KernelObject::Registration {
public:
    Registration(std::span<const std::shared_ptr<KernelObject>> objects, Waiter* waiter)
        : m_objects(objects), m_waiter(waiter) {
        for (const auto& object : m_objects)
            object->m_waiters.push_back(m_waiter);
    }
    ~Registration() {
        for (const auto& object : m_objects)
            std::erase(object->m_waiters, m_waiter);
    }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

private:
    std::span<const std::shared_ptr<KernelObject>> m_objects;
    Waiter* m_waiter;
};

KernelObject::KernelObject(Kind kind, bool manual_reset, bool signalled)
    : m_kind(kind), m_manual_reset(manual_reset), m_signalled(signalled) {}

KernelObject::~KernelObject() = default;

void KernelObject::Signal() {
    std::lock_guard<std::mutex> lock(WaitLock());
    m_signalled = true;
    for (Waiter* waiter : m_waiters)
        waiter->wake.notify_one();
}

void KernelObject::Reset() {
    std::lock_guard<std::mutex> lock(WaitLock());
    m_signalled = false;
}

void KernelObject::Consume() {
    if (!m_manual_reset) m_signalled = false;
}

int KernelObject::TryAcquire(std::span<const std::shared_ptr<KernelObject>> objects,
                             bool wait_all) {
    if (wait_all) {
        const bool all = std::all_of(objects.begin(), objects.end(),
                                     [](const auto& object) { return object->m_signalled; });
        if (!all) return -1;
        for (const auto& object : objects)
            object->Consume();
        return 0;
    }
    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i]->m_signalled) {
            objects[i]->Consume();
            return static_cast<int>(i);
        }
    }
    return -1;
}

DWORD KernelObject::Wait(std::span<const std::shared_ptr<KernelObject>> objects, bool wait_all,
                         DWORD milliseconds) {
    std::optional<Clock::time_point> deadline;
    if (milliseconds != INFINITE) deadline = Clock::now() + std::chrono::milliseconds(milliseconds);

    std::unique_lock<std::mutex> lock(WaitLock());
    int index = TryAcquire(objects, wait_all);
    if (index >= 0) return WAIT_OBJECT_0 + static_cast<DWORD>(index);
    if (milliseconds == 0) return WAIT_TIMEOUT;

    Waiter waiter;
    Registration registration(objects, &waiter);
    for (;;) {
        if (deadline) {
            if (waiter.wake.wait_until(lock, *deadline) == std::cv_status::timeout) {
                // A signal may have come with the timeout: the state decides, as on Windows.
                index = TryAcquire(objects, wait_all);
                return index >= 0 ? WAIT_OBJECT_0 + static_cast<DWORD>(index) : WAIT_TIMEOUT;
            }
        } else {
            waiter.wake.wait(lock);
        }
        index = TryAcquire(objects, wait_all);
        if (index >= 0) return WAIT_OBJECT_0 + static_cast<DWORD>(index);
    }
}
