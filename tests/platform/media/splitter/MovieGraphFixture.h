// What the tests that play movies through a real graph share on top of the playback fixture:
// the names of the filters RenderFile put in the graph, and the pictures the video renderer
// logged. Order of use: Render, run, then read. Threading: the test's thread.
#pragma once

#include <string>
#include <vector>

#include "platform/media/video/IVideoPresentationLog.h"
#include "tests/platform/media/filters/PlaybackGraphFixture.h"

class MovieGraphTest : public PlaybackGraphTest {
protected:
    // The names of the graph's filters, sorted.
    std::vector<std::u16string> FilterNames();
    // What the "Video Renderer" logged (its first hundred pictures); empty when it is missing.
    std::vector<VideoPresentation> Shown();
};
