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

HRESULT PlaybackGraphTest::Render(const std::string& path) {
    return m_graph->RenderFile(WidePath(path).c_str(), nullptr);
}

void PlaybackGraphTest::CaptureTo(const std::string& path) {
    m_environment.Set("SDL_AUDIODRIVER", "disk");
    m_environment.Set("SDL_DISKAUDIOFILE", path);
}
