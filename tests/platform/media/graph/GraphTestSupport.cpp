#include "tests/platform/media/graph/GraphTestSupport.h"

#include <chrono>

#include "platform/com/objbase.h"
#include "platform/media/base/MediaBaseClasses.h"
#include "platform/media/graph/MediaGraphClasses.h"
#include "platform/registry/RegistrySetup.h"

RecordingWindow::RecordingWindow() {
    Attach(nullptr, 0);
}

RecordingWindow::~RecordingWindow() {
    Detach();
}

LRESULT RecordingWindow::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    m_messages.push_back(PostedMessage{message, wparam, lparam});
    return 0;
}

bool RecordingWindow::PostToOwnThread(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_posted.notify_one();
    return true;
}

bool RecordingWindow::PumpUntil(size_t count, int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (m_messages.size() < count) {
        if (!RunOne(deadline)) return false;
    }
    return true;
}

void RecordingWindow::PumpFor(int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (RunOne(deadline)) {
    }
}

bool RecordingWindow::RunOne(std::chrono::steady_clock::time_point deadline) {
    std::function<void()> task;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_posted.wait_until(lock, deadline, [this] { return !m_tasks.empty(); })) {
            return false;
        }
        task = std::move(m_tasks.front());
        m_tasks.pop_front();
    }
    task();
    return true;
}

void TransitionJournal::Add(const std::string& entry) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.push_back(entry);
}

std::vector<std::string> TransitionJournal::Entries() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries;
}

void GraphTest::SetUp() {
    RegistrySetFolder(m_dir.Path().string());
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    RegisterMediaBaseClasses();
    RegisterMediaGraphClasses();
    MakeGraph();
}

void GraphTest::TearDown() {
    ReleaseGraph();
    CoUninitialize();
    RegistrySetFolder("");
}

HRESULT GraphTest::Add(IBaseFilter* filter, const char16_t* name) {
    return m_graph->AddFilter(filter, name);
}

LONGLONG GraphTest::Position() {
    LONGLONG position = -1;
    EXPECT_EQ(m_seeking->GetCurrentPosition(&position), S_OK);
    return position;
}
