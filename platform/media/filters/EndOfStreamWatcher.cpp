#include "platform/media/filters/EndOfStreamWatcher.h"

#include <chrono>
#include <system_error>

namespace {

constexpr auto kPoll = std::chrono::milliseconds(5);

}  // namespace

EndOfStreamWatcher::~EndOfStreamWatcher() {
    Stop();
}

bool EndOfStreamWatcher::Start(std::function<bool()> check) {
    Stop();
    m_check = std::move(check);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_quit = false;
    m_armed = false;
    try {
        m_thread = std::thread(&EndOfStreamWatcher::Loop, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void EndOfStreamWatcher::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
        m_armed = false;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void EndOfStreamWatcher::Arm() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_armed = true;
        m_woken = true;
        ++m_arming;
    }
    m_changed.notify_all();
}

void EndOfStreamWatcher::Disarm() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_armed = false;
}

void EndOfStreamWatcher::Wake() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_woken = true;
    }
    m_changed.notify_all();
}

void EndOfStreamWatcher::Loop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_quit) {
        if (!m_armed) {
            m_changed.wait(lock, [this] { return m_quit || m_armed; });
            continue;
        }
        m_woken = false;
        const unsigned arming = m_arming;
        lock.unlock();
        const bool done = m_check();
        lock.lock();
        // An Arm that came meanwhile is a new end of stream: keep watching for it.
        if (done && arming == m_arming) {
            m_armed = false;
            continue;
        }
        m_changed.wait_for(lock, kPoll, [this] { return m_quit || m_woken || !m_armed; });
    }
}
