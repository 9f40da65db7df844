// The "Gain" object as the rest of the system finds and uses it: listed by DMOEnum in the
// audio effect category, wrapped as the filter catalogue wraps it, and played in a real graph
// "File Source (Async.)" -> "Wave Parser" -> wrapper -> "Default DirectSound Device", with the
// SDL disk driver capturing exactly what was played.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/dmodshow.h"
#include "platform/media/dmoreg.h"
#include "platform/media/dshow.h"
#include "platform/media/dmowrapper/DmoWrapperClasses.h"
#include "platform/media/dmowrapper/IAudioGain.h"
#include "platform/media/filters/StockFilters.h"
#include "platform/registry/RegistrySetup.h"
#include "tests/platform/media/filters/PlaybackGraphFixture.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace std::chrono_literals;

struct Listed {
    CLSID clsid;
    std::u16string name;
};

std::vector<Listed> List(const GUID& category) {
    std::vector<Listed> listed;
    ComPtr<IEnumDMO> enumerator;
    if (DMOEnum(category, 0, 0, nullptr, 0, nullptr, enumerator.GetAddressOf()) != S_OK) {
        return listed;
    }
    enumerator->Reset();
    CLSID clsid{};
    WCHAR* name = nullptr;
    while (enumerator->Next(1, &clsid, &name, nullptr) == S_OK) {
        listed.push_back({clsid, name});
        CoTaskMemFree(name);
    }
    return listed;
}

int CountGain(const std::vector<Listed>& listed) {
    return static_cast<int>(std::count_if(listed.begin(), listed.end(), [](const Listed& item) {
        return item.clsid == CLSID_GainDmo;
    }));
}

class DmoWrapperGraphTest : public PlaybackGraphTest {
protected:
    void SetUp() override {
        PlaybackGraphTest::SetUp();
        RegisterDmoWrapperClasses();
        ASSERT_EQ(WriteStockFilterRegistrations(), S_OK);
        ASSERT_EQ(WriteDmoRegistrations(), S_OK);
    }

    static ComPtr<IBaseFilter> Create(const CLSID& clsid) {
        ComPtr<IBaseFilter> filter;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(filter.GetAddressOf())),
                  S_OK);
        return filter;
    }
    HRESULT Connect(IBaseFilter* from, IBaseFilter* to) {
        return m_graph->ConnectDirect(FindPin(from, PINDIR_OUTPUT).Get(),
                                      FindPin(to, PINDIR_INPUT).Get(), nullptr);
    }
    // Builds source -> parser -> gain wrapper -> audio renderer for `path` and sets the gain.
    void Build(const std::string& path, double gain) {
        ComPtr<IBaseFilter> source;
        ASSERT_EQ(
            m_graph->AddSourceFilter(WidePath(path).c_str(), u"source", source.GetAddressOf()),
            S_OK);
        ComPtr<IBaseFilter> parser = Create(CLSID_WAVEParser);
        ComPtr<IBaseFilter> wrapper = Create(CLSID_DMOWrapperFilter);
        ComPtr<IBaseFilter> renderer = Create(CLSID_DSoundRender);
        ASSERT_TRUE(parser && wrapper && renderer);
        ComPtr<IDMOWrapperFilter> init;
        ASSERT_EQ(wrapper.As(&init), S_OK);
        ASSERT_EQ(init->Init(CLSID_GainDmo, DMOCATEGORY_AUDIO_EFFECT), S_OK);
        ComPtr<IAudioGain> control;
        ASSERT_EQ(wrapper.As(&control), S_OK);
        ASSERT_EQ(control->SetGain(gain), S_OK);
        ASSERT_EQ(m_graph->AddFilter(parser.Get(), u"Wave Parser"), S_OK);
        ASSERT_EQ(m_graph->AddFilter(wrapper.Get(), u"Gain"), S_OK);
        ASSERT_EQ(m_graph->AddFilter(renderer.Get(), u"Default DirectSound Device"), S_OK);
        ASSERT_EQ(Connect(source.Get(), parser.Get()), S_OK);
        ASSERT_EQ(Connect(parser.Get(), wrapper.Get()), S_OK);
        ASSERT_EQ(Connect(wrapper.Get(), renderer.Get()), S_OK);
    }
    // Plays the file through the graph to its end and returns what the device played.
    std::vector<int16_t> Play(double gain) {
        CaptureTo(m_dir.File("capture.raw"));
        Build(MakeWav("sound.wav", 4000), gain);
        if (::testing::Test::HasFatalFailure()) return {};
        EXPECT_TRUE(SUCCEEDED(m_control->Run()));
        EXPECT_TRUE(WaitForEvent(EC_COMPLETE, 10s));
        m_control->Stop();
        // Releasing the graph closes the device, which completes the capture file.
        ReleaseGraph();
        return NonSilentSamples(ReadFileBytes(m_dir.File("capture.raw")), 2);
    }
};

// Nothing registered by the test: the framework's start-up and first registry use do it.
TEST(DmoFrameworkStartupTest, every_program_of_the_framework_can_find_and_make_gain) {
    TempDir dir;
    RegistrySetFolder(dir.Path().string());
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    EXPECT_EQ(CountGain(List(DMOCATEGORY_AUDIO_EFFECT)), 1);
    ComPtr<IMediaObject> object;
    EXPECT_EQ(CoCreateInstance(CLSID_GainDmo, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(object.GetAddressOf())),
              S_OK);
    object = nullptr;
    CoUninitialize();
    RegistrySetFolder("");
}

TEST_F(DmoWrapperGraphTest, gain_is_listed_among_the_audio_effects_by_name) {
    const std::vector<Listed> effects = List(DMOCATEGORY_AUDIO_EFFECT);
    ASSERT_EQ(CountGain(effects), 1);
    for (const Listed& effect : effects) {
        if (effect.clsid == CLSID_GainDmo) {
            EXPECT_EQ(effect.name, u"Gain");
        }
    }
    EXPECT_EQ(CountGain(List(DMOCATEGORY_VIDEO_EFFECT)), 0);
    const DMO_PARTIAL_MEDIATYPE pcm{MEDIATYPE_Audio, MEDIASUBTYPE_PCM};
    ComPtr<IEnumDMO> by_type;
    ASSERT_EQ(DMOEnum(GUID_NULL, 0, 1, &pcm, 1, &pcm, by_type.GetAddressOf()), S_OK);
    std::vector<Listed> pcm_objects;
    CLSID found{};
    while (by_type->Next(1, &found, nullptr, nullptr) == S_OK)
        pcm_objects.push_back({found, u""});
    EXPECT_EQ(CountGain(pcm_objects), 1) << "found by its PCM types in any category";
}

TEST_F(DmoWrapperGraphTest, writing_the_registrations_twice_lists_gain_once) {
    ASSERT_EQ(WriteDmoRegistrations(), S_OK);
    EXPECT_EQ(CountGain(List(DMOCATEGORY_AUDIO_EFFECT)), 1);
}

// The way the filter catalogue tests that a listed object can be wrapped.
TEST_F(DmoWrapperGraphTest, every_listed_audio_effect_can_be_wrapped) {
    for (const Listed& effect : List(DMOCATEGORY_AUDIO_EFFECT)) {
        ComPtr<IDMOWrapperFilter> wrapper;
        ASSERT_EQ(CoCreateInstance(CLSID_DMOWrapperFilter, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(wrapper.GetAddressOf())),
                  S_OK);
        EXPECT_EQ(wrapper->Init(effect.clsid, DMOCATEGORY_AUDIO_EFFECT), S_OK);
        ComPtr<IUnknown> object;
        EXPECT_EQ(wrapper.As(&object), S_OK);
    }
}

TEST_F(DmoWrapperGraphTest, unity_gain_plays_the_file_exactly) {
    const std::vector<int16_t> played = Play(1.0);
    EXPECT_EQ(played, WavSamples());
}

TEST_F(DmoWrapperGraphTest, half_gain_plays_every_sample_halved) {
    const std::vector<int16_t> played = Play(0.5);
    const std::vector<int16_t> file = WavSamples();
    // Halves round away from zero, so no sample of the file (never 0) turns into silence.
    ASSERT_EQ(played.size(), file.size());
    for (size_t i = 0; i < played.size(); ++i)
        ASSERT_LE(std::abs(2 * played[i] - file[i]), 1) << "sample " << i;
}

}  // namespace
