#include "tests/platform/media/filters/PlaybackGraphFixture.h"

#include "platform/com/objbase.h"
#include "platform/media/graph/MediaGraphClasses.h"

void PlaybackGraphTest::SetUp() {
    FilterTest::SetUp();
    RegisterMediaGraphClasses();
    MakeGraph();
}

void PlaybackGraphTest::TearDown() {
    if (m_control) m_control->Stop();
    ReleaseGraph();
    FilterTest::TearDown();
}

void PlaybackGraphTest::MakeGraph() {
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(m_graph.GetAddressOf())),
              S_OK);
    ASSERT_EQ(m_graph.As(&m_control), S_OK);
    ASSERT_EQ(m_graph.As(&m_events), S_OK);
    ASSERT_EQ(m_graph.As(&m_seeking), S_OK);
    ASSERT_EQ(m_graph.As(&m_position), S_OK);
}

void PlaybackGraphTest::ReleaseGraph() {
    m_position = nullptr;
    m_seeking = nullptr;
    m_events = nullptr;
    m_control = nullptr;
    m_graph = nullptr;
}

HRESULT PlaybackGraphTest::Render(const std::string& path) {
    return m_graph->RenderFile(WidePath(path).c_str(), nullptr);
}

bool PlaybackGraphTest::WaitForEvent(long code, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        long event = 0;
        LONG_PTR first = 0;
        LONG_PTR second = 0;
        if (m_events->GetEvent(&event, &first, &second, 20) == S_OK) {
            m_events->FreeEventParams(event, first, second);
            if (event == code) return true;
        }
    }
    return false;
}

void PlaybackGraphTest::CaptureTo(const std::string& path) {
    m_environment.Set("SDL_AUDIODRIVER", "disk");
    m_environment.Set("SDL_DISKAUDIOFILE", path);
}
