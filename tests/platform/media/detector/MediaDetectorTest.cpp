// The media detector on movies the tests make: streams, their types, frame rates and lengths,
// and files it must refuse.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/com/objbase.h"
#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/amvideo.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/detector/MediaDetectorClass.h"
#include "platform/media/graph/WideText.h"
#include "platform/media/qedit.h"
#include "platform/media/uuids.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

// A BSTR that frees itself.
class Bstr {
public:
    explicit Bstr(const std::string& text) {
        const std::u16string wide = WideFromUtf8(text);
        m_text = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return m_text; }

private:
    BSTR m_text = nullptr;
};

struct StreamFacts {
    GUID major{};
    AM_MEDIA_TYPE type{};
};

class MediaDetectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterMediaDetectorClass();
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaDet,
                                   reinterpret_cast<void**>(m_detector.GetAddressOf())),
                  S_OK);
    }
    void TearDown() override {
        m_detector.Reset();
        CoUninitialize();
        EXPECT_EQ(CUnknown::ObjectsActive(), m_objects_before) << "detector left behind";
    }

    std::string MakeMovie(const std::string& name, const MovieRecipe& recipe) {
        const std::string path = m_dir.File(name);
        std::string error;
        EXPECT_TRUE(MovieFileMaker::Make(path, recipe, &error)) << error;
        return path;
    }

    HRESULT Open(const std::string& path) { return m_detector->put_Filename(Bstr(path).Get()); }

    long StreamCount() {
        long count = -1;
        EXPECT_EQ(m_detector->get_OutputStreams(&count), S_OK);
        return count;
    }

    // The index of the first stream of `major`, or -1.
    long FindStream(const GUID& major) {
        const long count = StreamCount();
        for (long i = 0; i < count; ++i) {
            GUID type{};
            EXPECT_EQ(m_detector->put_CurrentStream(i), S_OK);
            EXPECT_EQ(m_detector->get_StreamType(&type), S_OK);
            if (type == major) return i;
        }
        return -1;
    }

    // The frame rate of the first video stream, or -1 when none reports one.
    double VideoFrameRate() {
        const long video = FindStream(MEDIATYPE_Video);
        if (video < 0) return -1;
        EXPECT_EQ(m_detector->put_CurrentStream(video), S_OK);
        double rate = -1;
        return SUCCEEDED(m_detector->get_FrameRate(&rate)) ? rate : -1;
    }

    TempDir m_dir;
    ComPtr<IMediaDet> m_detector;
    const long m_objects_before = CUnknown::ObjectsActive();
};

// ---- streams and their types --------------------------------------------------------------

TEST_F(MediaDetectorTest, mpg_has_one_video_and_one_audio_stream) {
    ASSERT_EQ(Open(MakeMovie("clip.mpg", MovieRecipe::Mpeg())), S_OK);
    EXPECT_EQ(StreamCount(), 2);
    EXPECT_GE(FindStream(MEDIATYPE_Video), 0);
    EXPECT_GE(FindStream(MEDIATYPE_Audio), 0);
}

TEST_F(MediaDetectorTest, avi_has_one_video_and_one_audio_stream) {
    ASSERT_EQ(Open(MakeMovie("clip.avi", MovieRecipe::Avi())), S_OK);
    EXPECT_EQ(StreamCount(), 2);
    EXPECT_GE(FindStream(MEDIATYPE_Video), 0);
    EXPECT_GE(FindStream(MEDIATYPE_Audio), 0);
}

TEST_F(MediaDetectorTest, video_stream_type_is_rgb_video_info_with_frame_time) {
    MovieRecipe recipe = MovieRecipe::Avi();
    recipe.width = 80;
    recipe.height = 32;
    ASSERT_EQ(Open(MakeMovie("clip.avi", recipe)), S_OK);
    ASSERT_EQ(m_detector->put_CurrentStream(FindStream(MEDIATYPE_Video)), S_OK);
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(m_detector->get_StreamMediaType(&type), S_OK);
    EXPECT_EQ(type.majortype, MEDIATYPE_Video);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_RGB32);
    ASSERT_EQ(type.formattype, FORMAT_VideoInfo);
    ASSERT_EQ(type.cbFormat, sizeof(VIDEOINFOHEADER));
    ASSERT_NE(type.pbFormat, nullptr);
    const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
    EXPECT_EQ(info->AvgTimePerFrame, 400'000);
    EXPECT_EQ(info->bmiHeader.biWidth, 80);
    EXPECT_EQ(info->bmiHeader.biHeight, 32);
    EXPECT_EQ(info->bmiHeader.biBitCount, 32);
    EXPECT_EQ(info->bmiHeader.biSizeImage, 80u * 32u * 4u);
    EXPECT_EQ(type.lSampleSize, info->bmiHeader.biSizeImage);
    FreeMediaType(type);
}

TEST_F(MediaDetectorTest, audio_stream_type_is_16_bit_pcm_of_the_stream_rate) {
    MovieRecipe recipe = MovieRecipe::Avi();
    recipe.sample_rate = 22050;
    recipe.channels = 1;
    ASSERT_EQ(Open(MakeMovie("clip.avi", recipe)), S_OK);
    ASSERT_EQ(m_detector->put_CurrentStream(FindStream(MEDIATYPE_Audio)), S_OK);
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(m_detector->get_StreamMediaType(&type), S_OK);
    EXPECT_EQ(type.majortype, MEDIATYPE_Audio);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_PCM);
    ASSERT_EQ(type.formattype, FORMAT_WaveFormatEx);
    ASSERT_GE(type.cbFormat, sizeof(WAVEFORMATEX));
    const auto* format = reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
    EXPECT_EQ(format->wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format->nChannels, 1);
    EXPECT_EQ(format->nSamplesPerSec, 22050u);
    EXPECT_EQ(format->wBitsPerSample, 16);
    EXPECT_EQ(format->nBlockAlign, 2);
    EXPECT_EQ(format->nAvgBytesPerSec, 44100u);
    FreeMediaType(type);
}

TEST_F(MediaDetectorTest, stream_type_text_is_the_braced_major_type) {
    ASSERT_EQ(Open(MakeMovie("clip.mpg", MovieRecipe::Mpeg())), S_OK);
    ASSERT_EQ(m_detector->put_CurrentStream(FindStream(MEDIATYPE_Video)), S_OK);
    BSTR text = nullptr;
    ASSERT_EQ(m_detector->get_StreamTypeB(&text), S_OK);
    EXPECT_EQ(Utf8FromWide(WideView(text)), "{73646976-0000-0010-8000-00AA00389B71}");
    SysFreeString(text);
}

// ---- frame rate and length ----------------------------------------------------------------

TEST_F(MediaDetectorTest, mpg_video_frame_rate_is_25) {
    ASSERT_EQ(Open(MakeMovie("clip.mpg", MovieRecipe::Mpeg())), S_OK);
    EXPECT_DOUBLE_EQ(VideoFrameRate(), 25.0);
}

TEST_F(MediaDetectorTest, avi_frame_rate_follows_the_movie) {
    MovieRecipe recipe = MovieRecipe::Avi();
    recipe.rate_num = 15;
    ASSERT_EQ(Open(MakeMovie("slow.avi", recipe)), S_OK);
    EXPECT_DOUBLE_EQ(VideoFrameRate(), 15.0);
}

TEST_F(MediaDetectorTest, ntsc_frame_rate_keeps_its_fraction) {
    MovieRecipe recipe = MovieRecipe::Avi();
    recipe.rate_num = 30000;
    recipe.rate_den = 1001;
    ASSERT_EQ(Open(MakeMovie("ntsc.avi", recipe)), S_OK);
    EXPECT_NEAR(VideoFrameRate(), 29.97003, 1e-5);
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(m_detector->get_StreamMediaType(&type), S_OK);
    EXPECT_EQ(reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->AvgTimePerFrame, 333'667);
    FreeMediaType(type);
}

TEST_F(MediaDetectorTest, audio_stream_has_no_frame_rate) {
    ASSERT_EQ(Open(MakeMovie("clip.mpg", MovieRecipe::Mpeg())), S_OK);
    ASSERT_EQ(m_detector->put_CurrentStream(FindStream(MEDIATYPE_Audio)), S_OK);
    double rate = -1;
    EXPECT_EQ(m_detector->get_FrameRate(&rate), VFW_E_INVALIDMEDIATYPE);
    EXPECT_EQ(rate, -1);
}

TEST_F(MediaDetectorTest, wav_file_is_one_audio_stream_without_frame_rate) {
    const std::string path = m_dir.File("sound.wav");
    WavFileBuilder().Channels(2).Rate(44100).Samples(TestSignal(4410, 2, 44100)).Write(path);
    ASSERT_EQ(Open(path), S_OK);
    EXPECT_EQ(StreamCount(), 1);
    EXPECT_EQ(FindStream(MEDIATYPE_Video), -1);
    EXPECT_EQ(VideoFrameRate(), -1);
    ASSERT_EQ(m_detector->put_CurrentStream(0), S_OK);
    double rate = -1;
    EXPECT_EQ(m_detector->get_FrameRate(&rate), VFW_E_INVALIDMEDIATYPE);
    double length = 0;
    ASSERT_EQ(m_detector->get_StreamLength(&length), S_OK);
    EXPECT_NEAR(length, 0.1, 0.001);
}

TEST_F(MediaDetectorTest, movie_without_audio_is_one_video_stream) {
    MovieRecipe recipe = MovieRecipe::Avi();
    recipe.audio = AV_CODEC_ID_NONE;
    ASSERT_EQ(Open(MakeMovie("silent.avi", recipe)), S_OK);
    EXPECT_EQ(StreamCount(), 1);
    EXPECT_EQ(FindStream(MEDIATYPE_Video), 0);
    EXPECT_DOUBLE_EQ(VideoFrameRate(), 25.0);
}

TEST_F(MediaDetectorTest, stream_length_is_the_movie_length_in_seconds) {
    MovieRecipe recipe = MovieRecipe::Avi();
    recipe.frames = 50;
    ASSERT_EQ(Open(MakeMovie("two_seconds.avi", recipe)), S_OK);
    ASSERT_EQ(m_detector->put_CurrentStream(FindStream(MEDIATYPE_Video)), S_OK);
    double length = 0;
    ASSERT_EQ(m_detector->get_StreamLength(&length), S_OK);
    EXPECT_NEAR(length, 2.0, 0.05);
}

// A program stream's last pictures carry no time stamp, so the container's estimate falls
// short of them; the length is the one the graph plays, for every stream of the file.
TEST_F(MediaDetectorTest, program_stream_length_counts_the_last_pictures) {
    MovieRecipe recipe = MovieRecipe::Mpeg();
    recipe.frames = 300;
    ASSERT_EQ(Open(MakeMovie("twelve_seconds.mpg", recipe)), S_OK);
    for (const GUID& major : {MEDIATYPE_Video, MEDIATYPE_Audio}) {
        ASSERT_EQ(m_detector->put_CurrentStream(FindStream(major)), S_OK);
        double length = 0;
        ASSERT_EQ(m_detector->get_StreamLength(&length), S_OK);
        EXPECT_NEAR(length, 12.0, 0.05) << (major == MEDIATYPE_Video ? "video" : "audio");
    }
}

// ---- current stream and file name ---------------------------------------------------------

TEST_F(MediaDetectorTest, stream_index_out_of_range_is_refused_and_keeps_the_current_one) {
    ASSERT_EQ(Open(MakeMovie("clip.mpg", MovieRecipe::Mpeg())), S_OK);
    ASSERT_EQ(m_detector->put_CurrentStream(1), S_OK);
    EXPECT_EQ(m_detector->put_CurrentStream(2), E_INVALIDARG);
    EXPECT_EQ(m_detector->put_CurrentStream(-1), E_INVALIDARG);
    long current = -1;
    ASSERT_EQ(m_detector->get_CurrentStream(&current), S_OK);
    EXPECT_EQ(current, 1);
}

TEST_F(MediaDetectorTest, new_file_starts_again_at_stream_zero) {
    const std::string movie = MakeMovie("clip.mpg", MovieRecipe::Mpeg());
    ASSERT_EQ(Open(movie), S_OK);
    ASSERT_EQ(m_detector->put_CurrentStream(1), S_OK);
    ASSERT_EQ(Open(movie), S_OK);
    long current = -1;
    ASSERT_EQ(m_detector->get_CurrentStream(&current), S_OK);
    EXPECT_EQ(current, 0);
}

TEST_F(MediaDetectorTest, file_name_reads_back_as_given) {
    const std::string movie = MakeMovie("clip été.mpg", MovieRecipe::Mpeg());
    ASSERT_EQ(Open(movie), S_OK);
    BSTR name = nullptr;
    ASSERT_EQ(m_detector->get_Filename(&name), S_OK);
    EXPECT_EQ(Utf8FromWide(WideView(name)), movie);
    SysFreeString(name);
}

TEST_F(MediaDetectorTest, questions_without_a_file_are_refused) {
    long count = 0;
    GUID major{};
    AM_MEDIA_TYPE type{};
    double value = 0;
    EXPECT_EQ(m_detector->get_OutputStreams(&count), E_INVALIDARG);
    EXPECT_EQ(m_detector->put_CurrentStream(0), E_INVALIDARG);
    EXPECT_EQ(m_detector->get_StreamType(&major), E_INVALIDARG);
    EXPECT_EQ(m_detector->get_StreamMediaType(&type), E_INVALIDARG);
    EXPECT_EQ(m_detector->get_FrameRate(&value), E_INVALIDARG);
    EXPECT_EQ(m_detector->get_StreamLength(&value), E_INVALIDARG);
    EXPECT_EQ(m_detector->get_OutputStreams(nullptr), E_POINTER);
}

// ---- files that are not movies ------------------------------------------------------------

TEST_F(MediaDetectorTest, missing_file_fails_cleanly) {
    EXPECT_TRUE(FAILED(Open(m_dir.File("nowhere.mpg"))));
    long count = 0;
    EXPECT_EQ(m_detector->get_OutputStreams(&count), E_INVALIDARG);
}

TEST_F(MediaDetectorTest, file_that_is_not_a_movie_fails_and_forgets_the_previous_one) {
    ASSERT_EQ(Open(MakeMovie("clip.mpg", MovieRecipe::Mpeg())), S_OK);
    const std::string noise = m_dir.File("noise.mpg");
    {
        std::ofstream out(noise, std::ios::binary);
        uint32_t state = 12345;
        for (int i = 0; i < 20000; ++i) {
            state = state * 1664525u + 1013904223u;
            out.put(static_cast<char>(state >> 24));
        }
    }
    EXPECT_TRUE(FAILED(Open(noise)));
    long count = 0;
    EXPECT_EQ(m_detector->get_OutputStreams(&count), E_INVALIDARG);
    BSTR name = nullptr;
    ASSERT_EQ(m_detector->get_Filename(&name), S_OK);
    EXPECT_EQ(name, nullptr);
}

TEST_F(MediaDetectorTest, text_file_is_not_a_movie_whatever_its_extension) {
    for (const char* name : {"notes.txt", "notes.mpg", "notes.avi"}) {
        const std::string path = m_dir.File(name);
        std::ofstream(path) << "Hello, this is just a note.\nSecond line of text.\n";
        EXPECT_TRUE(FAILED(Open(path))) << name;
    }
}

TEST_F(MediaDetectorTest, empty_file_fails_cleanly) {
    const std::string empty = m_dir.File("empty.avi");
    std::ofstream(empty).close();
    EXPECT_TRUE(FAILED(Open(empty)));
}

TEST_F(MediaDetectorTest, truncated_movie_gives_consistent_answers_or_fails) {
    MovieRecipe recipe = MovieRecipe::Avi();
    const std::string whole = MakeMovie("whole.avi", recipe);
    std::vector<uint8_t> bytes = ReadFileBytes(whole);
    bytes.resize(bytes.size() / 3);
    const std::string cut = m_dir.File("cut.avi");
    std::ofstream(cut, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (FAILED(Open(cut))) return;
    const long count = StreamCount();
    ASSERT_GT(count, 0);
    for (long i = 0; i < count; ++i) {
        ASSERT_EQ(m_detector->put_CurrentStream(i), S_OK);
        AM_MEDIA_TYPE type{};
        ASSERT_EQ(m_detector->get_StreamMediaType(&type), S_OK);
        EXPECT_TRUE(type.majortype == MEDIATYPE_Video || type.majortype == MEDIATYPE_Audio);
        FreeMediaType(type);
    }
}

TEST_F(MediaDetectorTest, null_file_name_is_refused) {
    EXPECT_EQ(m_detector->put_Filename(nullptr), E_POINTER);
}

}  // namespace
