// The "File Writer" between a test source and a recording graph: the file name and type it
// reports, where each sample's bytes land, the file's life from pause to stop, and failures.
#include "platform/media/filters/FileWriterFilter.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/evcode.h"
#include "platform/media/uuids.h"
#include "tests/platform/media/filters/FilterTestFixture.h"
#include "tests/platform/media/support/RecordingGraph.h"
#include "tests/platform/media/support/TestSourceFilter.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace std::chrono_literals;

ScriptedSample Bytes(const std::string& text, REFERENCE_TIME start = 0, bool timed = true) {
    ScriptedSample sample;
    sample.data.assign(text.begin(), text.end());
    sample.start = start;
    sample.stop = start + static_cast<REFERENCE_TIME>(text.size());
    sample.timed = timed;
    return sample;
}

std::string FileText(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class FileWriterTest : public FilterTest {
protected:
    void SetUp() override {
        FilterTest::SetUp();
        m_graph = ComPtr<IFilterGraph>(static_cast<IFilterGraph*>(new RecordingGraph()));
        m_graph->AddFilter(m_writer.Base(), u"writer");
        ASSERT_EQ(m_writer.Base()->QueryInterface(IID_PPV_ARGS(m_sink.GetAddressOf())), S_OK);
    }
    void TearDown() override {
        m_writer.Base()->Stop();
        if (m_source) {
            m_source->Base()->Stop();
            FindPin(m_source->Base(), PINDIR_OUTPUT)->Disconnect();
        }
        Input()->Disconnect();
        m_sink = nullptr;
        Events()->RemoveAll();
        m_graph = nullptr;
        FilterTest::TearDown();
    }

    RecordingGraph* Events() { return static_cast<RecordingGraph*>(m_graph.Get()); }
    ComPtr<IPin> Input() { return FindPin(m_writer.Base(), PINDIR_INPUT); }
    void Connect(const GUID& major, std::vector<ScriptedSample> script) {
        m_source = std::make_unique<Held<TestSourceFilter>>(CMediaType(&major));
        (*m_source)->SetScript(std::move(script), true);
        ASSERT_EQ(FindPin(m_source->Base(), PINDIR_OUTPUT)->Connect(Input().Get(), nullptr), S_OK);
    }
    // Runs writer and source, downstream first, until the source has delivered everything.
    void RunToEnd() {
        ASSERT_TRUE(SUCCEEDED(m_writer.Base()->Pause()));
        ASSERT_EQ(m_source->Base()->Pause(), S_OK);
        ASSERT_EQ(m_writer.Base()->Run(0), S_OK);
        ASSERT_EQ(m_source->Base()->Run(0), S_OK);
        ASSERT_TRUE((*m_source)->WaitUntilDone(5s));
    }
    void Stop() {
        ASSERT_EQ(m_writer.Base()->Stop(), S_OK);
        ASSERT_EQ(m_source->Base()->Stop(), S_OK);
    }
    HRESULT SetFile(const std::string& path, const AM_MEDIA_TYPE* type = nullptr) {
        return m_sink->SetFileName(WidePath(path).c_str(), type);
    }

    ComPtr<IFilterGraph> m_graph;
    Held<FileWriterFilter> m_writer;
    ComPtr<IFileSinkFilter> m_sink;
    std::unique_ptr<Held<TestSourceFilter>> m_source;
};

TEST_F(FileWriterTest, is_a_builtin_class_whose_one_input_in_takes_any_type) {
    ComPtr<IFileSinkFilter> made;
    ASSERT_EQ(CoCreateInstance(CLSID_FileWriter, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(made.GetAddressOf())),
              S_OK);
    PIN_INFO info{};
    ASSERT_EQ(Input()->QueryPinInfo(&info), S_OK);
    EXPECT_EQ(std::u16string(info.achName), u"in");
    info.pFilter->Release();
    EXPECT_EQ(FindPin(m_writer.Base(), PINDIR_OUTPUT), nullptr);
    for (const GUID& major : {MEDIATYPE_Audio, MEDIATYPE_Video, MEDIATYPE_Stream, MEDIATYPE_Midi}) {
        const CMediaType type(&major);
        EXPECT_EQ(Input()->QueryAccept(&type), S_OK);
    }
}

TEST_F(FileWriterTest, reports_its_file_with_the_given_type_else_the_connection_s) {
    LPOLESTR name = reinterpret_cast<LPOLESTR>(1);
    ASSERT_EQ(m_sink->GetCurFile(&name, nullptr), S_OK);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(m_sink->SetFileName(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(m_sink->SetFileName(u"", nullptr), HRESULT_FROM_WIN32(ERROR_INVALID_NAME));

    const std::string path = m_dir.File("out.bin");
    CMediaType given(&MEDIATYPE_Stream);
    given.SetSubtype(&MEDIASUBTYPE_Avi);
    ASSERT_EQ(SetFile(path, &given), S_OK);
    Connect(MEDIATYPE_Audio, {});
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(m_sink->GetCurFile(&name, &type), S_OK);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(std::u16string(name), WidePath(path));
    CoTaskMemFree(name);
    EXPECT_EQ(type.majortype, MEDIATYPE_Stream);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_Avi);
    FreeMediaType(type);

    ASSERT_EQ(SetFile(path), S_OK);  // no type: the connection's is the one that counts
    ASSERT_EQ(m_sink->GetCurFile(&name, &type), S_OK);
    CoTaskMemFree(name);
    EXPECT_EQ(type.majortype, MEDIATYPE_Audio);
    FreeMediaType(type);
}

TEST_F(FileWriterTest, leaving_stopped_without_a_usable_file_fails_and_stays_stopped) {
    const HRESULT no_name = HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    EXPECT_EQ(m_writer.Base()->Run(0), no_name);
    EXPECT_EQ(m_writer.Base()->Pause(), no_name);
    ASSERT_EQ(SetFile(m_dir.File("missing/out.bin")), S_OK);
    EXPECT_EQ(m_writer.Base()->Run(0), HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
    FILTER_STATE state = State_Running;
    ASSERT_EQ(m_writer.Base()->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);
}

TEST_F(FileWriterTest, unconnected_run_empties_the_file_and_completes_at_once) {
    const std::string path = m_dir.File("old.bin");
    std::ofstream(path) << "what was there before";
    ASSERT_EQ(SetFile(path), S_OK);
    ASSERT_EQ(m_writer.Base()->Run(0), S_OK);
    EXPECT_TRUE(Events()->WaitFor(EC_COMPLETE, 1, 5s));
    ASSERT_EQ(m_writer.Base()->Stop(), S_OK);
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST_F(FileWriterTest, media_samples_are_appended_in_order_whatever_their_times) {
    const std::string path = m_dir.File("audio.raw");
    ASSERT_EQ(SetFile(path), S_OK);
    Connect(MEDIATYPE_Audio, {Bytes("first ", 500), Bytes("second ", 0), Bytes("third", 0, false)});
    RunToEnd();
    EXPECT_TRUE(Events()->WaitFor(EC_COMPLETE, 1, 5s));
    // The bytes are in the file as soon as each sample is written, before the stop.
    EXPECT_EQ(FileText(path), "first second third");
    Stop();
    EXPECT_EQ(FileText(path), "first second third");
}

TEST_F(FileWriterTest, stream_samples_land_at_the_byte_their_start_time_gives) {
    const std::string path = m_dir.File("muxed.bin");
    ASSERT_EQ(SetFile(path), S_OK);
    // As a multiplexer writes: data first, an untimed block after it, one past a gap, and the
    // header filled in at the start last.
    Connect(MEDIATYPE_Stream, {Bytes("....", 0), Bytes("DATA", 4), Bytes("MORE", 0, false),
                               Bytes("TAIL", 16), Bytes("HEAD", 0)});
    RunToEnd();
    Stop();
    EXPECT_EQ(FileText(path), std::string("HEADDATAMORE\0\0\0\0TAIL", 20));
}

TEST_F(FileWriterTest, a_new_run_writes_the_file_afresh_and_the_name_waits_for_a_stop) {
    const std::string path = m_dir.File("again.raw");
    ASSERT_EQ(SetFile(path), S_OK);
    Connect(MEDIATYPE_Audio, {Bytes("the first run, the longer")});
    RunToEnd();
    EXPECT_EQ(SetFile(m_dir.File("other.raw")), VFW_E_NOT_STOPPED);
    Stop();
    (*m_source)->SetScript({Bytes("second")}, true);
    RunToEnd();
    Stop();
    EXPECT_EQ(FileText(path), "second");
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("other.raw")));
}

TEST_F(FileWriterTest, a_failed_write_reaches_the_graph_and_refuses_what_follows) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "needs /dev/full";
    ASSERT_EQ(SetFile("/dev/full"), S_OK);  // every write fails: no space left
    Connect(MEDIATYPE_Audio, {Bytes("lost"), Bytes("also lost")});
    RunToEnd();
    const HRESULT disk_full = HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    ASSERT_FALSE((*m_source)->DeliveryResults().empty());
    EXPECT_EQ((*m_source)->DeliveryResults().front(), disk_full);
    ASSERT_TRUE(Events()->WaitFor(EC_ERRORABORT, 1, 5s));
    for (const RecordingGraph::Event& event : Events()->Events()) {
        if (event.code == EC_ERRORABORT) {
            EXPECT_EQ(event.param1, disk_full);
        }
    }
    // A sample sent after the failure is refused too, and the graph is not told again.
    ASSERT_EQ(m_source->Base()->Stop(), S_OK);
    (*m_source)->SetScript({Bytes("later")}, false);
    ASSERT_EQ(m_source->Base()->Run(0), S_OK);
    ASSERT_TRUE((*m_source)->WaitUntilDone(5s));
    EXPECT_EQ((*m_source)->DeliveryResults(), std::vector<HRESULT>{disk_full});
    Stop();
    EXPECT_EQ(Events()->CountOf(EC_ERRORABORT), 1);
}

}  // namespace
