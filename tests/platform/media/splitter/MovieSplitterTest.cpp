// "Movie Splitter" fed by "File Source (Async.)" with movies the tests make, its outputs
// connected by hand to recording sinks.
#include "platform/media/splitter/MovieSplitterFilter.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include <gtest/gtest.h>

#include "platform/media/amvideo.h"
#include "platform/media/filters/AsyncFileSource.h"
#include "platform/media/uuids.h"
#include "platform/mmio/mmreg.h"
#include "tests/platform/media/filters/FilterTestFixture.h"
#include "tests/platform/media/support/TestSinkFilter.h"
#include "tests/support/MovieFileMaker.h"

namespace {

using namespace std::chrono_literals;

constexpr REFERENCE_TIME kSecond = 10000000;
constexpr REFERENCE_TIME kFrame = kSecond / 25;

class MovieSplitterTest : public FilterTest {
protected:
    void TearDown() override {
        Stop();
        for (IBaseFilter* filter : Filters()) {
            for (const PIN_DIRECTION direction : {PINDIR_INPUT, PINDIR_OUTPUT}) {
                for (int i = 0; i < 3; ++i) {
                    if (const ComPtr<IPin> pin = FindPin(filter, direction, i)) pin->Disconnect();
                }
            }
        }
        FilterTest::TearDown();
    }

    std::string MakeMovie(const std::string& name, const MovieRecipe& recipe) {
        std::string error;
        const std::string path = m_dir.File(name);
        EXPECT_TRUE(MovieFileMaker::Make(path, recipe, &error)) << error;
        return path;
    }

    HRESULT Open(const std::string& path) {
        ComPtr<IFileSourceFilter> file;
        m_source.Base()->QueryInterface(IID_PPV_ARGS(file.GetAddressOf()));
        const HRESULT loaded = file->Load(WidePath(path).c_str(), nullptr);
        if (FAILED(loaded)) return loaded;
        return FindPin(m_source.Base(), PINDIR_OUTPUT)
            ->Connect(FindPin(m_splitter.Base(), PINDIR_INPUT).Get(), nullptr);
    }
    // Each output to the sink of its kind.
    void ConnectOutputs() {
        for (int i = 0; const ComPtr<IPin> pin = FindPin(m_splitter.Base(), PINDIR_OUTPUT, i);
             ++i) {
            AM_MEDIA_TYPE type{};
            ASSERT_EQ(pin->ConnectionMediaType(&type), VFW_E_NOT_CONNECTED);
            IBaseFilter* sink = PinName(pin.Get()) == u"Video" ? m_video.Base() : m_audio.Base();
            ASSERT_EQ(pin->Connect(FindPin(sink, PINDIR_INPUT).Get(), nullptr), S_OK);
        }
    }
    void Pause() {
        for (IBaseFilter* filter : Filters())
            ASSERT_TRUE(SUCCEEDED(filter->Pause()));
    }
    void Stop() {
        for (IBaseFilter* filter : Filters())
            filter->Stop();
    }
    std::vector<IBaseFilter*> Filters() {
        return {m_video.Base(), m_audio.Base(), m_splitter.Base(), m_source.Base()};
    }
    static std::u16string PinName(IPin* pin) {
        PIN_INFO info{};
        pin->QueryPinInfo(&info);
        if (info.pFilter) info.pFilter->Release();
        return info.achName;
    }
    ComPtr<IMediaSeeking> Seeking(int output) {
        ComPtr<IMediaSeeking> seeking;
        FindPin(m_splitter.Base(), PINDIR_OUTPUT, output)
            ->QueryInterface(IID_PPV_ARGS(seeking.GetAddressOf()));
        return seeking;
    }
    bool WaitForBothEnds() {
        return m_video->WaitForEndOfStream(10s) && m_audio->WaitForEndOfStream(10s);
    }
    static size_t SoundBytes(const std::vector<ReceivedSample>& samples) {
        size_t total = 0;
        for (const auto& sample : samples)
            total += sample.data.size();
        return total;
    }

    Held<AsyncFileSource> m_source;
    Held<MovieSplitterFilter> m_splitter;
    Held<TestSinkFilter> m_video{MEDIATYPE_Video};
    Held<TestSinkFilter> m_audio{MEDIATYPE_Audio};
};

TEST_F(MovieSplitterTest, mpeg_and_avi_give_rgb_pictures_and_pcm_sound_for_their_whole_length) {
    for (const MovieRecipe& recipe : {MovieRecipe::Mpeg(), MovieRecipe::Avi()}) {
        SCOPED_TRACE(recipe.container);
        ASSERT_EQ(Open(MakeMovie("movie." + recipe.container, recipe)), S_OK);
        ASSERT_EQ(m_splitter->GetPinCount(), 3);
        ConnectOutputs();

        AM_MEDIA_TYPE type{};
        ASSERT_EQ(FindPin(m_splitter.Base(), PINDIR_OUTPUT, 0)->ConnectionMediaType(&type), S_OK);
        EXPECT_EQ(type.subtype, MEDIASUBTYPE_RGB32);
        const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
        EXPECT_EQ(info->bmiHeader.biWidth, 64);
        EXPECT_EQ(info->bmiHeader.biHeight, 48);
        EXPECT_EQ(info->AvgTimePerFrame, kFrame);
        FreeMediaType(type);
        ASSERT_EQ(FindPin(m_splitter.Base(), PINDIR_OUTPUT, 1)->ConnectionMediaType(&type), S_OK);
        const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
        EXPECT_EQ(wave->nSamplesPerSec, 44100u);
        EXPECT_EQ(wave->nChannels, 2);
        EXPECT_EQ(wave->wBitsPerSample, 16);
        FreeMediaType(type);

        LONGLONG duration = 0;
        ASSERT_EQ(Seeking(0)->GetDuration(&duration), S_OK);
        EXPECT_NEAR(static_cast<double>(duration), kSecond, kSecond / 50);

        Pause();
        ASSERT_TRUE(WaitForBothEnds());
        // An MPEG movie's clock starts with its first sound packet, a little before the
        // first picture.
        const auto pictures = m_video->Samples();
        ASSERT_EQ(pictures.size(), 25u);
        const REFERENCE_TIME first = pictures.front().start;
        EXPECT_GE(first, 0);
        EXPECT_LT(first, kFrame);
        for (size_t i = 0; i < pictures.size(); ++i) {
            EXPECT_EQ(pictures[i].start, first + static_cast<REFERENCE_TIME>(i) * kFrame);
            EXPECT_EQ(pictures[i].stop, pictures[i].start + kFrame);
            EXPECT_EQ(pictures[i].data.size(), 64u * 48u * 4u);
        }
        EXPECT_TRUE(pictures.front().discontinuity);
        // The sound runs gapless from 0 and lasts the movie, give or take a codec frame.
        const auto sound = m_audio->Samples();
        ASSERT_FALSE(sound.empty());
        EXPECT_EQ(sound.front().start, 0);
        for (size_t i = 1; i < sound.size(); ++i)
            EXPECT_EQ(sound[i].start, sound[i - 1].stop);
        EXPECT_NEAR(static_cast<double>(SoundBytes(sound)), 44100.0 * 4, 2 * 1152 * 4);

        Stop();
        for (int i = 2; i >= 0; --i) {
            ASSERT_EQ(FindPin(m_splitter.Base(), PINDIR_OUTPUT, i) == nullptr, i == 2);
        }
        FindPin(m_source.Base(), PINDIR_OUTPUT)->Disconnect();
        FindPin(m_splitter.Base(), PINDIR_INPUT)->Disconnect();
        EXPECT_EQ(m_splitter->GetPinCount(), 1) << "the outputs go with the movie";
        m_video = Held<TestSinkFilter>(MEDIATYPE_Video);
        m_audio = Held<TestSinkFilter>(MEDIATYPE_Audio);
    }
}

TEST_F(MovieSplitterTest, mpeg2_program_streams_and_mpeg4_in_avi_play_too) {
    MovieRecipe mpeg2 = MovieRecipe::Mpeg();
    mpeg2.container = "vob";
    mpeg2.video = AV_CODEC_ID_MPEG2VIDEO;
    MovieRecipe mpeg4 = MovieRecipe::Avi();
    mpeg4.video = AV_CODEC_ID_MPEG4;
    for (const MovieRecipe& recipe : {mpeg2, mpeg4}) {
        SCOPED_TRACE(recipe.container);
        ASSERT_EQ(Open(MakeMovie("movie." + recipe.container, recipe)), S_OK);
        ConnectOutputs();
        Pause();
        ASSERT_TRUE(WaitForBothEnds());
        EXPECT_EQ(m_video->Samples().size(), 25u);
        EXPECT_NEAR(static_cast<double>(SoundBytes(m_audio->Samples())), 44100.0 * 4, 2 * 1152 * 4);
        Stop();
        FindPin(m_source.Base(), PINDIR_OUTPUT)->Disconnect();
        FindPin(m_splitter.Base(), PINDIR_INPUT)->Disconnect();
        m_video = Held<TestSinkFilter>(MEDIATYPE_Video);
        m_audio = Held<TestSinkFilter>(MEDIATYPE_Audio);
    }
}

TEST_F(MovieSplitterTest, pictures_keep_their_grey_level_through_decoding) {
    MovieRecipe recipe = MovieRecipe::Avi();
    recipe.flash_every = 5;
    recipe.frames = 10;
    ASSERT_EQ(Open(MakeMovie("flash.avi", recipe)), S_OK);
    ConnectOutputs();
    Pause();
    ASSERT_TRUE(WaitForBothEnds());
    const auto pictures = m_video->Samples();
    ASSERT_EQ(pictures.size(), 10u);
    for (size_t i = 0; i < pictures.size(); ++i) {
        const BYTE blue = pictures[i].data[4 * (24 * 64 + 32)];
        if (recipe.IsFlash(static_cast<int64_t>(i))) {
            EXPECT_GT(blue, 200) << i;
        } else {
            EXPECT_LT(blue, 40) << i;
        }
    }
}

TEST_F(MovieSplitterTest, seeking_lands_on_the_picture_and_the_sample) {
    ASSERT_EQ(Open(MakeMovie("movie.mpg", MovieRecipe::Mpeg())), S_OK);
    ConnectOutputs();
    Pause();
    ASSERT_TRUE(WaitForBothEnds());

    // Between pictures 12 and 13, away from any key frame (every 12th picture is one).
    LONGLONG target = 13 * kFrame - kFrame / 4;
    LONGLONG stop = 20 * kFrame;
    ASSERT_EQ(Seeking(0)->SetPositions(&target, AM_SEEKING_AbsolutePositioning, &stop,
                                       AM_SEEKING_AbsolutePositioning),
              S_OK);
    // The audio pin's copy of the same seek is not a second one.
    ASSERT_EQ(Seeking(1)->SetPositions(&target, AM_SEEKING_AbsolutePositioning, &stop,
                                       AM_SEEKING_AbsolutePositioning),
              S_OK);
    ASSERT_TRUE(WaitUntil(
        [&] { return m_video->EndOfStreamCount() == 2 && m_audio->EndOfStreamCount() == 2; }));
    EXPECT_EQ(m_video->BeginFlushCount(), 1);
    EXPECT_EQ(m_video->SegmentStarts().back(), target);

    const auto pictures = m_video->Samples();
    std::vector<ReceivedSample> after;
    for (auto it = pictures.rbegin(); it != pictures.rend(); ++it) {
        after.insert(after.begin(), *it);
        if (it->discontinuity) break;
    }
    // The picture showing at the target comes first, from before the new start, then one
    // per frame up to the stop.
    ASSERT_FALSE(after.empty());
    EXPECT_LE(after.front().start, 0);
    EXPECT_GT(after.front().stop, 0);
    for (size_t i = 1; i < after.size(); ++i)
        EXPECT_EQ(after[i].start, after[i - 1].stop);
    EXPECT_LT(after.back().start, stop - target);
    EXPECT_GE(after.back().stop, stop - target);

    const auto sound = m_audio->Samples();
    size_t first = sound.size();
    for (size_t i = 0; i < sound.size(); ++i) {
        if (sound[i].discontinuity) first = i;
    }
    ASSERT_LT(first, sound.size());
    EXPECT_EQ(sound[first].start, 0) << "sound starts at the target, cut to the sample";
    size_t bytes = 0;
    for (size_t i = first; i < sound.size(); ++i)
        bytes += sound[i].data.size();
    EXPECT_NEAR(static_cast<double>(bytes), (stop - target) * 44100.0 * 4 / kSecond, 8);
}

TEST_F(MovieSplitterTest, a_seek_far_from_any_key_frame_still_shows_the_picture_at_the_target) {
    // Key frames 4 s apart; the target lies 3.7 s after the one before it, in a file too long
    // for the demuxer to have read it all when it opened.
    for (MovieRecipe recipe : {MovieRecipe::Mpeg(), MovieRecipe::Avi()}) {
        SCOPED_TRACE(recipe.container);
        recipe.frames = 1500;
        recipe.key_frame_every = 100;
        if (recipe.container == "avi") recipe.video = AV_CODEC_ID_MPEG4;
        ASSERT_EQ(Open(MakeMovie("long-gop." + recipe.container, recipe)), S_OK);
        ConnectOutputs();
        // Before anything was played, so the demuxer knows no key frame yet.
        LONGLONG target = 1292 * kFrame + kFrame / 2;
        LONGLONG stop = 1312 * kFrame;
        ASSERT_EQ(Seeking(0)->SetPositions(&target, AM_SEEKING_AbsolutePositioning, &stop,
                                           AM_SEEKING_AbsolutePositioning),
                  S_OK);
        Pause();
        ASSERT_TRUE(WaitForBothEnds());
        const auto pictures = m_video->Samples();
        ASSERT_FALSE(pictures.empty());
        EXPECT_LE(pictures.front().start, 0) << "the picture standing at the target comes first";
        EXPECT_GT(pictures.front().stop, 0);
        for (size_t i = 1; i < pictures.size(); ++i) {
            EXPECT_EQ(pictures[i].start, pictures[i - 1].stop);
        }
        EXPECT_LT(pictures.back().start, stop - target);
        EXPECT_GE(pictures.back().stop, stop - target);

        Stop();
        FindPin(m_source.Base(), PINDIR_OUTPUT)->Disconnect();
        FindPin(m_splitter.Base(), PINDIR_INPUT)->Disconnect();
        m_video = Held<TestSinkFilter>(MEDIATYPE_Video);
        m_audio = Held<TestSinkFilter>(MEDIATYPE_Audio);
    }
}

TEST_F(MovieSplitterTest, a_movie_with_one_kind_of_stream_has_one_output) {
    MovieRecipe silent = MovieRecipe::Mpeg();
    silent.audio = AV_CODEC_ID_NONE;
    ASSERT_EQ(Open(MakeMovie("silent.mpg", silent)), S_OK);
    ASSERT_EQ(m_splitter->GetPinCount(), 2);
    EXPECT_EQ(PinName(FindPin(m_splitter.Base(), PINDIR_OUTPUT).Get()), u"Video");
    FindPin(m_source.Base(), PINDIR_OUTPUT)->Disconnect();
    FindPin(m_splitter.Base(), PINDIR_INPUT)->Disconnect();

    MovieRecipe sound_only = MovieRecipe::Avi();
    sound_only.video = AV_CODEC_ID_NONE;
    ASSERT_EQ(Open(MakeMovie("sound.avi", sound_only)), S_OK);
    ASSERT_EQ(m_splitter->GetPinCount(), 2);
    EXPECT_EQ(PinName(FindPin(m_splitter.Base(), PINDIR_OUTPUT).Get()), u"Audio");
}

TEST_F(MovieSplitterTest, files_that_are_not_movies_are_refused_and_a_cut_movie_plays_its_start) {
    const std::string text = m_dir.File("notes.mpg");
    std::ofstream(text) << std::string(10000, 'x');
    EXPECT_TRUE(FAILED(Open(text)));
    EXPECT_EQ(m_splitter->GetPinCount(), 1);
    FindPin(m_source.Base(), PINDIR_OUTPUT)->Disconnect();

    MovieRecipe recipe = MovieRecipe::Avi();
    recipe.frames = 50;
    const std::string whole = MakeMovie("whole.avi", recipe);
    const std::string cut = m_dir.File("cut.avi");
    std::filesystem::copy_file(whole, cut);
    std::filesystem::resize_file(cut, std::filesystem::file_size(whole) / 2);
    ASSERT_EQ(Open(cut), S_OK);
    ConnectOutputs();
    Pause();
    ASSERT_TRUE(WaitForBothEnds());
    EXPECT_GT(m_video->Samples().size(), 5u);
    EXPECT_LT(m_video->Samples().size(), 50u);
}

TEST_F(MovieSplitterTest, stopping_and_seeking_while_sinks_hold_samples_never_hangs) {
    ASSERT_EQ(Open(MakeMovie("movie.avi", MovieRecipe::Avi())), S_OK);
    ConnectOutputs();
    m_video->HoldReceives(true);
    m_audio->HoldReceives(true);
    for (int round = 0; round < 5; ++round) {
        Pause();
        ASSERT_TRUE(m_video->WaitUntilHolding(10s));
        LONGLONG target = round * kFrame * 3;
        ASSERT_EQ(Seeking(round % 2)->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr,
                                                   AM_SEEKING_NoPositioning),
                  S_OK);
        ASSERT_TRUE(m_video->WaitUntilHolding(10s));
        Stop();
    }
}

}  // namespace
