#include "platform/media/filters/NullRendererFilter.h"

#include <chrono>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/evcode.h"
#include "platform/media/uuids.h"
#include "tests/platform/media/filters/FilterTestFixture.h"
#include "tests/platform/media/support/RecordingGraph.h"
#include "tests/platform/media/support/TestClock.h"
#include "tests/platform/media/support/TestSourceFilter.h"

namespace {

using namespace std::chrono_literals;

constexpr REFERENCE_TIME kSecond = 10000000;

// A few samples stamped far in the future on a clock that never moves.
std::vector<ScriptedSample> LateScript() {
    std::vector<ScriptedSample> script;
    for (int i = 0; i < 4; ++i) {
        ScriptedSample sample;
        sample.data.assign(100, static_cast<BYTE>(i));
        sample.start = (100 + i) * kSecond;
        sample.stop = sample.start + kSecond;
        script.push_back(sample);
    }
    return script;
}

class NullRendererTest : public FilterTest {
protected:
    void SetUp() override {
        FilterTest::SetUp();
        m_graph = ComPtr<IFilterGraph>(static_cast<IFilterGraph*>(new RecordingGraph()));
        m_graph->AddFilter(m_renderer.Base(), u"null");
    }
    void TearDown() override {
        m_renderer.Base()->Stop();
        if (m_source) {
            (*m_source).Base()->Stop();
            FindPin((*m_source).Base(), PINDIR_OUTPUT)->Disconnect();
        }
        Input()->Disconnect();
        m_renderer.Base()->SetSyncSource(nullptr);
        Events()->RemoveAll();
        m_graph = nullptr;
        FilterTest::TearDown();
    }

    RecordingGraph* Events() { return static_cast<RecordingGraph*>(m_graph.Get()); }
    ComPtr<IPin> Input() { return FindPin(m_renderer.Base(), PINDIR_INPUT); }
    void Connect(const GUID& major, std::vector<ScriptedSample> script) {
        m_source = std::make_unique<Held<TestSourceFilter>>(CMediaType(&major));
        (*m_source)->SetScript(std::move(script), true);
        ASSERT_EQ(FindPin(m_source->Base(), PINDIR_OUTPUT)->Connect(Input().Get(), nullptr), S_OK);
    }
    void Pause() {
        ASSERT_EQ(SUCCEEDED(m_renderer.Base()->Pause()), true);
        ASSERT_EQ(m_source->Base()->Pause(), S_OK);
    }

    ComPtr<IFilterGraph> m_graph;
    Held<NullRendererFilter> m_renderer;
    std::unique_ptr<Held<TestSourceFilter>> m_source;
};

TEST_F(NullRendererTest, is_a_builtin_class_with_one_input_named_in) {
    ComPtr<IBaseFilter> made;
    ASSERT_EQ(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(made.GetAddressOf())),
              S_OK);
    CLSID clsid{};
    made->GetClassID(&clsid);
    EXPECT_EQ(clsid, CLSID_NullRenderer);
    PIN_INFO info{};
    ASSERT_EQ(Input()->QueryPinInfo(&info), S_OK);
    EXPECT_EQ(std::u16string(info.achName), u"In");
    EXPECT_EQ(info.dir, PINDIR_INPUT);
    info.pFilter->Release();
    EXPECT_EQ(FindPin(m_renderer.Base(), PINDIR_OUTPUT), nullptr);
}

TEST_F(NullRendererTest, takes_any_media_type) {
    for (const GUID& major : {MEDIATYPE_Audio, MEDIATYPE_Video, MEDIATYPE_Stream, MEDIATYPE_Text}) {
        const CMediaType type(&major);
        EXPECT_EQ(Input()->QueryAccept(&type), S_OK);
    }
    Connect(MEDIATYPE_Midi, {});
    IPin* peer = nullptr;
    ASSERT_EQ(Input()->ConnectedTo(&peer), S_OK);
    peer->Release();
}

TEST_F(NullRendererTest, drops_samples_at_once_when_running_and_then_completes) {
    Connect(MEDIATYPE_Video, LateScript());
    auto* clock = new TestClock();  // never moves: no sample's time ever comes
    ComPtr<IReferenceClock> held(static_cast<IReferenceClock*>(clock));
    m_renderer.Base()->SetSyncSource(held.Get());
    Pause();
    ASSERT_EQ(m_renderer.Base()->Run(1), S_OK);
    ASSERT_TRUE((*m_source)->WaitUntilDone(5s));
    for (const HRESULT hr : (*m_source)->DeliveryResults())
        EXPECT_EQ(hr, S_OK);
    EXPECT_TRUE(Events()->WaitFor(EC_COMPLETE, 1, 5s));
}

TEST_F(NullRendererTest, holds_the_first_sample_while_paused_and_completes_only_once_running) {
    Connect(MEDIATYPE_Audio, LateScript());
    Pause();
    EXPECT_FALSE((*m_source)->WaitUntilDone(100ms));
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(m_renderer.Base()->GetState(1000, &state), S_OK);  // cued by the held sample
    EXPECT_EQ(Events()->CountOf(EC_COMPLETE), 0);
    ASSERT_EQ(m_renderer.Base()->Run(0), S_OK);
    ASSERT_TRUE((*m_source)->WaitUntilDone(5s));
    EXPECT_TRUE(Events()->WaitFor(EC_COMPLETE, 1, 5s));
}

TEST_F(NullRendererTest, stop_releases_the_held_sample) {
    Connect(MEDIATYPE_Audio, LateScript());
    Pause();
    EXPECT_FALSE((*m_source)->WaitUntilDone(50ms));
    ASSERT_EQ(m_renderer.Base()->Stop(), S_OK);
    EXPECT_TRUE((*m_source)->WaitUntilDone(5s));
    EXPECT_EQ(Events()->CountOf(EC_COMPLETE), 0);
}

}  // namespace
