#include "platform/media/filters/RendererSync.h"

#include <chrono>

#include "platform/com/VfwErrors.h"
#include "platform/sync/sync.h"

void RendererSync::Start() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_active = true;
    m_running = false;
    m_flushing = false;
    m_has_sample = false;
    m_end_of_stream = false;
    m_completed = false;
}

void RendererSync::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_active = false;
        m_running = false;
        m_has_sample = false;
        m_end_of_stream = false;
        m_completed = false;
    }
    m_changed.notify_all();
}

void RendererSync::SetRunning(bool running) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running = running;
    }
    m_changed.notify_all();
}

void RendererSync::SetFlushing(bool flushing) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_flushing = flushing;
        if (flushing) {
            // What was cued belongs to the old position.
            m_has_sample = false;
            m_end_of_stream = false;
            m_completed = false;
        }
    }
    m_changed.notify_all();
}

void RendererSync::SampleArrived() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_has_sample = true;
    }
    m_changed.notify_all();
}

HRESULT RendererSync::WaitUntilRunning() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_has_sample = true;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_running || m_flushing || !m_active; });
    if (!m_active) return VFW_E_WRONG_STATE;
    return m_flushing ? S_FALSE : S_OK;
}

bool RendererSync::EndOfStream() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_active || m_flushing) return false;
        m_end_of_stream = true;
    }
    m_changed.notify_all();
    return true;
}

bool RendererSync::HasEndOfStream() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_end_of_stream;
}

bool RendererSync::TakeCompletion(bool drained) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_end_of_stream || !m_running || m_completed || m_flushing || !drained) return false;
    m_completed = true;
    return true;
}

bool RendererSync::WaitForCue(DWORD milliseconds) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto cued = [this] { return !m_active || m_running || CuedLocked(); };
    if (milliseconds == INFINITE) {
        m_changed.wait(lock, cued);
        return true;
    }
    return m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), cued);
}
