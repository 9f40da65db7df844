#include "platform/media/base/CAMEvent.h"

CAMEvent::CAMEvent(bool manual_reset)
    : m_manual_reset(manual_reset),
      m_event(CreateEventA(nullptr, manual_reset ? TRUE : FALSE, FALSE, nullptr)) {}

CAMEvent::~CAMEvent() {
    if (m_event) CloseHandle(m_event);
}

void CAMEvent::Set() {
    if (m_event) SetEvent(m_event);
}

void CAMEvent::Reset() {
    if (m_event) ResetEvent(m_event);
}

bool CAMEvent::Wait(DWORD milliseconds) {
    return m_event && WaitForSingleObject(m_event, milliseconds) == WAIT_OBJECT_0;
}

bool CAMEvent::Check() {
    if (!m_event) return false;
    const bool signalled = WaitForSingleObject(m_event, 0) == WAIT_OBJECT_0;
    // Waiting consumed an auto-reset event; put the signal back.
    if (signalled && !m_manual_reset) SetEvent(m_event);
    return signalled;
}
