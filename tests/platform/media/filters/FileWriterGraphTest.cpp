// "File Writer" at the end of a real graph, wired by hand as the graph editor does:
// "File Source (Async.)" -> "Wave Parser" -> "File Writer", run to the end.
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/dshow.h"
#include "tests/platform/media/filters/PlaybackGraphFixture.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace std::chrono_literals;

std::vector<uint8_t> LittleEndian(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes;
    for (const int16_t sample : samples) {
        const auto value = static_cast<uint16_t>(sample);
        bytes.push_back(static_cast<uint8_t>(value & 0xFF));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
    }
    return bytes;
}

class FileWriterGraphTest : public PlaybackGraphTest {
protected:
    template <typename Interface>
    ComPtr<Interface> Add(const CLSID& clsid, const char16_t* name) {
        ComPtr<Interface> made;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(made.GetAddressOf())),
                  S_OK);
        ComPtr<IBaseFilter> filter;
        if (made) made.As(&filter);
        if (filter) {
            EXPECT_TRUE(SUCCEEDED(m_graph->AddFilter(filter.Get(), name)));
        }
        return made;
    }
    // The WAV at `wav` through the parser into a writer of `out`.
    void Build(const std::string& wav, const std::string& out) {
        auto source = Add<IFileSourceFilter>(CLSID_AsyncReader, u"File Source (Async.)");
        auto parser = Add<IBaseFilter>(CLSID_WAVEParser, u"Wave Parser");
        auto writer = Add<IFileSinkFilter>(CLSID_FileWriter, u"File Writer");
        ASSERT_TRUE(source && parser && writer);
        ASSERT_EQ(source->Load(WidePath(wav).c_str(), nullptr), S_OK);
        ASSERT_EQ(writer->SetFileName(WidePath(out).c_str(), nullptr), S_OK);
        ComPtr<IBaseFilter> source_filter;
        ComPtr<IBaseFilter> writer_filter;
        ASSERT_EQ(source.As(&source_filter), S_OK);
        ASSERT_EQ(writer.As(&writer_filter), S_OK);
        ASSERT_EQ(m_graph->ConnectDirect(FindPin(source_filter.Get(), PINDIR_OUTPUT).Get(),
                                         FindPin(parser.Get(), PINDIR_INPUT).Get(), nullptr),
                  S_OK);
        ASSERT_EQ(m_graph->ConnectDirect(FindPin(parser.Get(), PINDIR_OUTPUT).Get(),
                                         FindPin(writer_filter.Get(), PINDIR_INPUT).Get(), nullptr),
                  S_OK);
    }
};

TEST_F(FileWriterGraphTest, writes_exactly_the_data_chunk_of_the_wav) {
    struct Case {
        uint16_t channels;
        uint32_t rate;
        uint32_t frames;
        bool chunk_after_data;
    };
    for (const Case& c : {Case{2, 8000, 12000, false}, Case{1, 11025, 7777, true}}) {
        SCOPED_TRACE(c.channels);
        ReleaseGraph();  // a fresh graph for each file
        MakeGraph();
        const std::vector<int16_t> samples = TestSignal(c.frames, c.channels, c.rate);
        WavFileBuilder wav;
        wav.Channels(c.channels).Rate(c.rate).Samples(samples);
        if (c.chunk_after_data) wav.ChunkAfterData("LIST", std::vector<uint8_t>(64, 0x7F));
        const std::string in = m_dir.File("in.wav");
        const std::string out = m_dir.File("out.raw");
        wav.Write(in);
        Build(in, out);
        ASSERT_TRUE(SUCCEEDED(m_control->Run()));
        ASSERT_TRUE(WaitForEvent(EC_COMPLETE, 10s));
        ASSERT_EQ(m_control->Stop(), S_OK);
        EXPECT_EQ(ReadFileBytes(out), LittleEndian(samples));
    }
}

TEST_F(FileWriterGraphTest, a_file_that_cannot_be_written_aborts_the_graph_with_the_reason) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "needs /dev/full";
    const std::string in = m_dir.File("in.wav");
    WavFileBuilder().Channels(2).Rate(8000).Samples(TestSignal(8000, 2, 8000)).Write(in);
    Build(in, "/dev/full");
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    LONG_PTR reason = 0;
    ASSERT_TRUE(WaitForEvent(EC_ERRORABORT, 10s, &reason));
    EXPECT_EQ(static_cast<HRESULT>(reason), HRESULT_FROM_WIN32(ERROR_DISK_FULL));
    EXPECT_EQ(m_control->Stop(), S_OK);
}

}  // namespace
