// CAMEvent: a platform event owned for the life of an object, for the waits a clock can signal
// (a reference clock's AdviseTime takes the handle as an HEVENT).
// Order of use: construct (manual or auto reset), Set / Reset / Wait, destroy (closes it).
// Threading: any thread; the handle is made in the constructor and closed in the destructor.
#pragma once

#include "platform/media/strmif.h"
#include "platform/sync/sync.h"

class CAMEvent {
public:
    explicit CAMEvent(bool manual_reset = false);
    ~CAMEvent();
    CAMEvent(const CAMEvent&) = delete;
    CAMEvent& operator=(const CAMEvent&) = delete;

    void Set();
    void Reset();
    // True when signalled within `milliseconds` (INFINITE waits without limit).
    bool Wait(DWORD milliseconds = INFINITE);
    // Whether the event is signalled now; an auto-reset event is not consumed.
    bool Check();

    HANDLE Handle() const { return m_event; }
    HEVENT AsHevent() const { return reinterpret_cast<HEVENT>(m_event); }
    bool IsValid() const { return m_event != nullptr; }

private:
    const bool m_manual_reset;
    HANDLE m_event;
};
