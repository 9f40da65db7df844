// End to end through the main window alone: a movie with its own sound and a WAV chosen
// through the (scripted) choosers, played to its end. SDL's disk driver captures what the
// audio device played; it must be the data chunk that Render writes for the same WAV and
// offset (silence trimmed: the device plays silence around the sound). The video renderer's
// log must show every frame of the movie, in order.
#include <cstdlib>
#include <cstring>
#include <set>

#include "engine/StretchedWaveStream.h"
#include "platform/media/video/IVideoPresentationLog.h"
#include "tests/app/PlaybackFixture.h"
#include "tests/support/WavData.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t kFrameBytes = 4;  // 16-bit stereo
constexpr int kMovieFrames = 50;   // 2 s at 25 fps
constexpr REFERENCE_TIME kFrameTime = 400'000;

class PlaybackEndToEnd : public PlaybackFixture, public testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        m_capture = dir.File("capture.raw");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", m_capture.c_str(), 1);
        PlaybackFixture::SetUp();
    }

    std::string m_capture;
};

TEST_P(PlaybackEndToEnd, heard_as_rendered_and_every_frame_shown_in_order) {
    const char* offset = GetParam();
    MovieRecipe recipe = MovieRecipe::Mpeg();
    recipe.frames = kMovieFrames;
    const std::string movie = Movie("m.mpg", recipe);
    const std::string wav = Wav("a.wav", 2.0, 44100, 7);
    const std::string output = dir.File("out.wav");
    uint32_t declared = 0;
    std::vector<VideoPresentation> shown;
    Run([&] {
        ChooseMovie(movie);
        // The offset first: the WAV's stream then starts with it, nothing cued before.
        SetWindowTextA(GetDlgItem(window.GetSafeHwnd(), MainWindow::IDC_INITIAL_OFFSET), offset);
        ChooseWav(wav);
        ASSERT_NE(CurrentStream(), nullptr);
        declared = CurrentStream()->GetVirtualSize();
        Click(MainWindow::IDC_PLAY);
        ASSERT_TRUE(window.m_playing);
        ASSERT_TRUE(SpinUntil([&] { return !window.m_playing; }, 20000));  // EC_COMPLETE
        EXPECT_FALSE(window.m_timer_running);

        ComPtr<IVideoPresentationLog> log;
        FilterItem* video = Row("Video Renderer");
        ASSERT_NE(video, nullptr);
        ASSERT_EQ(video->FilterObject()->QueryInterface(
                      IID_IVideoPresentationLog, reinterpret_cast<void**>(log.GetAddressOf())),
                  S_OK);
        ULONG count = 0;
        log->GetPresentations(0, nullptr, &count);
        shown.resize(count);
        log->GetPresentations(count, shown.data(), &count);

        prompt.AddFileAnswer(output);
        Click(MainWindow::IDC_CHOOSE_OUTPUT);
        Click(MainWindow::IDC_RENDER);
    });
    EXPECT_TRUE(prompt.Messages().empty());

    Bytes rendered;
    WavDataChunk(ReadFileBytes(output), &rendered);
    ASSERT_FALSE(rendered.empty());
    if (rendered.size() > declared) rendered.resize(declared);  // the parser plays what is declared
    const Bytes heard = TrimSilentFrames(ReadFileBytes(m_capture), kFrameBytes);
    const Bytes expected = TrimSilentFrames(rendered, kFrameBytes);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(heard.size(), expected.size());
    EXPECT_TRUE(heard == expected);

    std::set<REFERENCE_TIME> starts;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (i > 0) {
            EXPECT_GE(shown[i].sample_start, shown[i - 1].sample_start) << i;
        }
        starts.insert(shown[i].sample_start);
    }
    ASSERT_EQ(starts.size(), static_cast<size_t>(kMovieFrames));
    // The container may start its clock a little after 0: frames are a frame time apart.
    int frame = 0;
    for (const REFERENCE_TIME start : starts) {
        EXPECT_EQ(start - *starts.begin(), frame * kFrameTime) << frame;
        ++frame;
    }
}

INSTANTIATE_TEST_SUITE_P(Offsets, PlaybackEndToEnd, testing::Values("0.5", "-1"),
                         [](const testing::TestParamInfo<const char*>& param) {
                             return std::string(param.param[0] == '-' ? "minus_1s" : "plus_half_s");
                         });

}  // namespace
