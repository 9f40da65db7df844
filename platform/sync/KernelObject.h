// The object behind an event or thread handle: a signalled state that waits observe, and the
// waits themselves. Auto-reset objects are consumed by the wait they satisfy; manual-reset
// objects stay signalled until reset.
// Order of use: made by CreateEventA / CreateThread, kept alive by the handle table and by
// any wait in progress, freed when the last of them lets go.
// Threading: any thread. One process-wide lock guards every object's state, so a wait on
// several objects sees and takes them atomically; each waiting thread sleeps on its own
// condition variable and is woken only by the objects it waits on.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "platform/WinTypes.h"

class KernelObject {
public:
    enum class Kind { Event, Thread };

    KernelObject(Kind kind, bool manual_reset, bool signalled);
    virtual ~KernelObject();
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;

    Kind GetKind() const { return m_kind; }
    void Signal();
    void Reset();

    // WAIT_OBJECT_0 + index, or WAIT_TIMEOUT; `objects` is not empty and holds no null.
    static DWORD Wait(std::span<const std::shared_ptr<KernelObject>> objects, bool wait_all,
                      DWORD milliseconds);

private:
    struct Waiter;
    class Registration;

    static int TryAcquire(std::span<const std::shared_ptr<KernelObject>> objects, bool wait_all);
    void Consume();

    const Kind m_kind;
    const bool m_manual_reset;
    // Guarded by the process-wide wait lock.
    bool m_signalled;
    std::vector<Waiter*> m_waiters;
};
