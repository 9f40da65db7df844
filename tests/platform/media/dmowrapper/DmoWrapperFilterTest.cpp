// The DMO wrapper filter around the "Gain" object, between a test source and a recording
// sink: Init and pins, media types, streaming with times, flush, end of stream, stop.
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/dmodshow.h"
#include "platform/media/dmoreg.h"
#include "platform/media/dmowrapper/DmoWrapperClasses.h"
#include "platform/media/dmowrapper/DmoWrapperFilter.h"
#include "platform/media/dmowrapper/IAudioGain.h"
#include "tests/platform/media/dmowrapper/DmoTestSupport.h"
#include "tests/platform/media/filters/FilterTestFixture.h"
#include "tests/platform/media/support/TestSinkFilter.h"
#include "tests/platform/media/support/TestSourceFilter.h"

namespace {

using namespace std::chrono_literals;

constexpr REFERENCE_TIME kFrameTime = 10000000 / 8000;  // one frame at 8000 Hz
constexpr size_t kFrames = 500;

// Three buffers of stereo frames back to back, each stamped with its place in the stream.
std::vector<ScriptedSample> Script(std::vector<std::vector<int16_t>>* sent) {
    std::vector<ScriptedSample> script;
    for (int i = 0; i < 3; ++i) {
        std::vector<int16_t> samples(kFrames * 2);
        for (size_t s = 0; s < samples.size(); ++s)
            samples[s] =
                static_cast<int16_t>((static_cast<int>(s) * 131 + i * 7919) % 60001 - 30000);
        ScriptedSample sample;
        sample.data = Bytes(samples);
        sample.start = static_cast<REFERENCE_TIME>(i * kFrames) * kFrameTime;
        sample.stop = sample.start + static_cast<REFERENCE_TIME>(kFrames) * kFrameTime;
        script.push_back(sample);
        sent->push_back(samples);
    }
    return script;
}

std::u16string PinId(IPin* pin) {
    PIN_INFO info{};
    pin->QueryPinInfo(&info);
    if (info.pFilter) info.pFilter->Release();
    return info.achName;
}

class DmoWrapperFilterTest : public FilterTest {
protected:
    void SetUp() override {
        FilterTest::SetUp();
        RegisterDmoWrapperClasses();
        ASSERT_EQ(CoCreateInstance(CLSID_DMOWrapperFilter, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(m_wrapper.GetAddressOf())),
                  S_OK);
        ComPtr<IDMOWrapperFilter> init;
        ASSERT_EQ(m_wrapper.As(&init), S_OK);
        ASSERT_EQ(init->Init(CLSID_GainDmo, DMOCATEGORY_AUDIO_EFFECT), S_OK);
    }
    void TearDown() override {
        m_sink.Base()->Stop();
        m_wrapper->Stop();
        if (m_source) m_source->Base()->Stop();
        for (IBaseFilter* filter :
             {m_sink.Base(), m_wrapper.Get(), m_source ? m_source->Base() : nullptr}) {
            for (PIN_DIRECTION direction : {PINDIR_INPUT, PINDIR_OUTPUT}) {
                if (ComPtr<IPin> pin = FindPin(filter, direction)) pin->Disconnect();
            }
        }
        m_source.reset();
        m_wrapper = nullptr;
        FilterTest::TearDown();
    }

    ComPtr<IPin> In() { return FindPin(m_wrapper.Get(), PINDIR_INPUT); }
    ComPtr<IPin> Out() { return FindPin(m_wrapper.Get(), PINDIR_OUTPUT); }
    void MakeSource(const CMediaType& type, std::vector<ScriptedSample> script) {
        m_source = std::make_unique<Held<TestSourceFilter>>(type);
        (*m_source)->SetScript(std::move(script), true);
    }
    HRESULT ConnectInput() {
        return FindPin(m_source->Base(), PINDIR_OUTPUT)->Connect(In().Get(), nullptr);
    }
    void ConnectAll(std::vector<ScriptedSample> script) {
        MakeSource(PcmType(2, 8000), std::move(script));
        ASSERT_EQ(ConnectInput(), S_OK);
        ASSERT_EQ(Out()->Connect(m_sink->InputPin(), nullptr), S_OK);
    }
    // Downstream first, as a graph does.
    void Pause() {
        ASSERT_EQ(m_sink.Base()->Pause(), S_OK);
        ASSERT_EQ(m_wrapper->Pause(), S_OK);
        ASSERT_EQ(m_source->Base()->Pause(), S_OK);
    }
    void SetGain(double gain) {
        ComPtr<IAudioGain> control;
        ASSERT_EQ(m_wrapper.As(&control), S_OK);
        ASSERT_EQ(control->SetGain(gain), S_OK);
    }
    std::vector<int16_t> Received(std::vector<ReceivedSample>* samples) {
        *samples = m_sink->Samples();
        std::vector<int16_t> all;
        for (const ReceivedSample& sample : *samples) {
            const std::vector<int16_t> part = Samples(sample.data.data(), sample.data.size());
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }

    ComPtr<IBaseFilter> m_wrapper;
    Held<TestSinkFilter> m_sink{MEDIATYPE_Audio};
    std::unique_ptr<Held<TestSourceFilter>> m_source;
};

// ---- Init, pins, interfaces ------------------------------------------------------------------

TEST_F(DmoWrapperFilterTest, init_gives_one_input_and_one_output_pin_named_after_the_streams) {
    ASSERT_TRUE(In());
    ASSERT_TRUE(Out());
    EXPECT_EQ(PinId(In().Get()), u"in0");
    EXPECT_EQ(PinId(Out().Get()), u"out0");
    EXPECT_FALSE(FindPin(m_wrapper.Get(), PINDIR_INPUT, 1));
    ComPtr<IPin> found;
    EXPECT_EQ(m_wrapper->FindPin(u"out0", found.GetAddressOf()), S_OK);
    CLSID clsid{};
    ASSERT_EQ(m_wrapper->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_DMOWrapperFilter);
}

TEST_F(DmoWrapperFilterTest, a_fresh_wrapper_has_no_pins_and_a_failed_init_adds_none) {
    ComPtr<IBaseFilter> fresh;
    ASSERT_EQ(CoCreateInstance(CLSID_DMOWrapperFilter, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(fresh.GetAddressOf())),
              S_OK);
    EXPECT_FALSE(FindPin(fresh.Get(), PINDIR_INPUT));
    ComPtr<IDMOWrapperFilter> init;
    ASSERT_EQ(fresh.As(&init), S_OK);
    const GUID category = MakeGuid("5E1B0A77-3C2D-4F60-8A91-0B7C6D5E4F32");
    const DMO_PARTIAL_MEDIATYPE pcm{MEDIATYPE_Audio, MEDIASUBTYPE_PCM};
    ASSERT_EQ(DMORegister(u"Not a DMO", CLSID_NullRenderer, category, 0, 1, &pcm, 1, &pcm), S_OK);
    EXPECT_EQ(init->Init(CLSID_NullRenderer, category), E_NOINTERFACE)
        << "a class that is no media object";
    const CLSID missing = MakeGuid("0D1F7C9E-5B31-4E0A-9C55-7A1E6B2C3D4F");
    ASSERT_EQ(DMORegister(u"Gone", missing, category, 0, 1, &pcm, 1, &pcm), S_OK);
    EXPECT_EQ(init->Init(missing, category), REGDB_E_CLASSNOTREG) << "registered, not creatable";
    EXPECT_FALSE(FindPin(fresh.Get(), PINDIR_INPUT));
    EXPECT_EQ(fresh->Pause(), S_OK) << "an empty wrapper still changes state";
    EXPECT_EQ(fresh->Stop(), S_OK);
}

TEST_F(DmoWrapperFilterTest, init_takes_an_object_only_in_a_category_that_lists_it) {
    // Every object below can be created: only the category check can refuse it.
    const struct {
        CLSID dmo;
        GUID category;
        HRESULT result;
    } cases[] = {
        {CLSID_GainDmo, DMOCATEGORY_AUDIO_DECODER, REGDB_E_CLASSNOTREG},
        {CLSID_GainDmo, DMOCATEGORY_VIDEO_EFFECT, REGDB_E_CLASSNOTREG},
        {CLSID_NullRenderer, GUID_NULL, REGDB_E_CLASSNOTREG},  // no category lists it
        {CLSID_GainDmo, GUID_NULL, S_OK},                      // any category
        {CLSID_GainDmo, DMOCATEGORY_AUDIO_EFFECT, S_OK},
    };
    for (const auto& c : cases) {
        Held<DmoWrapperFilter> wrapper;
        const HRESULT refused = wrapper->Init(CLSID_GainDmo, DMOCATEGORY_AUDIO_DECODER);
        ASSERT_EQ(refused, REGDB_E_CLASSNOTREG);
        EXPECT_EQ(wrapper->Init(c.dmo, c.category), c.result);
        // A refusal leaves the wrapper as it was: empty, and free to be initialised again.
        EXPECT_EQ(wrapper->GetPinCount(), SUCCEEDED(c.result) ? 2 : 0);
        EXPECT_EQ(wrapper->Category(), SUCCEEDED(c.result) ? c.category : GUID_NULL);
    }
}

TEST_F(DmoWrapperFilterTest, init_twice_is_refused) {
    ComPtr<IDMOWrapperFilter> init;
    ASSERT_EQ(m_wrapper.As(&init), S_OK);
    EXPECT_EQ(init->Init(CLSID_GainDmo, DMOCATEGORY_AUDIO_EFFECT), E_UNEXPECTED);
    EXPECT_FALSE(FindPin(m_wrapper.Get(), PINDIR_INPUT, 1));
}

TEST_F(DmoWrapperFilterTest, the_object_s_own_interfaces_are_reached_through_the_filter) {
    ComPtr<IMediaObject> object;
    ComPtr<IAudioGain> gain;
    EXPECT_EQ(m_wrapper.As(&object), S_OK);
    EXPECT_EQ(m_wrapper.As(&gain), S_OK);
    ComPtr<IUnknown> identity;
    ASSERT_EQ(m_wrapper.As(&identity), S_OK);
    ComPtr<IBaseFilter> back;
    EXPECT_EQ(identity.As(&back), S_OK) << "IUnknown is the filter's, not the object's";
    ComPtr<IUnknown> object_identity;
    ASSERT_EQ(object.As(&object_identity), S_OK);
    EXPECT_NE(identity.Get(), object_identity.Get());
    ComPtr<IFileSourceFilter> absent;
    EXPECT_EQ(m_wrapper.As(&absent), E_NOINTERFACE);
}

// ---- media types -----------------------------------------------------------------------------

TEST_F(DmoWrapperFilterTest, input_offers_the_object_s_type_and_output_nothing_before_input) {
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(In()->EnumMediaTypes(types.GetAddressOf()), S_OK);
    AM_MEDIA_TYPE* type = nullptr;
    ASSERT_EQ(types->Next(1, &type, nullptr), S_OK);
    EXPECT_EQ(type->majortype, MEDIATYPE_Audio);
    EXPECT_EQ(type->subtype, MEDIASUBTYPE_PCM);
    DeleteMediaType(type);
    EXPECT_EQ(types->Next(1, &type, nullptr), S_FALSE);
    ComPtr<IEnumMediaTypes> out_types;
    ASSERT_EQ(Out()->EnumMediaTypes(out_types.GetAddressOf()), S_OK);
    EXPECT_EQ(out_types->Next(1, &type, nullptr), S_FALSE);
    EXPECT_NE(Out()->Connect(m_sink->InputPin(), nullptr), S_OK) << "no type to agree on yet";
}

TEST_F(DmoWrapperFilterTest, connects_through_with_the_source_s_type) {
    ConnectAll({});
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(Out()->ConnectionMediaType(&type), S_OK);
    EXPECT_TRUE(CMediaType(type) == PcmType(2, 8000));
    FreeMediaType(type);
    ComPtr<IMediaObject> object;
    ASSERT_EQ(m_wrapper.As(&object), S_OK);
    ASSERT_EQ(object->GetOutputCurrentType(0, &type), S_OK);
    FreeMediaType(type);
}

TEST_F(DmoWrapperFilterTest, refuses_a_source_the_object_cannot_take) {
    MakeSource(PcmType(2, 8000, 8), {});
    EXPECT_NE(ConnectInput(), S_OK);
    const CMediaType eight_bit = PcmType(2, 8000, 8);
    const CMediaType mono = PcmType(1, 22050);
    EXPECT_EQ(In()->QueryAccept(&eight_bit), S_FALSE);
    EXPECT_EQ(In()->QueryAccept(&mono), S_OK);
}

TEST_F(DmoWrapperFilterTest, disconnecting_clears_the_object_s_types) {
    ConnectAll({});
    ASSERT_EQ(Out()->Disconnect(), S_OK);
    ASSERT_EQ(m_sink->InputPin()->Disconnect(), S_OK);
    ASSERT_EQ(In()->Disconnect(), S_OK);
    ComPtr<IMediaObject> object;
    ASSERT_EQ(m_wrapper.As(&object), S_OK);
    AM_MEDIA_TYPE type{};
    EXPECT_EQ(object->GetInputCurrentType(0, &type), DMO_E_TYPE_NOT_SET);
    EXPECT_EQ(object->GetOutputCurrentType(0, &type), DMO_E_TYPE_NOT_SET);
}

TEST_F(DmoWrapperFilterTest, output_pin_seeks_through_to_the_source) {
    ConnectAll({});
    (*m_source)->OutputPin()->duration = 12345678;
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(Out().As(&seeking), S_OK);
    LONGLONG duration = 0;
    ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 12345678);
}

// ---- streaming -------------------------------------------------------------------------------

TEST_F(DmoWrapperFilterTest, unity_gain_passes_every_sample_with_its_times_then_ends_once) {
    std::vector<std::vector<int16_t>> sent;
    std::vector<ScriptedSample> script = Script(&sent);
    script[2].discontinuity = true;
    ConnectAll(script);
    Pause();
    ASSERT_TRUE(m_sink->WaitForEndOfStream(10s));
    std::vector<ReceivedSample> samples;
    const std::vector<int16_t> all = Received(&samples);
    ASSERT_EQ(samples.size(), script.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        EXPECT_EQ(Samples(samples[i].data.data(), samples[i].data.size()), sent[i]);
        EXPECT_EQ(samples[i].time_result, S_OK);
        EXPECT_EQ(samples[i].start, script[i].start);
        EXPECT_EQ(samples[i].stop, script[i].stop);
        EXPECT_EQ(samples[i].discontinuity, script[i].discontinuity) << "a break is passed on";
    }
    EXPECT_EQ(m_sink->EndOfStreamCount(), 1);
}

TEST_F(DmoWrapperFilterTest, half_gain_halves_every_sample) {
    std::vector<std::vector<int16_t>> sent;
    ConnectAll(Script(&sent));
    SetGain(0.5);
    Pause();
    ASSERT_TRUE(m_sink->WaitForEndOfStream(10s));
    std::vector<ReceivedSample> samples;
    const std::vector<int16_t> all = Received(&samples);
    std::vector<int16_t> expected;
    for (const auto& part : sent)
        expected.insert(expected.end(), part.begin(), part.end());
    ASSERT_EQ(all.size(), expected.size());
    for (size_t i = 0; i < all.size(); ++i)
        ASSERT_LE(std::abs(2 * all[i] - expected[i]), 1) << "sample " << i;
}

TEST_F(DmoWrapperFilterTest, end_of_stream_without_samples_still_reaches_downstream) {
    ConnectAll({});
    Pause();
    ASSERT_TRUE(m_sink->WaitForEndOfStream(10s));
    EXPECT_TRUE(m_sink->Samples().empty());
}

TEST_F(DmoWrapperFilterTest, flush_releases_a_held_delivery_and_reaches_downstream) {
    std::vector<std::vector<int16_t>> sent;
    ConnectAll(Script(&sent));
    m_sink->HoldReceives(true);
    Pause();
    ASSERT_TRUE(m_sink->WaitUntilHolding(10s));
    ASSERT_EQ(In()->BeginFlush(), S_OK);
    ASSERT_EQ(In()->EndFlush(), S_OK);
    EXPECT_EQ(m_sink->BeginFlushCount(), 1);
    EXPECT_EQ(m_sink->EndFlushCount(), 1);
    EXPECT_GE(m_sink->ReleasedByFlushOrStop(), 1);
    m_sink->HoldReceives(false);
    EXPECT_TRUE((*m_source)->WaitUntilDone(10s));
}

TEST_F(DmoWrapperFilterTest, stop_releases_a_held_delivery) {
    std::vector<std::vector<int16_t>> sent;
    ConnectAll(Script(&sent));
    m_sink->HoldReceives(true);
    Pause();
    ASSERT_TRUE(m_sink->WaitUntilHolding(10s));
    ASSERT_EQ(m_sink.Base()->Stop(), S_OK);
    ASSERT_EQ(m_wrapper->Stop(), S_OK);
    EXPECT_TRUE((*m_source)->WaitUntilDone(10s));
    ASSERT_EQ(m_source->Base()->Stop(), S_OK);
}

TEST_F(DmoWrapperFilterTest, pauses_with_its_output_unconnected_and_passes_nothing_on) {
    std::vector<std::vector<int16_t>> sent;
    MakeSource(PcmType(2, 8000), Script(&sent));
    ASSERT_EQ(ConnectInput(), S_OK);
    ASSERT_EQ(m_wrapper->Pause(), S_OK);
    ASSERT_EQ(m_source->Base()->Pause(), S_OK);
    ASSERT_TRUE((*m_source)->WaitUntilDone(10s));
    const std::vector<HRESULT> results = (*m_source)->DeliveryResults();
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(results.front(), S_FALSE);
}

TEST_F(DmoWrapperFilterTest, runs_again_after_a_stop) {
    std::vector<std::vector<int16_t>> sent;
    ConnectAll(Script(&sent));
    Pause();
    ASSERT_TRUE(m_sink->WaitForEndOfStream(10s));
    m_sink.Base()->Stop();
    m_wrapper->Stop();
    m_source->Base()->Stop();
    Pause();
    ASSERT_TRUE(m_sink->WaitForSamples(2 * sent.size(), 10s));
    EXPECT_TRUE(WaitUntil([&] { return m_sink->EndOfStreamCount() == 2; }));
}

}  // namespace
