// Movies in the containers beyond MPEG and AVI, rendered through IGraphBuilder::RenderFile
// under names that tell nothing of their kind, so the file source must know them by their
// bytes: each plays like an MPEG, "File Source (Async.)" -> "Movie Splitter" -> "Video
// Renderer" and "Default DirectSound Device". Kinds the splitter does not know by name fall
// to "Movie Splitter (Other Formats)".
#include <algorithm>
#include <chrono>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/dshow.h"
#include "platform/media/uuids.h"
#include "tests/platform/media/splitter/MovieGraphFixture.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/WavFileBuilder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

using namespace std::chrono_literals;

constexpr REFERENCE_TIME kFrame = 400000;  // 25 frames a second
constexpr REFERENCE_TIME kSecond = 10000000;

struct Container {
    const char* name;  // also the file's name
    const char* muxer;
    AVCodecID video;
    AVCodecID audio;
    int sample_rate;
    const GUID* subtype;       // what the file source makes of the bytes
    const char16_t* splitter;  // the splitter the graph picks
};

constexpr char16_t kSplitter[] = u"Movie Splitter";
constexpr char16_t kOtherFormats[] = u"Movie Splitter (Other Formats)";

const Container kContainers[] = {
    {"mp4_h264_aac", "mp4", AV_CODEC_ID_H264, AV_CODEC_ID_AAC, 44100, &MEDIASUBTYPE_TKV_MP4,
     kSplitter},
    {"mp4_mpeg4_mp3", "mp4", AV_CODEC_ID_MPEG4, AV_CODEC_ID_MP3, 44100, &MEDIASUBTYPE_TKV_MP4,
     kSplitter},
    {"mov_h264_pcm", "mov", AV_CODEC_ID_H264, AV_CODEC_ID_PCM_S16LE, 44100, &MEDIASUBTYPE_QTMovie,
     kSplitter},
    {"mkv_mpeg4_mp3", "matroska", AV_CODEC_ID_MPEG4, AV_CODEC_ID_MP3, 44100,
     &MEDIASUBTYPE_TKV_Matroska, kSplitter},
    {"webm_vp8_vorbis", "webm", AV_CODEC_ID_VP8, AV_CODEC_ID_VORBIS, 44100,
     &MEDIASUBTYPE_TKV_Matroska, kSplitter},
    {"webm_vp9_opus", "webm", AV_CODEC_ID_VP9, AV_CODEC_ID_OPUS, 48000, &MEDIASUBTYPE_TKV_Matroska,
     kSplitter},
    {"ts_h264_aac", "mpegts", AV_CODEC_ID_H264, AV_CODEC_ID_AAC, 44100,
     &MEDIASUBTYPE_MPEG2_TRANSPORT, kSplitter},
    {"ts_mpeg2_mp2", "mpegts", AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MP2, 44100,
     &MEDIASUBTYPE_MPEG2_TRANSPORT, kSplitter},
    // No pattern knows these bytes.
    {"flv_flv1_mp3", "flv", AV_CODEC_ID_FLV1, AV_CODEC_ID_MP3, 44100, &GUID_NULL, kOtherFormats},
};

void PrintTo(const Container& kind, std::ostream* out) {
    *out << kind.name;
}

class ContainerGraphTest : public MovieGraphTest {
protected:
    // A one-second movie of the kind, or a reason why this FFmpeg cannot make one.
    std::string MakeMovie(const Container& kind, std::string* missing,
                          const std::string& name = {}) {
        if (!avcodec_find_encoder(kind.video) || !avcodec_find_encoder(kind.audio) ||
            !av_guess_format(kind.muxer, nullptr, nullptr)) {
            *missing = std::string("FFmpeg has no encoder or muxer for ") + kind.name;
            return {};
        }
        MovieRecipe recipe = MovieRecipe::Mpeg();
        recipe.container = kind.muxer;
        recipe.video = kind.video;
        recipe.audio = kind.audio;
        recipe.sample_rate = kind.sample_rate;
        std::string error;
        const std::string path = m_dir.File(name.empty() ? kind.name : name);
        EXPECT_TRUE(MovieFileMaker::Make(path, recipe, &error)) << error;
        return path;
    }
    GUID SourceSubtype(const std::u16string& source_name) {
        ComPtr<IBaseFilter> source;
        AM_MEDIA_TYPE type{};
        if (FAILED(m_graph->FindFilterByName(source_name.c_str(), source.GetAddressOf())) ||
            FAILED(FindPin(source.Get(), PINDIR_OUTPUT)->ConnectionMediaType(&type))) {
            return GUID_NULL;
        }
        const GUID subtype = type.subtype;
        FreeMediaType(type);
        return subtype;
    }
};

class MovieContainerPlaybackTest : public ContainerGraphTest,
                                   public ::testing::WithParamInterface<Container> {};

TEST_P(MovieContainerPlaybackTest, renders_plays_every_picture_and_the_sound_and_seeks) {
    const Container& kind = GetParam();
    const std::string capture = m_dir.File("capture.raw");
    CaptureTo(capture);
    std::string missing;
    const std::string path = MakeMovie(kind, &missing);
    if (path.empty()) GTEST_SKIP() << missing;

    ASSERT_EQ(Render(path), S_OK);
    const std::string name = kind.name;
    const std::u16string file(name.begin(), name.end());
    std::vector<std::u16string> expected{u"Default DirectSound Device", kind.splitter,
                                         u"Video Renderer", file};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilterNames(), expected);
    EXPECT_EQ(SourceSubtype(file), *kind.subtype);
    LONGLONG duration = 0;
    ASSERT_EQ(m_seeking->GetDuration(&duration), S_OK);
    // The pictures' second; the sound may run on to the end of its last codec frame.
    EXPECT_GE(duration, kSecond - kFrame / 2);
    EXPECT_LE(duration, kSecond + kFrame + kFrame / 2);

    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE, 10s));
    const std::vector<VideoPresentation> shown = Shown();
    ASSERT_EQ(shown.size(), 25u);
    // Pictures may start a little after the sound (an encoder's priming samples come first).
    const REFERENCE_TIME first = shown.front().sample_start;
    EXPECT_GE(first, 0);
    EXPECT_LT(first, kFrame);
    for (size_t i = 1; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].sample_start - shown[i - 1].sample_start, kFrame) << i;
    }

    // Paused half-way through picture 13 (of the first picture's clock): the picture under the
    // new position stands, its start before it.
    ASSERT_TRUE(SUCCEEDED(m_control->Stop()));
    ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
    OAFilterState state = State_Stopped;
    ASSERT_EQ(m_control->GetState(5000, &state), S_OK);
    LONGLONG target = 13 * kFrame + kFrame / 2;
    ASSERT_EQ(m_seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
              S_OK);
    ASSERT_EQ(m_control->GetState(5000, &state), S_OK);
    const std::vector<VideoPresentation> paused = Shown();
    ASSERT_FALSE(paused.empty());
    const REFERENCE_TIME under = first + (target - first) / kFrame * kFrame;
    EXPECT_EQ(paused.back().sample_start, under - target);

    m_control->Stop();
    ReleaseGraph();  // closes the device, which completes the capture
    // A second of sound reached the device (give or take a codec frame at either end).
    const std::vector<int16_t> played = NonSilentSamples(ReadFileBytes(capture), 2);
    EXPECT_NEAR(static_cast<double>(played.size()) / 2 / kind.sample_rate, 1.0, 0.06);
}

INSTANTIATE_TEST_SUITE_P(Containers, MovieContainerPlaybackTest, ::testing::ValuesIn(kContainers),
                         [](const ::testing::TestParamInfo<Container>& param_info) {
                             return std::string(param_info.param.name);
                         });

// A file whose name says another kind: the parser for that kind refuses the bytes, and the
// splitter that takes any stream is tried last.
TEST_F(ContainerGraphTest, a_movie_named_as_a_wav_falls_to_the_other_formats_splitter) {
    std::string missing;
    const std::string path = MakeMovie(kContainers[0], &missing, "clip.wav");
    if (path.empty()) GTEST_SKIP() << missing;
    ASSERT_EQ(Render(path), S_OK);
    EXPECT_EQ(SourceSubtype(u"clip.wav"), MEDIASUBTYPE_WAVE);
    EXPECT_EQ(FilterNames(),
              (std::vector<std::u16string>{u"Default DirectSound Device", kOtherFormats,
                                           u"Video Renderer", u"clip.wav"}));
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    EXPECT_TRUE(WaitForEvent(EC_COMPLETE, 10s));
    EXPECT_EQ(Shown().size(), 25u);
}

// Bytes no demuxer takes, under a movie's name, are refused by both splitters.
TEST_F(ContainerGraphTest, a_file_no_demuxer_opens_renders_nothing) {
    for (const char* name : {"notes.ts", "notes.mkv", "notes.dat"}) {
        SCOPED_TRACE(name);
        const std::string path = m_dir.File(name);
        std::ofstream(path) << std::string(20000, 'x');
        EXPECT_TRUE(FAILED(Render(path)));
        EXPECT_TRUE(FilterNames().empty());
    }
}

}  // namespace
