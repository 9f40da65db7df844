// What the tests that play through a real filter graph share: the stock filter fixture (fresh
// registry, COM, leak check, the stock filters' classes) plus the graph's classes and a graph
// with the application's interfaces, a bounded wait
// for its events, and SDL's disk driver to capture what the audio renderer played.
#pragma once

#include <string>

#include "tests/platform/media/filters/FilterTestFixture.h"
#include "tests/platform/media/filters/ScopedEnvironment.h"
#include "tests/platform/media/support/GraphInterfaces.h"

class PlaybackGraphTest : public FilterTest, protected GraphInterfaces {
protected:
    void SetUp() override;
    void TearDown() override;

    HRESULT Render(const std::string& path);
    // The audio renderer writes what it plays to `path` from its next opening on; releasing
    // the graph closes the device, which completes the file.
    void CaptureTo(const std::string& path);

    ScopedEnvironment m_environment;
};
