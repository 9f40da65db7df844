#include "platform/media/filters/WaveParserFilter.h"

#include <chrono>
#include <cstring>
#include <fstream>
#include <future>

#include <gtest/gtest.h>

#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/filters/AsyncFileSource.h"
#include "platform/media/uuids.h"
#include "platform/mmio/mmreg.h"
#include "tests/platform/media/filters/FilterTestFixture.h"
#include "tests/platform/media/support/MemoryReaderFilter.h"
#include "tests/platform/media/support/TestSinkFilter.h"
#include "tests/platform/media/support/TestSourceFilter.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace std::chrono_literals;

constexpr REFERENCE_TIME kSecond = 10000000;

// Source -> "Wave Parser" -> recording sink, connected by hand and taken apart at the end.
class WaveParserTest : public FilterTest {
protected:
    void TearDown() override {
        Stop();
        for (IBaseFilter* filter : {m_source.Base(), m_parser.Base(), m_sink.Base()}) {
            for (const PIN_DIRECTION direction : {PINDIR_INPUT, PINDIR_OUTPUT}) {
                if (const ComPtr<IPin> pin = FindPin(filter, direction)) pin->Disconnect();
            }
        }
        if (m_memory) DisconnectMemory();
        FilterTest::TearDown();
    }

    HRESULT ConnectFile(const std::string& path) {
        ComPtr<IFileSourceFilter> file;
        m_source.Base()->QueryInterface(IID_PPV_ARGS(file.GetAddressOf()));
        const HRESULT loaded = file->Load(WidePath(path).c_str(), nullptr);
        if (FAILED(loaded)) return loaded;
        return FindPin(m_source.Base(), PINDIR_OUTPUT)->Connect(Input().Get(), nullptr);
    }
    HRESULT ConnectMemory(std::vector<BYTE> image) {
        m_memory = std::make_unique<Held<MemoryReaderFilter>>(std::move(image));
        return FindPin(m_memory->Base(), PINDIR_OUTPUT)->Connect(Input().Get(), nullptr);
    }
    void DisconnectMemory() {
        if (const ComPtr<IPin> pin = FindPin(m_memory->Base(), PINDIR_OUTPUT)) pin->Disconnect();
        m_memory.reset();
    }
    HRESULT ConnectSink() {
        return Output()->Connect(FindPin(m_sink.Base(), PINDIR_INPUT).Get(), nullptr);
    }

    // Downstream first, as a graph does.
    void Pause() {
        ASSERT_EQ(m_sink.Base()->Pause(), S_OK);
        ASSERT_EQ(m_parser.Base()->Pause(), S_OK);
        ASSERT_EQ(m_source.Base()->Pause(), S_OK);
    }
    void Stop() {
        m_sink.Base()->Stop();
        m_parser.Base()->Stop();
        m_source.Base()->Stop();
        if (m_memory) m_memory->Base()->Stop();
    }
    void PauseWithMemory() {
        ASSERT_EQ(m_sink.Base()->Pause(), S_OK);
        ASSERT_EQ(m_parser.Base()->Pause(), S_OK);
        ASSERT_EQ(m_memory->Base()->Pause(), S_OK);
    }

    ComPtr<IPin> Input() { return FindPin(m_parser.Base(), PINDIR_INPUT); }
    ComPtr<IPin> Output() { return FindPin(m_parser.Base(), PINDIR_OUTPUT); }
    ComPtr<IMediaSeeking> Seeking() {
        ComPtr<IMediaSeeking> seeking;
        Output().As(&seeking);
        return seeking;
    }
    // What the sink received, from its `first` sample on.
    std::vector<uint8_t> DeliveredBytes(size_t first = 0) {
        std::vector<uint8_t> bytes;
        const auto samples = m_sink->Samples();
        for (size_t i = first; i < samples.size(); ++i) {
            bytes.insert(bytes.end(), samples[i].data.begin(), samples[i].data.end());
        }
        return bytes;
    }
    std::vector<uint8_t> SampleBytes() {
        const std::vector<int16_t> samples = WavSamples();
        std::vector<uint8_t> bytes(samples.size() * 2);
        std::memcpy(bytes.data(), samples.data(), bytes.size());
        return bytes;
    }

    Held<AsyncFileSource> m_source;
    Held<WaveParserFilter> m_parser;
    Held<TestSinkFilter> m_sink{MEDIATYPE_Audio};
    std::unique_ptr<Held<MemoryReaderFilter>> m_memory;
};

TEST_F(WaveParserTest, has_an_input_and_an_output_pin_and_its_class) {
    const ComPtr<IPin> input = Input();
    const ComPtr<IPin> output = Output();
    ASSERT_NE(input, nullptr);
    ASSERT_NE(output, nullptr);
    PIN_INFO info{};
    input->QueryPinInfo(&info);
    EXPECT_EQ(std::u16string(info.achName), u"input");
    info.pFilter->Release();
    output->QueryPinInfo(&info);
    EXPECT_EQ(std::u16string(info.achName), u"output");
    EXPECT_EQ(info.dir, PINDIR_OUTPUT);
    info.pFilter->Release();
    CLSID clsid{};
    m_parser.Base()->GetClassID(&clsid);
    EXPECT_EQ(clsid, CLSID_WAVEParser);
    EXPECT_NE(Seeking(), nullptr);
}

TEST_F(WaveParserTest, output_offers_nothing_and_cannot_seek_before_the_input_knows_a_file) {
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(Output()->EnumMediaTypes(types.GetAddressOf()), S_OK);
    AM_MEDIA_TYPE* type = nullptr;
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(1, &type, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    LONGLONG duration = 0;
    EXPECT_EQ(Seeking()->GetDuration(&duration), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(ConnectSink(), VFW_E_NO_ACCEPTABLE_TYPES);
}

TEST_F(WaveParserTest, refuses_an_upstream_pin_without_the_async_reader) {
    CMediaType stream(&MEDIATYPE_Stream);
    stream.SetSubtype(&MEDIASUBTYPE_WAVE);
    Held<TestSourceFilter> pusher(stream);
    EXPECT_EQ(FindPin(pusher.Base(), PINDIR_OUTPUT)->Connect(Input().Get(), nullptr),
              VFW_E_NO_TRANSPORT);
    IPin* peer = nullptr;
    EXPECT_EQ(Input()->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
}

TEST_F(WaveParserTest, refuses_a_stream_that_is_not_wave) {
    const std::string path = MakeWav("sound.wav", 100);
    ComPtr<IFileSourceFilter> file;
    m_source.Base()->QueryInterface(IID_PPV_ARGS(file.GetAddressOf()));
    AM_MEDIA_TYPE avi{};
    avi.majortype = MEDIATYPE_Stream;
    avi.subtype = MEDIASUBTYPE_Avi;
    ASSERT_EQ(file->Load(WidePath(path).c_str(), &avi), S_OK);
    EXPECT_TRUE(FAILED(FindPin(m_source.Base(), PINDIR_OUTPUT)->Connect(Input().Get(), nullptr)));
}

TEST_F(WaveParserTest, offers_the_file_format_as_audio) {
    ASSERT_EQ(ConnectFile(MakeWav("sound.wav", 800, 2, 22050)), S_OK);
    ASSERT_EQ(ConnectSink(), S_OK);
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(Output()->ConnectionMediaType(&type), S_OK);
    EXPECT_EQ(type.majortype, MEDIATYPE_Audio);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_PCM);
    EXPECT_EQ(type.formattype, FORMAT_WaveFormatEx);
    ASSERT_GE(type.cbFormat, sizeof(WAVEFORMATEX));
    WAVEFORMATEX wave{};
    std::memcpy(&wave, type.pbFormat, sizeof wave);
    EXPECT_EQ(wave.nChannels, 2);
    EXPECT_EQ(wave.nSamplesPerSec, 22050u);
    EXPECT_EQ(wave.nBlockAlign, 4);
    FreeMediaType(type);
}

TEST_F(WaveParserTest, duration_comes_from_the_data_size) {
    ASSERT_EQ(ConnectFile(MakeWav("sound.wav", 12000, 1, 8000)), S_OK);
    LONGLONG duration = 0;
    ASSERT_EQ(Seeking()->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 15000000);  // 12,000 frames at 8 kHz
    LONGLONG stop = 0;
    EXPECT_EQ(Seeking()->GetStopPosition(&stop), S_OK);
    EXPECT_EQ(stop, duration);
    EXPECT_EQ(Seeking()->IsFormatSupported(&TIME_FORMAT_MEDIA_TIME), S_OK);
    EXPECT_EQ(Seeking()->IsFormatSupported(&TIME_FORMAT_BYTE), S_FALSE);
    EXPECT_EQ(Seeking()->SetTimeFormat(&TIME_FORMAT_FRAME), E_INVALIDARG);
}

TEST_F(WaveParserTest, delivers_exactly_the_file_samples_in_order_with_byte_based_times) {
    ASSERT_EQ(ConnectFile(MakeWav("sound.wav", 20011, 2, 8000)), S_OK);
    ASSERT_EQ(ConnectSink(), S_OK);
    Pause();
    ASSERT_TRUE(m_sink->WaitForEndOfStream(10s));
    EXPECT_EQ(DeliveredBytes(), SampleBytes());
    const auto samples = m_sink->Samples();
    ASSERT_GT(samples.size(), 1u);
    REFERENCE_TIME expected_start = 0;
    LONGLONG bytes_before = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        EXPECT_EQ(samples[i].time_result, S_OK);
        EXPECT_EQ(samples[i].start, expected_start);
        EXPECT_EQ(samples[i].start, bytes_before * kSecond / 32000);  // 4-byte frames at 8 kHz
        EXPECT_EQ(samples[i].discontinuity, i == 0);
        expected_start = samples[i].stop;
        bytes_before += static_cast<LONGLONG>(samples[i].data.size());
    }
    EXPECT_EQ(samples.back().stop, 20011LL * kSecond / 8000);
    EXPECT_EQ(m_sink->EndOfStreamCount(), 1);
    ASSERT_FALSE(m_sink->SegmentStarts().empty());
    EXPECT_EQ(m_sink->SegmentStarts().front(), 0);
}

TEST_F(WaveParserTest, seek_while_paused_flushes_and_restarts_on_the_block_grid) {
    ASSERT_EQ(ConnectFile(MakeWav("sound.wav", 16000, 2, 8000)), S_OK);
    ASSERT_EQ(ConnectSink(), S_OK);
    Pause();
    ASSERT_TRUE(m_sink->WaitForEndOfStream(10s));
    const int flushes = m_sink->BeginFlushCount();

    // 0.75 s + 10 us is frame 6000.08: the delivery starts at frame 6000, byte 24,000.
    const size_t before = m_sink->Samples().size();
    LONGLONG position = 7500100;
    ASSERT_EQ(Seeking()->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_GT(m_sink->BeginFlushCount(), flushes);
    ASSERT_TRUE(WaitUntil([&] { return m_sink->EndOfStreamCount() == 2; }));
    const std::vector<uint8_t> expected = SampleBytes();
    EXPECT_EQ(DeliveredBytes(before),
              std::vector<uint8_t>(expected.begin() + 24000, expected.end()));
    const ReceivedSample first = m_sink->Samples()[before];
    EXPECT_EQ(first.start, 0);  // a new segment starts at stream time 0
    EXPECT_TRUE(first.discontinuity);
    EXPECT_EQ(m_sink->SegmentStarts().back(), 7500000);
    LONGLONG stop = 0;
    Seeking()->GetStopPosition(&stop);
    EXPECT_EQ(stop, 20000000);  // the stop position was not touched
}

TEST_F(WaveParserTest, a_stop_position_ends_the_stream_early) {
    ASSERT_EQ(ConnectFile(MakeWav("sound.wav", 8000, 1, 8000)), S_OK);
    ASSERT_EQ(ConnectSink(), S_OK);
    LONGLONG stop = 2500000;  // a quarter second: 2000 frames
    ASSERT_EQ(Seeking()->SetPositions(nullptr, AM_SEEKING_NoPositioning, &stop,
                                      AM_SEEKING_AbsolutePositioning),
              S_OK);
    Pause();
    ASSERT_TRUE(m_sink->WaitForEndOfStream(10s));
    EXPECT_EQ(DeliveredBytes().size(), 4000u);
}

TEST_F(WaveParserTest, seek_while_stopped_applies_at_the_next_start) {
    ASSERT_EQ(ConnectFile(MakeWav("sound.wav", 8000, 1, 8000)), S_OK);
    ASSERT_EQ(ConnectSink(), S_OK);
    LONGLONG position = 5000000;
    ASSERT_EQ(Seeking()->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_EQ(m_sink->BeginFlushCount(), 0);
    Pause();
    ASSERT_TRUE(m_sink->WaitForEndOfStream(10s));
    const std::vector<uint8_t> expected = SampleBytes();
    EXPECT_EQ(DeliveredBytes(), std::vector<uint8_t>(expected.begin() + 8000, expected.end()));
}

TEST_F(WaveParserTest, stop_returns_while_downstream_holds_a_sample) {
    ASSERT_EQ(ConnectFile(MakeWav("sound.wav", 80000, 2, 8000)), S_OK);
    ASSERT_EQ(ConnectSink(), S_OK);
    m_sink->HoldReceives(true);
    Pause();
    ASSERT_TRUE(m_sink->WaitUntilHolding(5s));
    // The parser stops first here: it must free its own thread from the held Receive.
    auto stopped = std::async(std::launch::async, [&] { return m_parser.Base()->Stop(); });
    ASSERT_EQ(stopped.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(stopped.get(), S_OK);
    EXPECT_GE(m_sink->ReleasedByFlushOrStop(), 1);
}

TEST_F(WaveParserTest, a_file_cut_short_ends_the_stream_at_its_last_whole_block) {
    const std::string path = m_dir.File("cut.wav");
    std::vector<int16_t> samples(1001, 5);  // 500 frames and half of one
    WavFileBuilder().Channels(2).Rate(8000).Samples(samples).DeclaredDataSize(400000).Write(path);
    ASSERT_EQ(ConnectFile(path), S_OK);
    ASSERT_EQ(ConnectSink(), S_OK);
    Pause();
    ASSERT_TRUE(m_sink->WaitForEndOfStream(10s));
    EXPECT_EQ(DeliveredBytes().size(), 2000u);  // 500 frames; the torn half frame is dropped
}

TEST_F(WaveParserTest, a_format_chunk_that_lies_about_its_size_fails_the_connection) {
    const std::string path = m_dir.File("lying.wav");
    WavFileBuilder().FormatChunkSize(16).Samples({1, 2, 3, 4}).Write(path);
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    bytes[16] = 0xF0;  // the format chunk now claims 240 bytes, past the end
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    EXPECT_EQ(ConnectFile(path), VFW_E_INVALID_FILE_FORMAT);
    IPin* peer = nullptr;
    EXPECT_EQ(Input()->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
}

TEST_F(WaveParserTest, a_file_without_samples_or_format_fails_the_connection) {
    const std::string no_data = m_dir.File("nodata.wav");
    WavFileBuilder().OmitData().Write(no_data);
    EXPECT_EQ(ConnectFile(no_data), VFW_E_INVALID_FILE_FORMAT);
    Held<AsyncFileSource> other;
    const std::string text = m_dir.File("text.wav");
    std::ofstream(text) << "RIFF but not really a wave file at all";
    ComPtr<IFileSourceFilter> file;
    other.Base()->QueryInterface(IID_PPV_ARGS(file.GetAddressOf()));
    ASSERT_EQ(file->Load(WidePath(text).c_str(), nullptr), S_OK);
    EXPECT_EQ(FindPin(other.Base(), PINDIR_OUTPUT)->Connect(Input().Get(), nullptr),
              VFW_E_INVALID_FILE_FORMAT);
}

TEST_F(WaveParserTest, a_compressed_format_connects_with_its_own_subtype) {
    const std::string path = m_dir.File("adpcm.wav");
    WavFileBuilder().Tag(2).Channels(1).Bits(8).Samples(std::vector<int16_t>(100, 3)).Write(path);
    ASSERT_EQ(ConnectFile(path), S_OK);
    ComPtr<IEnumMediaTypes> types;
    Output()->EnumMediaTypes(types.GetAddressOf());
    AM_MEDIA_TYPE* type = nullptr;
    ASSERT_EQ(types->Next(1, &type, nullptr), S_OK);
    EXPECT_EQ(type->subtype.Data1, 2u);
    DeleteMediaType(type);
}

TEST_F(WaveParserTest, a_reader_that_declares_more_than_it_delivers_ends_the_stream) {
    // The header promises 44 bytes more than the image holds, as a virtual WAV does.
    std::vector<int16_t> samples(4000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(i + 1);
    const auto image = WavFileBuilder()
                           .Channels(1)
                           .Rate(8000)
                           .Samples(samples)
                           .DeclaredDataSize(8000 + 44)
                           .Bytes();
    ASSERT_EQ(ConnectMemory(image), S_OK);
    ASSERT_EQ(ConnectSink(), S_OK);
    PauseWithMemory();
    ASSERT_TRUE(m_sink->WaitForEndOfStream(10s));
    EXPECT_EQ(DeliveredBytes(), std::vector<uint8_t>(image.begin() + 44, image.end()));
}

TEST_F(WaveParserTest, a_read_that_fails_ends_the_stream_cleanly) {
    std::vector<int16_t> samples(40000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(i * 13);
    const auto image = WavFileBuilder().Channels(1).Rate(8000).Samples(samples).Bytes();
    ASSERT_EQ(ConnectMemory(image), S_OK);
    m_memory->filter->FailReadsAt(50000);
    ASSERT_EQ(ConnectSink(), S_OK);
    PauseWithMemory();
    ASSERT_TRUE(m_sink->WaitForEndOfStream(10s));
    const std::vector<uint8_t> delivered = DeliveredBytes();
    EXPECT_LT(delivered.size(), 80000u);
    // What did come is the start of the samples, in order.
    EXPECT_TRUE(std::equal(delivered.begin(), delivered.end(), image.begin() + 44));
}

}  // namespace
