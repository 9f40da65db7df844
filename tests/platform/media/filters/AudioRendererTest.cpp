#include "platform/media/filters/AudioRendererFilter.h"

#include <chrono>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "platform/media/evcode.h"
#include "platform/media/filters/AsyncFileSource.h"
#include "platform/media/filters/WaveParserFilter.h"
#include "platform/media/uuids.h"
#include "platform/mmio/mmreg.h"
#include "tests/platform/media/filters/FilterTestFixture.h"
#include "tests/platform/media/filters/ScopedEnvironment.h"
#include "tests/platform/media/support/RecordingGraph.h"
#include "tests/platform/media/support/TestSourceFilter.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace std::chrono_literals;

constexpr REFERENCE_TIME kMs = 10000;

CMediaType PcmType(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag = 1) {
    const uint16_t block = static_cast<uint16_t>(channels * bits / 8);
    const WAVEFORMATEX wave{tag, channels, rate, rate * block, block, bits, 0};
    CMediaType type(&MEDIATYPE_Audio);
    type.SetSubtype(&MEDIASUBTYPE_PCM);
    type.SetFormatType(&FORMAT_WaveFormatEx);
    type.SetFormat(reinterpret_cast<const BYTE*>(&wave), sizeof wave);
    return type;
}

HRESULT Accepts(IPin* pin, const CMediaType& type) {
    return pin->QueryAccept(&type);
}

// Samples of a stereo 8 kHz stream for a push source, 4000 bytes (a quarter second) each.
std::vector<ScriptedSample> Script(int count) {
    std::vector<ScriptedSample> script;
    for (int i = 0; i < count; ++i) {
        ScriptedSample sample;
        sample.data.assign(4000, static_cast<BYTE>(i + 1));
        sample.start = i * 1250000LL;
        sample.stop = sample.start + 1250000;
        script.push_back(sample);
    }
    return script;
}

class AudioRendererTest : public FilterTest {
protected:
    void SetUp() override {
        FilterTest::SetUp();
        m_graph = ComPtr<IFilterGraph>(static_cast<IFilterGraph*>(new RecordingGraph()));
        m_graph->AddFilter(m_renderer.Base(), u"renderer");
    }
    void TearDown() override {
        StopAll();
        DisconnectAll();
        static_cast<RecordingGraph*>(m_graph.Get())->RemoveAll();
        m_graph = nullptr;
        FilterTest::TearDown();
    }

    RecordingGraph* Events() { return static_cast<RecordingGraph*>(m_graph.Get()); }
    void UseDisk() {
        m_environment.Set("SDL_AUDIODRIVER", "disk");
        m_environment.Set("SDL_DISKAUDIOFILE", Capture());
    }
    std::string Capture() const { return m_dir.File("capture.raw"); }
    ComPtr<IPin> Input() { return FindPin(m_renderer.Base(), PINDIR_INPUT); }
    ComPtr<IReferenceClock> RendererClock() {
        ComPtr<IReferenceClock> clock;
        m_renderer.Base()->QueryInterface(IID_PPV_ARGS(clock.GetAddressOf()));
        return clock;
    }
    REFERENCE_TIME Now() {
        REFERENCE_TIME now = 0;
        RendererClock()->GetTime(&now);
        return now;
    }

    // File source -> "Wave Parser" -> the renderer, on the renderer's clock.
    void BuildFileChain(const std::string& path) {
        m_file = std::make_unique<Held<AsyncFileSource>>();
        m_parser = std::make_unique<Held<WaveParserFilter>>();
        ComPtr<IFileSourceFilter> file;
        m_file->Base()->QueryInterface(IID_PPV_ARGS(file.GetAddressOf()));
        ASSERT_EQ(file->Load(WidePath(path).c_str(), nullptr), S_OK);
        ASSERT_EQ(FindPin(m_file->Base(), PINDIR_OUTPUT)
                      ->Connect(FindPin(m_parser->Base(), PINDIR_INPUT).Get(), nullptr),
                  S_OK);
        ASSERT_EQ(FindPin(m_parser->Base(), PINDIR_OUTPUT)->Connect(Input().Get(), nullptr), S_OK);
        m_filters = {m_renderer.Base(), m_parser->Base(), m_file->Base()};
        for (IBaseFilter* filter : m_filters)
            filter->SetSyncSource(RendererClock().Get());
    }
    void BuildPushChain(const CMediaType& type, std::vector<ScriptedSample> script,
                        bool end_of_stream = true) {
        m_pusher = std::make_unique<Held<TestSourceFilter>>(type);
        (*m_pusher)->SetScript(std::move(script), end_of_stream);
        ASSERT_EQ(FindPin(m_pusher->Base(), PINDIR_OUTPUT)->Connect(Input().Get(), nullptr), S_OK);
        m_filters = {m_renderer.Base(), m_pusher->Base()};
        for (IBaseFilter* filter : m_filters)
            filter->SetSyncSource(RendererClock().Get());
    }

    void PauseAll() {
        for (IBaseFilter* filter : m_filters)
            ASSERT_TRUE(SUCCEEDED(filter->Pause()));
    }
    // Runs with stream time 0 a little after now, as a graph does.
    void RunAll() {
        m_start = Now() + 10 * kMs;
        for (IBaseFilter* filter : m_filters)
            ASSERT_EQ(filter->Run(m_start), S_OK);
    }
    void StopAll() {
        for (IBaseFilter* filter : m_filters)
            filter->Stop();
    }
    // The renderer holding its own clock is a reference cycle: a graph breaks it the same way.
    void DisconnectAll() {
        for (IBaseFilter* filter : m_filters) {
            filter->SetSyncSource(nullptr);
            for (const PIN_DIRECTION direction : {PINDIR_INPUT, PINDIR_OUTPUT}) {
                if (const ComPtr<IPin> pin = FindPin(filter, direction)) pin->Disconnect();
            }
        }
    }
    std::vector<int16_t> Played() {
        StopAll();
        DisconnectAll();  // closes the device, which finishes the capture file
        return NonSilentSamples(ReadFileBytes(Capture()), 2);
    }

    ScopedEnvironment m_environment;
    ComPtr<IFilterGraph> m_graph;
    Held<AudioRendererFilter> m_renderer;
    std::unique_ptr<Held<AsyncFileSource>> m_file;
    std::unique_ptr<Held<WaveParserFilter>> m_parser;
    std::unique_ptr<Held<TestSourceFilter>> m_pusher;
    std::vector<IBaseFilter*> m_filters;
    REFERENCE_TIME m_start = 0;
};

TEST_F(AudioRendererTest, answers_its_interfaces_class_and_pin) {
    ComPtr<IBasicAudio> audio;
    EXPECT_EQ(m_renderer.Base()->QueryInterface(IID_PPV_ARGS(audio.GetAddressOf())), S_OK);
    ASSERT_NE(RendererClock(), nullptr);
    ComPtr<IBaseFilter> back;
    EXPECT_EQ(RendererClock().As(&back), S_OK);  // the clock is part of the filter
    EXPECT_EQ(back.Get(), m_renderer.Base());
    CLSID clsid{};
    m_renderer.Base()->GetClassID(&clsid);
    EXPECT_EQ(clsid, CLSID_DSoundRender);
    PIN_INFO info{};
    ASSERT_EQ(Input()->QueryPinInfo(&info), S_OK);
    EXPECT_EQ(std::u16string(info.achName), u"Audio Input pin (rendered)");
    EXPECT_EQ(info.dir, PINDIR_INPUT);
    info.pFilter->Release();
    EXPECT_EQ(FindPin(m_renderer.Base(), PINDIR_OUTPUT), nullptr);
}

TEST_F(AudioRendererTest, takes_8_and_16_bit_pcm_and_refuses_other_audio) {
    const ComPtr<IPin> pin = Input();
    EXPECT_EQ(Accepts(pin.Get(), PcmType(2, 44100, 16)), S_OK);
    EXPECT_EQ(Accepts(pin.Get(), PcmType(1, 8000, 8)), S_OK);
    EXPECT_EQ(Accepts(pin.Get(), PcmType(8, 48000, 16)), S_OK);
    EXPECT_EQ(Accepts(pin.Get(), PcmType(2, 44100, 24)), S_FALSE);
    EXPECT_EQ(Accepts(pin.Get(), PcmType(9, 44100, 16)), S_FALSE);
    EXPECT_EQ(Accepts(pin.Get(), PcmType(2, 44100, 16, 3)), S_FALSE);  // float tag
    CMediaType lying = PcmType(2, 44100, 16);
    reinterpret_cast<WAVEFORMATEX*>(lying.Format())->nBlockAlign = 3;
    EXPECT_EQ(pin->QueryAccept(&lying), S_FALSE);
    CMediaType video(&MEDIATYPE_Video);
    EXPECT_EQ(pin->QueryAccept(&video), S_FALSE);
}

TEST_F(AudioRendererTest, volume_and_balance_keep_to_their_ranges) {
    ComPtr<IBasicAudio> audio;
    m_renderer.Base()->QueryInterface(IID_PPV_ARGS(audio.GetAddressOf()));
    long value = 1;
    EXPECT_EQ(audio->get_Volume(&value), S_OK);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(audio->put_Volume(-2500), S_OK);
    EXPECT_EQ(audio->put_Volume(1), E_INVALIDARG);
    EXPECT_EQ(audio->put_Volume(-10001), E_INVALIDARG);
    audio->get_Volume(&value);
    EXPECT_EQ(value, -2500);
    EXPECT_EQ(audio->put_Balance(10000), S_OK);
    EXPECT_EQ(audio->put_Balance(10001), E_INVALIDARG);
    audio->get_Balance(&value);
    EXPECT_EQ(value, 10000);
    EXPECT_EQ(audio->get_Volume(nullptr), E_POINTER);
}

TEST_F(AudioRendererTest, clock_runs_before_any_device_is_open) {
    const REFERENCE_TIME first = Now();
    std::this_thread::sleep_for(20ms);
    EXPECT_GE(Now() - first, 10 * kMs);
}

TEST_F(AudioRendererTest, plays_exactly_the_samples_received_then_completes) {
    UseDisk();
    BuildFileChain(MakeWav("tone.wav", 4000, 2, 8000));  // half a second
    PauseAll();
    const auto started = std::chrono::steady_clock::now();
    RunAll();
    ASSERT_TRUE(Events()->WaitFor(EC_COMPLETE, 1, 10s));
    // The end comes after the sound, which plays in real time.
    EXPECT_GE(std::chrono::steady_clock::now() - started, 450ms);
    EXPECT_TRUE(m_renderer->HasSoundDevice());
    EXPECT_EQ(Played(), WavSamples());
    EXPECT_EQ(Events()->CountOf(EC_COMPLETE), 1);
}

TEST_F(AudioRendererTest, without_a_sound_device_it_still_plays_to_the_end) {
    m_environment.Set("SDL_AUDIODRIVER", "no-such-driver");
    BuildFileChain(MakeWav("tone.wav", 2000, 2, 8000));
    PauseAll();
    EXPECT_FALSE(m_renderer->HasSoundDevice());
    RunAll();
    EXPECT_TRUE(Events()->WaitFor(EC_COMPLETE, 1, 10s));
}

TEST_F(AudioRendererTest, flush_releases_a_receive_waiting_for_room) {
    BuildPushChain(PcmType(2, 8000, 16), Script(12));  // three seconds: more than the ring
    PauseAll();
    EXPECT_FALSE((*m_pusher)->WaitUntilDone(150ms));  // paused: the ring fills and Receive waits
    ASSERT_EQ(Input()->BeginFlush(), S_OK);
    EXPECT_TRUE((*m_pusher)->WaitUntilDone(5s));
    EXPECT_EQ((*m_pusher)->DeliveryResults().back(), S_FALSE);
    EXPECT_EQ(Input()->EndFlush(), S_OK);
}

TEST_F(AudioRendererTest, stop_releases_a_receive_waiting_for_room) {
    BuildPushChain(PcmType(2, 8000, 16), Script(12));
    PauseAll();
    EXPECT_FALSE((*m_pusher)->WaitUntilDone(150ms));
    ASSERT_EQ(m_renderer.Base()->Stop(), S_OK);
    EXPECT_TRUE((*m_pusher)->WaitUntilDone(5s));
}

TEST_F(AudioRendererTest, a_pause_is_cued_once_data_arrives) {
    BuildPushChain(PcmType(2, 8000, 16), {}, false);
    PauseAll();
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(m_renderer.Base()->GetState(0, &state), VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(state, State_Paused);
    StopAll();
    (*m_pusher)->SetScript(Script(1), false);
    PauseAll();
    ASSERT_TRUE((*m_pusher)->WaitUntilDone(5s));
    EXPECT_EQ(m_renderer.Base()->GetState(1000, &state), S_OK);
}

TEST_F(AudioRendererTest, end_of_stream_while_paused_completes_only_once_running) {
    BuildPushChain(PcmType(2, 8000, 16), Script(1), true);
    PauseAll();
    ASSERT_TRUE((*m_pusher)->WaitUntilDone(5s));
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(m_renderer.Base()->GetState(0, &state), S_OK);
    EXPECT_FALSE(Events()->WaitFor(EC_COMPLETE, 1, 100ms));
    RunAll();
    EXPECT_TRUE(Events()->WaitFor(EC_COMPLETE, 1, 5s));
}

TEST_F(AudioRendererTest, a_flush_takes_back_a_pending_end_of_stream) {
    BuildPushChain(PcmType(2, 8000, 16), Script(1), true);
    PauseAll();
    ASSERT_TRUE((*m_pusher)->WaitUntilDone(5s));
    Input()->BeginFlush();
    Input()->EndFlush();
    RunAll();
    EXPECT_FALSE(Events()->WaitFor(EC_COMPLETE, 1, 400ms));
}

}  // namespace
