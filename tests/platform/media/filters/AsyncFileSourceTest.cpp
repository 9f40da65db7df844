#include "platform/media/filters/AsyncFileSource.h"

#include <chrono>
#include <fstream>
#include <future>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/base/CMemAllocator.h"
#include "platform/media/base/CPullPin.h"
#include "platform/media/uuids.h"
#include "tests/platform/media/filters/FilterTestFixture.h"
#include "tests/platform/media/support/PullSinkFilter.h"
#include "tests/platform/media/support/TestSinkFilter.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace std::chrono_literals;

class AsyncFileSourceTest : public FilterTest {
protected:
    std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = m_dir.File(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::vector<uint8_t> Counting(size_t size) {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
        return bytes;
    }
    HRESULT Load(const std::string& path, const AM_MEDIA_TYPE* type = nullptr) {
        ComPtr<IFileSourceFilter> file;
        EXPECT_EQ(m_source.Base()->QueryInterface(IID_PPV_ARGS(file.GetAddressOf())), S_OK);
        return file->Load(WidePath(path).c_str(), type);
    }
    GUID OfferedSubtype() {
        const ComPtr<IPin> pin = FindPin(m_source.Base(), PINDIR_OUTPUT);
        if (!pin) return GUID_NULL;
        ComPtr<IEnumMediaTypes> types;
        pin->EnumMediaTypes(types.GetAddressOf());
        AM_MEDIA_TYPE* type = nullptr;
        if (types->Next(1, &type, nullptr) != S_OK) return GUID_NULL;
        const GUID subtype = type->subtype;
        EXPECT_EQ(type->majortype, MEDIATYPE_Stream);
        DeleteMediaType(type);
        return subtype;
    }
    ComPtr<IAsyncReader> Reader() {
        ComPtr<IAsyncReader> reader;
        const ComPtr<IPin> pin = FindPin(m_source.Base(), PINDIR_OUTPUT);
        if (pin) pin.As(&reader);
        return reader;
    }

    Held<AsyncFileSource> m_source;
};

TEST_F(AsyncFileSourceTest, answers_base_filter_and_file_source_with_its_class) {
    ComPtr<IFileSourceFilter> file;
    EXPECT_EQ(m_source.Base()->QueryInterface(IID_PPV_ARGS(file.GetAddressOf())), S_OK);
    ComPtr<IPersist> persist;
    ASSERT_EQ(m_source.Base()->QueryInterface(IID_PPV_ARGS(persist.GetAddressOf())), S_OK);
    CLSID clsid{};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_AsyncReader);
    ComPtr<IAsyncReader> reader;
    EXPECT_EQ(m_source.Base()->QueryInterface(IID_PPV_ARGS(reader.GetAddressOf())), E_NOINTERFACE);
}

TEST_F(AsyncFileSourceTest, is_creatable_as_a_builtin_class) {
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(CoCreateInstance(CLSID_AsyncReader, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(filter.GetAddressOf())),
              S_OK);
    ComPtr<IFileSourceFilter> file;
    EXPECT_EQ(filter.As(&file), S_OK);
}

TEST_F(AsyncFileSourceTest, has_no_pin_and_no_file_before_load) {
    EXPECT_EQ(FindPin(m_source.Base(), PINDIR_OUTPUT), nullptr);
    ComPtr<IFileSourceFilter> file;
    m_source.Base()->QueryInterface(IID_PPV_ARGS(file.GetAddressOf()));
    LPOLESTR name = reinterpret_cast<LPOLESTR>(this);
    EXPECT_EQ(file->GetCurFile(&name, nullptr), S_OK);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(file->GetCurFile(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(file->Load(nullptr, nullptr), E_POINTER);
}

TEST_F(AsyncFileSourceTest, load_of_a_missing_file_fails_and_gives_no_pin) {
    EXPECT_TRUE(FAILED(Load(m_dir.File("missing.wav"))));
    EXPECT_TRUE(FAILED(Load(m_dir.Path().string())));  // a folder is no file
    EXPECT_EQ(FindPin(m_source.Base(), PINDIR_OUTPUT), nullptr);
}

TEST_F(AsyncFileSourceTest, load_gives_one_output_pin_named_output) {
    ASSERT_EQ(Load(WriteBytes("a.bin", Counting(100))), S_OK);
    const ComPtr<IPin> pin = FindPin(m_source.Base(), PINDIR_OUTPUT);
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(FindPin(m_source.Base(), PINDIR_OUTPUT, 1), nullptr);
    EXPECT_EQ(FindPin(m_source.Base(), PINDIR_INPUT), nullptr);
    PIN_INFO info{};
    ASSERT_EQ(pin->QueryPinInfo(&info), S_OK);
    EXPECT_EQ(std::u16string(info.achName), u"Output");
    EXPECT_EQ(info.dir, PINDIR_OUTPUT);
    EXPECT_EQ(info.pFilter, m_source.Base());
    info.pFilter->Release();
    IPin* unconnected = nullptr;
    EXPECT_EQ(pin->ConnectedTo(&unconnected), VFW_E_NOT_CONNECTED);
}

TEST_F(AsyncFileSourceTest, subtype_follows_the_extension_then_the_content) {
    ASSERT_EQ(Load(WriteBytes("a.wav", Counting(64))), S_OK);
    EXPECT_EQ(OfferedSubtype(), MEDIASUBTYPE_WAVE);
    ASSERT_EQ(Load(WriteBytes("b.AVI", Counting(64))), S_OK);
    EXPECT_EQ(OfferedSubtype(), MEDIASUBTYPE_Avi);
    ASSERT_EQ(Load(WriteBytes("c.mpg", Counting(64))), S_OK);
    EXPECT_EQ(OfferedSubtype(), MEDIASUBTYPE_MPEG1System);
    ASSERT_EQ(Load(WriteBytes("d.dat", WavFileBuilder().Samples({1, 2}).Bytes())), S_OK);
    EXPECT_EQ(OfferedSubtype(), MEDIASUBTYPE_WAVE);
    ASSERT_EQ(Load(WriteBytes("e.dat", {0x00, 0x00, 0x01, 0xBA, 0x44})), S_OK);
    EXPECT_EQ(OfferedSubtype(), MEDIASUBTYPE_MPEG1System);
    ASSERT_EQ(Load(WriteBytes("f.dat", Counting(64))), S_OK);
    EXPECT_EQ(OfferedSubtype(), GUID_NULL);
}

// Bytes (with the rest of the head counting) as the patterns of each movie container see them.
TEST_F(AsyncFileSourceTest, movie_containers_are_known_by_their_first_bytes) {
    struct Case {
        const char* what;
        std::vector<std::pair<size_t, std::string>> bytes;  // at an offset
        size_t size;
        GUID subtype;
    };
    const Case cases[] = {
        {"mp4", {{4, "ftypisom"}}, 64, MEDIASUBTYPE_TKV_MP4},
        {"quicktime brand", {{4, "ftypqt  "}}, 64, MEDIASUBTYPE_QTMovie},
        {"quicktime without ftyp", {{4, "moov"}}, 64, MEDIASUBTYPE_QTMovie},
        {"quicktime data first", {{4, "mdat"}}, 64, MEDIASUBTYPE_QTMovie},
        {"matroska", {{0, "\x1A\x45\xDF\xA3"}}, 64, MEDIASUBTYPE_TKV_Matroska},
        {"transport", {{0, "G"}, {188, "G"}, {376, "G"}}, 600, MEDIASUBTYPE_MPEG2_TRANSPORT},
        {"one sync byte short", {{0, "G"}, {188, "G"}}, 600, GUID_NULL},
        {"transport cut short", {{0, "G"}, {188, "G"}}, 376, GUID_NULL},
        {"ftyp too late", {{5, "ftyp"}}, 64, GUID_NULL},
        {"box name cut short", {{4, "ft"}}, 6, GUID_NULL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> head = Counting(c.size);
        for (auto& b : head) {
            if (b == 'G') b = 0;  // no stray sync bytes
        }
        for (const auto& [offset, text] : c.bytes)
            std::copy(text.begin(), text.end(), head.begin() + static_cast<long>(offset));
        ASSERT_EQ(Load(WriteBytes("movie.dat", head)), S_OK);
        EXPECT_EQ(OfferedSubtype(), c.subtype);
    }
    // By name, where the bytes say nothing.
    for (const auto& [name, subtype] : {std::pair{"a.MP4", MEDIASUBTYPE_TKV_MP4},
                                        {"b.mov", MEDIASUBTYPE_QTMovie},
                                        {"c.mkv", MEDIASUBTYPE_TKV_Matroska},
                                        {"d.webm", MEDIASUBTYPE_TKV_Matroska},
                                        {"e.ts", MEDIASUBTYPE_MPEG2_TRANSPORT}}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(Load(WriteBytes(name, Counting(64))), S_OK);
        EXPECT_EQ(OfferedSubtype(), subtype);
    }
}

TEST_F(AsyncFileSourceTest, get_cur_file_gives_the_name_and_type_loaded) {
    const std::string path = WriteBytes("named.wav", Counting(10));
    ASSERT_EQ(Load(path), S_OK);
    ComPtr<IFileSourceFilter> file;
    m_source.Base()->QueryInterface(IID_PPV_ARGS(file.GetAddressOf()));
    LPOLESTR name = nullptr;
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(file->GetCurFile(&name, &type), S_OK);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(std::u16string(name), WidePath(path));
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_WAVE);
    CoTaskMemFree(name);
    FreeMediaType(type);
}

TEST_F(AsyncFileSourceTest, a_type_given_to_load_is_the_type_offered) {
    AM_MEDIA_TYPE given{};
    given.majortype = MEDIATYPE_Stream;
    given.subtype = MEDIASUBTYPE_AIFF;
    ASSERT_EQ(Load(WriteBytes("x.wav", Counting(10)), &given), S_OK);
    EXPECT_EQ(OfferedSubtype(), MEDIASUBTYPE_AIFF);
}

TEST_F(AsyncFileSourceTest, serves_the_file_to_a_pulling_pin_with_queued_and_sync_reads) {
    const std::vector<uint8_t> bytes = Counting(10007);
    ASSERT_EQ(Load(WriteBytes("data.wav", bytes)), S_OK);
    for (const bool sync : {false, true}) {
        Held<PullSinkFilter> sink(sync, 1000, 3);
        const ComPtr<IPin> output = FindPin(m_source.Base(), PINDIR_OUTPUT);
        const ComPtr<IPin> input = FindPin(sink.Base(), PINDIR_INPUT);
        ASSERT_EQ(output->Connect(input.Get(), nullptr), S_OK);
        ASSERT_EQ(sink.Base()->Pause(), S_OK);
        EXPECT_TRUE(sink->WaitForEndOfStream(10s));
        EXPECT_EQ(sink.Base()->Stop(), S_OK);
        EXPECT_EQ(sink->Bytes(), bytes) << (sync ? "synchronous" : "queued");
        EXPECT_TRUE(sink->Errors().empty());
        EXPECT_EQ(output->Disconnect(), S_OK);
        EXPECT_EQ(input->Disconnect(), S_OK);
    }
}

TEST_F(AsyncFileSourceTest, refuses_a_pin_that_wants_samples_pushed) {
    ASSERT_EQ(Load(WriteBytes("data.wav", Counting(100))), S_OK);
    Held<TestSinkFilter> sink(GUID_NULL);
    const ComPtr<IPin> output = FindPin(m_source.Base(), PINDIR_OUTPUT);
    const ComPtr<IPin> input = FindPin(sink.Base(), PINDIR_INPUT);
    EXPECT_EQ(output->Connect(input.Get(), nullptr), VFW_E_NO_TRANSPORT);
    IPin* peer = nullptr;
    EXPECT_EQ(output->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(input->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
}

TEST_F(AsyncFileSourceTest, refuses_to_load_another_file_while_connected) {
    ASSERT_EQ(Load(WriteBytes("one.wav", Counting(100))), S_OK);
    Held<PullSinkFilter> sink(false);
    const ComPtr<IPin> output = FindPin(m_source.Base(), PINDIR_OUTPUT);
    const ComPtr<IPin> input = FindPin(sink.Base(), PINDIR_INPUT);
    ASSERT_EQ(output->Connect(input.Get(), nullptr), S_OK);
    EXPECT_EQ(Load(WriteBytes("two.wav", Counting(50))), VFW_E_ALREADY_CONNECTED);
    output->Disconnect();
    input->Disconnect();
    EXPECT_EQ(Load(WriteBytes("two.wav", Counting(50))), S_OK);
    LONGLONG total = 0;
    EXPECT_EQ(Reader()->Length(&total, nullptr), S_OK);
    EXPECT_EQ(total, 50);
}

TEST_F(AsyncFileSourceTest, request_past_the_end_is_cut_there_and_reports_s_false) {
    const std::vector<uint8_t> bytes = Counting(1000);
    ASSERT_EQ(Load(WriteBytes("short.wav", bytes)), S_OK);
    const ComPtr<IAsyncReader> reader = Reader();
    ALLOCATOR_PROPERTIES wanted{2, 100, 0, 0};
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(reader->RequestAllocator(nullptr, &wanted, allocator.GetAddressOf()), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);
    IMediaSample* sample = nullptr;
    ASSERT_EQ(allocator->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
    REFERENCE_TIME start = 960 * UNITS;
    REFERENCE_TIME stop = 1060 * UNITS;
    sample->SetTime(&start, &stop);
    ASSERT_EQ(reader->Request(sample, 42), S_OK);

    IMediaSample* done = nullptr;
    DWORD_PTR user = 0;
    EXPECT_EQ(reader->WaitForNext(5000, &done, &user), S_FALSE);
    ASSERT_EQ(done, sample);
    EXPECT_EQ(user, 42u);
    EXPECT_EQ(done->GetActualDataLength(), 40);
    REFERENCE_TIME got_start = 0;
    REFERENCE_TIME got_stop = 0;
    done->GetTime(&got_start, &got_stop);
    EXPECT_EQ(got_start, start);
    EXPECT_EQ(got_stop, 1000 * UNITS);  // moved to where the file ends
    BYTE* data = nullptr;
    done->GetPointer(&data);
    EXPECT_EQ(std::vector<uint8_t>(data, data + 40),
              std::vector<uint8_t>(bytes.begin() + 960, bytes.end()));
    done->Release();
    allocator->Decommit();
}

TEST_F(AsyncFileSourceTest, a_sample_too_small_for_its_range_is_refused) {
    ASSERT_EQ(Load(WriteBytes("data.wav", Counting(1000))), S_OK);
    const ComPtr<IAsyncReader> reader = Reader();
    ALLOCATOR_PROPERTIES wanted{1, 10, 1, 0};
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(reader->RequestAllocator(nullptr, &wanted, allocator.GetAddressOf()), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);
    IMediaSample* sample = nullptr;
    ASSERT_EQ(allocator->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 20 * UNITS;
    sample->SetTime(&start, &stop);
    EXPECT_EQ(reader->Request(sample, 0), VFW_E_BUFFER_OVERFLOW);
    EXPECT_EQ(reader->SyncReadAligned(sample), VFW_E_BUFFER_OVERFLOW);
    sample->Release();
    allocator->Decommit();
}

TEST_F(AsyncFileSourceTest, sync_reads_and_length_see_the_whole_file) {
    const std::vector<uint8_t> bytes = Counting(300);
    ASSERT_EQ(Load(WriteBytes("data.wav", bytes)), S_OK);
    const ComPtr<IAsyncReader> reader = Reader();
    LONGLONG total = 0;
    LONGLONG available = 0;
    ASSERT_EQ(reader->Length(&total, &available), S_OK);
    EXPECT_EQ(total, 300);
    EXPECT_EQ(available, 300);
    BYTE buffer[50] = {};
    ASSERT_EQ(reader->SyncRead(100, 50, buffer), S_OK);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 50),
              std::vector<uint8_t>(bytes.begin() + 100, bytes.begin() + 150));
    EXPECT_EQ(reader->SyncRead(280, 50, buffer), S_FALSE);
    EXPECT_EQ(buffer[19], bytes[299]);
    EXPECT_EQ(reader->SyncRead(0, 10, nullptr), E_POINTER);
    EXPECT_EQ(reader->Length(nullptr, nullptr), E_POINTER);
}

TEST_F(AsyncFileSourceTest, flush_releases_a_thread_waiting_for_a_read) {
    ASSERT_EQ(Load(WriteBytes("data.wav", Counting(100))), S_OK);
    const ComPtr<IAsyncReader> reader = Reader();
    auto waiting = std::async(std::launch::async, [&] {
        IMediaSample* sample = nullptr;
        DWORD_PTR user = 0;
        return reader->WaitForNext(INFINITE, &sample, &user);
    });
    EXPECT_EQ(waiting.wait_for(30ms), std::future_status::timeout);
    ASSERT_EQ(reader->BeginFlush(), S_OK);
    ASSERT_EQ(waiting.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(waiting.get(), VFW_E_WRONG_STATE);
    EXPECT_EQ(reader->EndFlush(), S_OK);
}

TEST_F(AsyncFileSourceTest, request_allocator_takes_the_preferred_one_when_it_agrees) {
    ASSERT_EQ(Load(WriteBytes("data.wav", Counting(100))), S_OK);
    const ComPtr<IAsyncReader> reader = Reader();
    ComPtr<IMemAllocator> preferred;
    ASSERT_EQ(CMemAllocator::CreateInstance(nullptr, IID_IMemAllocator,
                                            reinterpret_cast<void**>(preferred.GetAddressOf())),
              S_OK);
    ALLOCATOR_PROPERTIES wanted{3, 512, 0, 0};
    ComPtr<IMemAllocator> actual;
    ASSERT_EQ(reader->RequestAllocator(preferred.Get(), &wanted, actual.GetAddressOf()), S_OK);
    EXPECT_EQ(actual, preferred);
    ALLOCATOR_PROPERTIES granted{};
    actual->GetProperties(&granted);
    EXPECT_EQ(granted.cBuffers, 3);
    EXPECT_EQ(granted.cbAlign, 1);  // "no wish" became 1
    EXPECT_EQ(reader->RequestAllocator(nullptr, nullptr, actual.GetAddressOf()), E_POINTER);
}

}  // namespace
