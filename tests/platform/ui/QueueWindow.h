// A window without a toolkit for tests of the messaging core: its thread is the one that
// attaches it, work queued to it waits until that thread pumps, and it records what it handles
// and answers each message with a scripted function (by default the first parameter + 1).
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/ui/WindowObject.h"

class QueueWindow : public WindowObject {
public:
    struct Handled {
        UINT message;
        WPARAM wparam;
    };

    ~QueueWindow() override { Detach(); }

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        m_handled.push_back({message, wparam});
        return answer ? answer(message, wparam, lparam) : static_cast<LRESULT>(wparam + 1);
    }

    bool PostToOwnThread(std::function<void()> task) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (refuse_queueing) return false;
        m_tasks.push_back(std::move(task));
        m_queued.notify_all();
        return true;
    }

    // Runs queued work on the calling (owner) thread until `done` holds or time runs out.
    // `done` may turn true without any work queued, so it is looked at every millisecond.
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds patience = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::function<void()> task;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                if (!m_queued.wait_for(lock, std::chrono::milliseconds(1),
                                       [&] { return !m_tasks.empty(); })) {
                    continue;
                }
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
            }
            task();
        }
        return true;
    }

    // Waits until something is queued, without running it.
    bool WaitQueued(std::chrono::milliseconds patience = std::chrono::seconds(10)) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_queued.wait_for(lock, patience, [&] { return !m_tasks.empty(); });
    }

    void PumpAll() {
        PumpUntil([&] {
            std::lock_guard<std::mutex> lock(m_mutex);
            return m_tasks.empty();
        });
    }

    const std::vector<Handled>& HandledMessages() const { return m_handled; }  // owner thread

    std::function<LRESULT(UINT, WPARAM, LPARAM)> answer;
    bool refuse_queueing = false;  // set before other threads use the window

private:
    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::deque<std::function<void()>> m_tasks;
    std::vector<Handled> m_handled;
};
