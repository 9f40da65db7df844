// Movies in a real filter graph: RenderFile builds "File Source (Async.)" -> "Movie Splitter"
// -> "Video Renderer" and "Default DirectSound Device", which play on one clock.
#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <fstream>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/dshow.h"
#include "platform/media/splitter/MovieSplitterRegistration.h"
#include "tests/platform/media/splitter/MovieGraphFixture.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace std::chrono_literals;

constexpr REFERENCE_TIME kFrame = 400000;

class MoviePlaybackGraphTest : public MovieGraphTest {
protected:
    std::string MakeMovie(const std::string& name, const MovieRecipe& recipe) {
        std::string error;
        const std::string path = m_dir.File(name);
        EXPECT_TRUE(MovieFileMaker::Make(path, recipe, &error)) << error;
        return path;
    }
    bool WaitForComplete(std::chrono::milliseconds timeout) {
        return WaitForEvent(EC_COMPLETE, timeout);
    }
};

TEST_F(MoviePlaybackGraphTest, mpeg_and_avi_play_picture_and_sound_to_the_end) {
    const std::string capture = m_dir.File("capture.raw");
    CaptureTo(capture);
    for (const MovieRecipe& recipe : {MovieRecipe::Mpeg(), MovieRecipe::Avi()}) {
        SCOPED_TRACE(recipe.container);
        const std::string name = "movie." + recipe.container;
        ASSERT_EQ(Render(MakeMovie(name, recipe)), S_OK);
        const std::u16string file(name.begin(), name.end());
        EXPECT_EQ(FilterNames(),
                  (std::vector<std::u16string>{u"Default DirectSound Device", u"Movie Splitter",
                                               u"Video Renderer", file}));
        ASSERT_TRUE(SUCCEEDED(m_control->Run()));
        ASSERT_TRUE(WaitForComplete(10s));

        // Every picture reached the renderer in order, shown at its time (within a frame).
        const std::vector<VideoPresentation> shown = Shown();
        ASSERT_EQ(shown.size(), 25u);
        for (size_t i = 1; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].sample_start - shown[i - 1].sample_start, kFrame);
            EXPECT_GE(shown[i].presented_at, shown[i].sample_start - kFrame / 4);
            EXPECT_LT(shown[i].presented_at, shown[i].sample_start + kFrame);
        }
        m_control->Stop();
        ReleaseGraph();
        // The device played the movie's 440 Hz tone for its second (whole codec frames).
        const std::vector<int16_t> played = NonSilentSamples(ReadFileBytes(capture), 2);
        EXPECT_NEAR(static_cast<double>(played.size()) / 2, 44100, 2 * 1152);
        // Sign changes of the loud samples only: the codec's quiet edges do not count.
        int crossings = 0;
        int sign = 0;
        size_t first_loud = played.size();
        size_t last_loud = 0;
        for (size_t i = 0; i < played.size(); i += 2) {
            if (std::abs(played[i]) < 1000) continue;
            first_loud = std::min(first_loud, i);
            last_loud = i;
            const int now = played[i] < 0 ? -1 : 1;
            crossings += sign != 0 && now != sign;
            sign = now;
        }
        const double seconds = static_cast<double>(last_loud - first_loud) / 2 / 44100;
        EXPECT_NEAR(seconds, 1.0, 0.05);
        EXPECT_NEAR(crossings, 880 * seconds, 3) << "the 440 Hz tone, unbroken";
        MakeGraph();
    }
}

TEST_F(MoviePlaybackGraphTest, a_movie_without_sound_or_picture_renders_what_it_has) {
    MovieRecipe silent = MovieRecipe::Mpeg();
    silent.audio = AV_CODEC_ID_NONE;
    ASSERT_EQ(Render(MakeMovie("silent.mpg", silent)), S_OK);
    EXPECT_EQ(FilterNames(),
              (std::vector<std::u16string>{u"Movie Splitter", u"Video Renderer", u"silent.mpg"}));
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    EXPECT_TRUE(WaitForComplete(10s));
    m_control->Stop();
    ReleaseGraph();
    MakeGraph();

    MovieRecipe sound_only = MovieRecipe::Avi();
    sound_only.video = AV_CODEC_ID_NONE;
    ASSERT_EQ(Render(MakeMovie("sound.avi", sound_only)), S_OK);
    EXPECT_EQ(FilterNames(), (std::vector<std::u16string>{u"Default DirectSound Device",
                                                          u"Movie Splitter", u"sound.avi"}));
}

TEST_F(MoviePlaybackGraphTest, damaged_files_leave_nothing_behind) {
    const std::string text = m_dir.File("notes.mpg");
    std::ofstream(text) << std::string(20000, 'x');
    EXPECT_TRUE(FAILED(Render(text)));
    EXPECT_TRUE(FilterNames().empty());

    std::vector<uint8_t> bytes = ReadFileBytes(MakeMovie("movie.avi", MovieRecipe::Avi()));
    std::mt19937 random(7);
    for (size_t i = 4096; i < bytes.size(); i += 997)
        bytes[i] = static_cast<uint8_t>(random());
    const std::string damaged = m_dir.File("damaged.avi");
    std::ofstream(damaged, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    if (SUCCEEDED(Render(damaged))) {
        ASSERT_TRUE(SUCCEEDED(m_control->Run()));
        EXPECT_TRUE(WaitForComplete(10s));
    }
}

TEST_F(MoviePlaybackGraphTest, a_seek_while_paused_shows_the_picture_at_the_new_place) {
    ASSERT_EQ(Render(MakeMovie("movie.avi", MovieRecipe::Avi())), S_OK);
    ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
    OAFilterState state = State_Stopped;
    ASSERT_EQ(m_control->GetState(5000, &state), S_OK);
    LONGLONG target = 13 * kFrame + kFrame / 2;
    ASSERT_EQ(m_seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
              S_OK);
    ASSERT_EQ(m_control->GetState(5000, &state), S_OK);
    const std::vector<VideoPresentation> shown = Shown();
    ASSERT_FALSE(shown.empty());
    // Picture 13 stands: it started half a frame before the new position.
    EXPECT_EQ(shown.back().sample_start, -kFrame / 2);
}

TEST_F(MoviePlaybackGraphTest, seeking_storms_and_releasing_a_running_graph_stay_clean) {
    MovieRecipe recipe = MovieRecipe::Mpeg();
    recipe.frames = 50;
    ASSERT_EQ(Render(MakeMovie("movie.mpg", recipe)), S_OK);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    std::mt19937 random(3);
    for (int i = 0; i < 30; ++i) {
        LONGLONG target = std::uniform_int_distribution<LONGLONG>(0, 50 * kFrame)(random);
        ASSERT_TRUE(SUCCEEDED(m_seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning,
                                                      nullptr, AM_SEEKING_NoPositioning)));
    }
    LONGLONG near_end = 45 * kFrame;
    m_seeking->SetPositions(&near_end, AM_SEEKING_AbsolutePositioning, nullptr,
                            AM_SEEKING_NoPositioning);
    EXPECT_TRUE(WaitForComplete(10s));
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ReleaseGraph();  // released while running
}

}  // namespace
