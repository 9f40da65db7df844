// What the tests that play through a real filter graph share: the stock filter fixture (fresh
// registry, COM, leak check, the stock filters' classes) plus the graph's classes and a graph
// with the application's interfaces, a bounded wait
// for its events, and SDL's disk driver to capture what the audio renderer played.
#pragma once

#include <chrono>
#include <string>

#include "platform/com/ComPtr.h"
#include "platform/media/dshow.h"
#include "tests/platform/media/filters/FilterTestFixture.h"
#include "tests/platform/media/filters/ScopedEnvironment.h"

class PlaybackGraphTest : public FilterTest {
protected:
    void SetUp() override;
    void TearDown() override;

    void MakeGraph();
    // Releasing the graph closes the audio device, which completes a capture file.
    void ReleaseGraph();
    HRESULT Render(const std::string& path);
    // Takes events without waiting until `code` comes (others are freed and skipped).
    bool WaitForEvent(long code, std::chrono::milliseconds timeout);
    // The audio renderer writes what it plays to `path` from its next opening on.
    void CaptureTo(const std::string& path);

    ScopedEnvironment m_environment;
    ComPtr<IGraphBuilder> m_graph;
    ComPtr<IMediaControl> m_control;
    ComPtr<IMediaEventEx> m_events;
    ComPtr<IMediaSeeking> m_seeking;
    ComPtr<IMediaPosition> m_position;
};
