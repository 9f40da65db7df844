#include "platform/media/graph/MediaEventQueue.h"

#include <chrono>

#include "platform/ui/WindowFunctions.h"

MediaEventQueue::MediaEventQueue() : m_wait_handle(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

MediaEventQueue::~MediaEventQueue() {
    if (m_wait_handle) CloseHandle(m_wait_handle);
}

void MediaEventQueue::Push(const MediaEvent& event) {
    HWND window = nullptr;
    UINT message = 0;
    LONG_PTR instance = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_flags & kNoNotify) return;
        m_events.push_back(event);
        UpdateHandleLocked();
        window = m_window;
        message = m_message;
        instance = m_instance;
    }
    m_arrived.notify_one();
    // One message per event: the receiver drains the queue until GetEvent says E_ABORT.
    if (window) PostMessageA(window, message, 0, instance);
}

bool MediaEventQueue::Pop(long timeout_ms, MediaEvent* event) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto has_event = [this] { return !m_events.empty(); };
    if (timeout_ms < 0) {
        m_arrived.wait(lock, has_event);
    } else if (!m_arrived.wait_for(lock, std::chrono::milliseconds(timeout_ms), has_event)) {
        return false;
    }
    *event = m_events.front();
    m_events.pop_front();
    UpdateHandleLocked();
    return true;
}

void MediaEventQueue::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.clear();
    UpdateHandleLocked();
}

size_t MediaEventQueue::Size() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events.size();
}

void MediaEventQueue::SetNotifyWindow(HWND window, UINT message, LONG_PTR instance) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_window = window;
    m_message = message;
    m_instance = instance;
}

void MediaEventQueue::SetNotifyFlags(long flags) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_flags = flags;
    if (m_flags & kNoNotify) m_events.clear();
    UpdateHandleLocked();
}

long MediaEventQueue::NotifyFlags() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_flags;
}

void MediaEventQueue::UpdateHandleLocked() {
    if (!m_wait_handle) return;
    if (m_events.empty()) {
        ResetEvent(m_wait_handle);
    } else {
        SetEvent(m_wait_handle);
    }
}
