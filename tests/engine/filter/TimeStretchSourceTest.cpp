// The source filter and its pin as a checklist: interfaces, the one pin, the file-source
// interface before and after Load, media types, connections (the "Wave Parser", a peer that
// never asks for the reader, a failed Load), the reader's length, clipping and allocator, and
// what a pulling parser receives from a stream slower or faster than the header says.
#include "engine/TimeStretchSource.h"

#include <chrono>
#include <cstring>
#include <future>

#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/base/CMemAllocator.h"
#include "platform/media/base/CPullPin.h"
#include "platform/media/uuids.h"
#include "tests/engine/filter/SourceFilterFixture.h"
#include "tests/platform/media/support/PullSinkFilter.h"
#include "tests/platform/media/support/TestSinkFilter.h"

namespace {

using namespace std::chrono_literals;

class TimeStretchSourceTest : public SourceFilterFixture {
protected:
    void SetUp() override {
        SourceFilterFixture::SetUp();
        MakeFilter();
    }
    void TearDown() override {
        if (m_allocator) m_allocator->Decommit();
        m_allocator = nullptr;
        SourceFilterFixture::TearDown();
    }

    ComPtr<IPin> ParserInput() {
        ComPtr<IBaseFilter> parser;
        EXPECT_EQ(CoCreateInstance(CLSID_WAVEParser, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(parser.GetAddressOf())),
                  S_OK);
        ComPtr<IPin> input;
        if (parser) {
            EXPECT_EQ(parser->FindPin(u"input", input.GetAddressOf()), S_OK);
        }
        return input;
    }

    CBasePin* PinObject() { return source->GetPin(0); }

    // A sample of `size` bytes whose times ask for [first, first + count).
    ComPtr<IMediaSample> Sample(long size, LONGLONG first, LONGLONG count) {
        if (!m_allocator) {
            EXPECT_EQ(
                CMemAllocator::CreateInstance(nullptr, IID_IMemAllocator,
                                              reinterpret_cast<void**>(m_allocator.GetAddressOf())),
                S_OK);
            ALLOCATOR_PROPERTIES wanted{2, size, 1, 0};
            ALLOCATOR_PROPERTIES granted{};
            EXPECT_EQ(m_allocator->SetProperties(&wanted, &granted), S_OK);
            EXPECT_EQ(m_allocator->Commit(), S_OK);
        }
        ComPtr<IMediaSample> sample;
        EXPECT_EQ(m_allocator->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0), S_OK);
        REFERENCE_TIME start = first * UNITS;
        REFERENCE_TIME stop = (first + count) * UNITS;
        sample->SetTime(&start, &stop);
        return sample;
    }

    static CMediaType Type(const GUID& major, const GUID& sub) {
        CMediaType type(&major);
        type.SetSubtype(&sub);
        return type;
    }

    HRESULT Accepts(const GUID& major, const GUID& sub) {
        const CMediaType type = Type(major, sub);
        return pin->QueryAccept(&type);
    }

    LONGLONG Total() const { return kHeader + LONGLONG{data_size}; }

    ComPtr<IMemAllocator> m_allocator;
};

// ---- the filter's face -----------------------------------------------------------------------

TEST_F(TimeStretchSourceTest, answers_its_interfaces_and_its_class_identifier) {
    for (const IID* iid : {&IID_IUnknown, &IID_IBaseFilter, &IID_IMediaFilter, &IID_IPersist,
                           &IID_IFileSourceFilter}) {
        ComPtr<IUnknown> unknown;
        EXPECT_EQ(filter->QueryInterface(*iid, reinterpret_cast<void**>(unknown.GetAddressOf())),
                  S_OK);
    }
    ComPtr<IUnknown> none;
    EXPECT_EQ(
        filter->QueryInterface(IID_IAsyncReader, reinterpret_cast<void**>(none.GetAddressOf())),
        E_NOINTERFACE);
    CLSID clsid{};
    ASSERT_EQ(filter->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_TimeStretchSource);
}

TEST_F(TimeStretchSourceTest, has_exactly_one_output_pin_named_output) {
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(filter->EnumPins(pins.GetAddressOf()), S_OK);
    IPin* fetched[2] = {};
    ULONG count = 0;
    EXPECT_EQ(pins->Next(2, fetched, &count), S_FALSE);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(fetched[0], pin.Get());
    fetched[0]->Release();
    EXPECT_EQ(source->GetPinCount(), 1);
    EXPECT_EQ(source->GetPin(1), nullptr);
    EXPECT_EQ(source->GetPin(-1), nullptr);

    PIN_INFO info{};
    ASSERT_EQ(pin->QueryPinInfo(&info), S_OK);
    EXPECT_EQ(info.dir, PINDIR_OUTPUT);
    EXPECT_EQ(std::u16string(info.achName), u"Output");
    EXPECT_EQ(info.pFilter, filter.Get());
    info.pFilter->Release();
}

TEST_F(TimeStretchSourceTest, the_filters_stream_is_the_current_stream_while_the_filter_lives) {
    EXPECT_EQ(CurrentStream(), &source->Stream());
    ReleaseFilter();
    EXPECT_EQ(CurrentStream(), nullptr);
}

// ---- file source -----------------------------------------------------------------------------

TEST_F(TimeStretchSourceTest, get_cur_file_before_any_load_gives_no_name_and_s_ok) {
    ComPtr<IFileSourceFilter> file;
    ASSERT_EQ(filter.As(&file), S_OK);
    LPOLESTR name = reinterpret_cast<LPOLESTR>(this);
    AM_MEDIA_TYPE type{};
    EXPECT_EQ(file->GetCurFile(&name, &type), S_OK);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(type.majortype, GUID_NULL);
    FreeMediaType(type);
    EXPECT_EQ(file->GetCurFile(nullptr, nullptr), E_POINTER);
}

TEST_F(TimeStretchSourceTest, load_keeps_the_name_and_offers_stream_wave) {
    const std::string path = MakeWav(0.5);
    ComPtr<IFileSourceFilter> file;
    ASSERT_EQ(filter.As(&file), S_OK);
    EXPECT_EQ(file->Load(nullptr, nullptr), E_POINTER);
    ASSERT_EQ(Load(path), S_OK);
    LPOLESTR name = nullptr;
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(file->GetCurFile(&name, &type), S_OK);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(std::u16string(name), std::u16string(path.begin(), path.end()));
    CoTaskMemFree(name);
    EXPECT_EQ(type.majortype, MEDIATYPE_Stream);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_WAVE);
    FreeMediaType(type);
    EXPECT_EQ(Accepts(MEDIATYPE_Stream, MEDIASUBTYPE_WAVE), S_OK);
}

TEST_F(TimeStretchSourceTest, load_again_opens_the_new_file) {
    ASSERT_EQ(Load(MakeWav(0.5, "first.wav")), S_OK);
    ASSERT_EQ(Load(MakeWav(0.25, "second.wav")), S_OK);
    LONGLONG total = 0;
    LONGLONG available = 0;
    ASSERT_EQ(reader->Length(&total, &available), S_OK);
    EXPECT_EQ(total, Total());
}

TEST_F(TimeStretchSourceTest, a_type_given_to_load_is_offered_and_its_null_subtype_takes_any) {
    const CMediaType any = Type(MEDIATYPE_Stream, GUID_NULL);
    ASSERT_EQ(Load(MakeWav(0.5), &any), S_OK);
    CMediaType offered;
    ASSERT_EQ(PinObject()->GetMediaType(0, &offered), S_OK);
    EXPECT_EQ(offered.subtype, GUID_NULL);
    EXPECT_EQ(Accepts(MEDIATYPE_Stream, MEDIASUBTYPE_Avi), S_OK);
    EXPECT_EQ(Accepts(MEDIATYPE_Audio, MEDIASUBTYPE_PCM), S_FALSE);
}

TEST_F(TimeStretchSourceTest, media_types_are_the_filters_one_at_position_0) {
    ASSERT_EQ(Load(MakeWav(0.5)), S_OK);
    CMediaType type;
    EXPECT_EQ(PinObject()->GetMediaType(-1, &type), E_INVALIDARG);
    EXPECT_EQ(PinObject()->GetMediaType(1, &type), VFW_S_NO_MORE_ITEMS);
    EXPECT_EQ(PinObject()->GetMediaType(0, nullptr), E_POINTER);
    ASSERT_EQ(PinObject()->GetMediaType(0, &type), S_OK);
    EXPECT_EQ(type.majortype, MEDIATYPE_Stream);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_WAVE);
    EXPECT_EQ(Accepts(MEDIATYPE_Stream, MEDIASUBTYPE_Avi), S_FALSE);
    EXPECT_EQ(Accepts(MEDIATYPE_Audio, MEDIASUBTYPE_WAVE), S_FALSE);
}

TEST_F(TimeStretchSourceTest, a_failed_load_fails_and_nothing_is_served_until_a_load_succeeds) {
    EXPECT_EQ(Load(dir.File("absent.wav")), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    const std::string garbage = dir.File("garbage.wav");
    WavFileBuilder().FormType("AVI ").RawData(std::vector<uint8_t>(400, 7)).Write(garbage);
    EXPECT_EQ(Load(garbage), VFW_E_INVALID_FILE_FORMAT);

    ComPtr<IFileSourceFilter> file;
    ASSERT_EQ(filter.As(&file), S_OK);
    LPOLESTR name = nullptr;
    ASSERT_EQ(file->GetCurFile(&name, nullptr), S_OK);
    EXPECT_EQ(name, nullptr);
    CMediaType type;
    EXPECT_EQ(PinObject()->GetMediaType(0, &type), VFW_S_NO_MORE_ITEMS);
    EXPECT_EQ(Accepts(MEDIATYPE_Stream, MEDIASUBTYPE_WAVE), S_FALSE);
    BYTE buffer[16] = {};
    EXPECT_EQ(reader->SyncRead(0, 16, buffer), VFW_E_WRONG_STATE);
    EXPECT_EQ(reader->Request(Sample(64, 0, 16).Get(), 0), VFW_E_WRONG_STATE);
    EXPECT_EQ(reader->SyncReadAligned(Sample(64, 0, 16).Get()), VFW_E_WRONG_STATE);
    LONGLONG total = -1;
    LONGLONG available = -1;
    ASSERT_EQ(reader->Length(&total, &available), S_OK);
    EXPECT_EQ(total, 0);

    ComPtr<IPin> input = ParserInput();
    ASSERT_TRUE(input);
    EXPECT_TRUE(FAILED(pin->Connect(input.Get(), nullptr)));
    ComPtr<IPin> peer;
    EXPECT_EQ(pin->ConnectedTo(peer.GetAddressOf()), VFW_E_NOT_CONNECTED);

    ASSERT_EQ(Load(MakeWav(0.5)), S_OK);
    EXPECT_EQ(pin->Connect(input.Get(), nullptr), S_OK);
    EXPECT_EQ(pin->Disconnect(), S_OK);
    EXPECT_EQ(input->Disconnect(), S_OK);
}

TEST_F(TimeStretchSourceTest, a_failed_load_after_a_good_one_stops_the_reads) {
    ASSERT_EQ(Load(MakeWav(0.5)), S_OK);
    BYTE buffer[16] = {};
    ASSERT_EQ(reader->SyncRead(0, 16, buffer), S_OK);
    EXPECT_EQ(std::memcmp(buffer, "RIFF", 4), 0);
    EXPECT_TRUE(FAILED(Load(dir.File("absent.wav"))));
    EXPECT_EQ(reader->SyncRead(0, 16, buffer), VFW_E_WRONG_STATE);
}

// ---- connections -----------------------------------------------------------------------------

TEST_F(TimeStretchSourceTest, a_peer_that_never_asks_for_the_reader_cannot_connect) {
    ASSERT_EQ(Load(MakeWav(0.5)), S_OK);
    auto* sink = new TestSinkFilter(GUID_NULL);
    ComPtr<IBaseFilter> sink_filter(static_cast<IBaseFilter*>(sink));
    const CMediaType wave = Type(MEDIATYPE_Stream, MEDIASUBTYPE_WAVE);
    EXPECT_EQ(pin->Connect(sink->InputPin(), &wave), VFW_E_NO_TRANSPORT);
    ComPtr<IPin> peer;
    EXPECT_EQ(pin->ConnectedTo(peer.GetAddressOf()), VFW_E_NOT_CONNECTED);
    EXPECT_FALSE(sink->InputPin()->IsConnected());
}

TEST_F(TimeStretchSourceTest, connects_to_the_wave_parser_and_again_after_disconnecting) {
    ASSERT_EQ(Load(MakeWav(0.5)), S_OK);
    ComPtr<IPin> input = ParserInput();
    ASSERT_TRUE(input);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(pin->Connect(input.Get(), nullptr), S_OK) << "round " << round;
        ComPtr<IPin> peer;
        ASSERT_EQ(pin->ConnectedTo(peer.GetAddressOf()), S_OK);
        EXPECT_EQ(peer.Get(), input.Get());
        AM_MEDIA_TYPE type{};
        ASSERT_EQ(pin->ConnectionMediaType(&type), S_OK);
        EXPECT_EQ(type.subtype, MEDIASUBTYPE_WAVE);
        FreeMediaType(type);
        EXPECT_EQ(pin->Disconnect(), S_OK);
        EXPECT_EQ(input->Disconnect(), S_OK);
    }
}

// ---- reading ---------------------------------------------------------------------------------

TEST_F(TimeStretchSourceTest, the_length_is_the_whole_declared_file_header_included) {
    ASSERT_EQ(Load(MakeWav(0.5)), S_OK);
    LONGLONG total = 0;
    LONGLONG available = -1;
    ASSERT_EQ(reader->Length(&total, &available), S_OK);
    EXPECT_EQ(total, Total());
    EXPECT_EQ(available, 0);
    EXPECT_EQ(reader->Length(nullptr, nullptr), E_POINTER);
}

TEST_F(TimeStretchSourceTest, a_request_past_the_total_is_cut_there_and_its_stop_time_moved) {
    AddEvent(0.0f, -30.0f);  // slower: the audio runs on past the declared size
    const std::string path = MakeWav(0.5);
    ASSERT_EQ(Load(path), S_OK);
    ASSERT_GT(Rendered(path, 0.0f).size(), data_size);

    const LONGLONG first = Total() - 100;
    ComPtr<IMediaSample> sample = Sample(4096, first, 4096);
    ASSERT_EQ(reader->Request(sample.Get(), 42), S_OK);
    IMediaSample* done = nullptr;
    DWORD_PTR user = 0;
    ASSERT_EQ(reader->WaitForNext(10'000, &done, &user), S_OK);
    EXPECT_EQ(done, sample.Get());
    EXPECT_EQ(user, 42u);
    EXPECT_EQ(sample->GetActualDataLength(), 100);
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    ASSERT_EQ(sample->GetTime(&start, &stop), S_OK);
    EXPECT_EQ(start, first * UNITS);
    EXPECT_EQ(stop, Total() * UNITS);
    BYTE* bytes = nullptr;
    ASSERT_EQ(sample->GetPointer(&bytes), S_OK);
    const std::vector<uint8_t> expected = ReadFrom(path, 0.0f, static_cast<uint32_t>(first), 100);
    ASSERT_EQ(expected.size(), 100u);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes));
}

TEST_F(TimeStretchSourceTest, a_synchronous_read_is_cut_at_the_total_like_a_request) {
    AddEvent(0.0f, -30.0f);
    ASSERT_EQ(Load(MakeWav(0.5)), S_OK);
    ComPtr<IMediaSample> sample = Sample(4096, Total() - 10, 4096);
    EXPECT_EQ(reader->SyncReadAligned(sample.Get()), S_OK);
    EXPECT_EQ(sample->GetActualDataLength(), 10);
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    ASSERT_EQ(sample->GetTime(&start, &stop), S_OK);
    EXPECT_EQ(stop, Total() * UNITS);
    // Beyond the end, nothing is asked for.
    ComPtr<IMediaSample> beyond = Sample(4096, Total() + 50, 100);
    EXPECT_EQ(reader->SyncReadAligned(beyond.Get()), S_OK);
    EXPECT_EQ(beyond->GetActualDataLength(), 0);
    EXPECT_EQ(reader->SyncReadAligned(nullptr), E_POINTER);
    EXPECT_EQ(reader->Request(nullptr, 0), E_POINTER);
}

TEST_F(TimeStretchSourceTest, a_request_larger_than_its_sample_is_refused) {
    ASSERT_EQ(Load(MakeWav(0.5)), S_OK);
    ComPtr<IMediaSample> sample = Sample(256, 0, 512);
    EXPECT_EQ(reader->Request(sample.Get(), 0), VFW_E_BUFFER_OVERFLOW);
}

TEST_F(TimeStretchSourceTest, the_allocator_request_fills_in_the_alignment_and_prefers_the_peers) {
    ASSERT_EQ(Load(MakeWav(0.5)), S_OK);
    ALLOCATOR_PROPERTIES wanted{3, 1000, 0, 0};
    IMemAllocator* actual = nullptr;
    EXPECT_EQ(reader->RequestAllocator(nullptr, nullptr, &actual), E_POINTER);
    EXPECT_EQ(reader->RequestAllocator(nullptr, &wanted, nullptr), E_POINTER);

    ComPtr<IMemAllocator> preferred;
    ASSERT_EQ(CMemAllocator::CreateInstance(nullptr, IID_IMemAllocator,
                                            reinterpret_cast<void**>(preferred.GetAddressOf())),
              S_OK);
    ASSERT_EQ(reader->RequestAllocator(preferred.Get(), &wanted, &actual), S_OK);
    EXPECT_EQ(wanted.cbAlign, 1);
    EXPECT_EQ(actual, preferred.Get());
    actual->Release();

    ALLOCATOR_PROPERTIES own{2, 500, 0, 0};
    ASSERT_EQ(reader->RequestAllocator(nullptr, &own, &actual), S_OK);
    ASSERT_NE(actual, nullptr);
    ALLOCATOR_PROPERTIES granted{};
    ASSERT_EQ(actual->GetProperties(&granted), S_OK);
    EXPECT_EQ(granted.cBuffers, 2);
    EXPECT_GE(granted.cbBuffer, 500);
    actual->Release();
}

TEST_F(TimeStretchSourceTest, a_flush_releases_a_reader_waiting_for_the_next_sample) {
    ASSERT_EQ(Load(MakeWav(0.5)), S_OK);
    auto waiter = std::async(std::launch::async, [&] {
        IMediaSample* sample = nullptr;
        DWORD_PTR user = 0;
        return reader->WaitForNext(INFINITE, &sample, &user);
    });
    EXPECT_EQ(waiter.wait_for(50ms), std::future_status::timeout);
    ASSERT_EQ(reader->BeginFlush(), S_OK);
    ASSERT_EQ(waiter.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(waiter.get(), VFW_E_WRONG_STATE);
    EXPECT_EQ(reader->EndFlush(), S_OK);
}

// ---- a pulling parser --------------------------------------------------------------------------

class PulledThrough : public TimeStretchSourceTest {
protected:
    // Everything a queued puller gets from byte 0 to the declared end.
    std::vector<BYTE> Pull(PullSinkFilter* sink) {
        EXPECT_EQ(pin->Connect(sink->InputPin(), nullptr), S_OK);
        EXPECT_EQ(sink->SetRange(0, Total()), S_OK);
        EXPECT_TRUE(SUCCEEDED(sink->Pause()));
        EXPECT_TRUE(sink->WaitForErrorOrEnd(10s));
        EXPECT_EQ(sink->Stop(), S_OK);
        EXPECT_EQ(pin->Disconnect(), S_OK);
        EXPECT_EQ(sink->InputPin()->Disconnect(), S_OK);
        return sink->Bytes();
    }
};

TEST_F(PulledThrough, a_slower_stream_gives_the_parser_every_declared_byte) {
    AddEvent(0.0f, -30.0f);
    const std::string path = MakeWav(0.5);
    ASSERT_EQ(Load(path), S_OK);
    auto* sink = new PullSinkFilter(false, 1000, 3);
    ComPtr<IBaseFilter> held(static_cast<IBaseFilter*>(sink));
    const std::vector<BYTE> bytes = Pull(sink);
    EXPECT_TRUE(sink->Errors().empty());
    EXPECT_EQ(sink->EndOfStreamCount(), 1);
    ASSERT_EQ(bytes.size(), static_cast<size_t>(Total()));
    const std::vector<uint8_t> expected = Rendered(path, 0.0f);
    EXPECT_TRUE(std::equal(bytes.begin() + kHeader, bytes.end(), expected.begin()));
}

TEST_F(PulledThrough, a_faster_stream_ends_cleanly_with_all_its_audio_before_the_declared_end) {
    AddEvent(0.0f, 50.0f);
    const std::string path = MakeWav(0.5);
    ASSERT_EQ(Load(path), S_OK);
    auto* sink = new PullSinkFilter(false, 1000, 3);
    ComPtr<IBaseFilter> held(static_cast<IBaseFilter*>(sink));
    const std::vector<BYTE> bytes = Pull(sink);
    EXPECT_TRUE(sink->Errors().empty());
    EXPECT_EQ(sink->EndOfStreamCount(), 1);
    const std::vector<uint8_t> expected = Rendered(path, 0.0f);
    ASSERT_LT(expected.size(), data_size);
    ASSERT_EQ(bytes.size(), kHeader + expected.size());
    EXPECT_TRUE(std::equal(bytes.begin() + kHeader, bytes.end(), expected.begin()));
}

}  // namespace
