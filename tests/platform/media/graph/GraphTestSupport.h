// What the graph tests share: a window that records the messages posted to it (pumped on the
// test's thread with a bounded wait), a journal of filter state changes, and a fixture with a
// fresh registry folder, COM and the graph's classes.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/media/dshow.h"
#include "platform/ui/WindowObject.h"
#include "tests/platform/media/support/GraphInterfaces.h"
#include "tests/support/TempDir.h"

struct PostedMessage {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

class RecordingWindow : public WindowObject {
public:
    RecordingWindow();
    ~RecordingWindow() override;

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    bool PostToOwnThread(std::function<void()> task) override;

    // Handles queued messages until `count` have arrived in all; false on time-out.
    bool PumpUntil(size_t count, int timeout_ms);
    // Handles whatever arrives during `ms`.
    void PumpFor(int ms);
    std::vector<PostedMessage> Messages() const { return m_messages; }
    OAHWND Handle() const { return reinterpret_cast<OAHWND>(WindowObject::Handle()); }

private:
    bool RunOne(std::chrono::steady_clock::time_point deadline);

    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::function<void()>> m_tasks;
    std::vector<PostedMessage> m_messages;  // the window's thread only
};

// State changes of several filters in the order they happened.
class TransitionJournal {
public:
    void Add(const std::string& entry);
    std::vector<std::string> Entries();

private:
    std::mutex m_mutex;
    std::vector<std::string> m_entries;
};

class GraphTest : public ::testing::Test, protected GraphInterfaces {
protected:
    void SetUp() override;
    void TearDown() override;

    HRESULT Add(IBaseFilter* filter, const char16_t* name);
    LONGLONG Position();

    TempDir m_dir;
};

// Filters are made with no reference; this gives the test one.
template <typename T>
ComPtr<T> Own(T* object) {
    return ComPtr<T>(object);
}

constexpr REFERENCE_TIME kMs = 10'000;
