#include "tests/platform/media/filters/FilterTestFixture.h"

#include "platform/com/objbase.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/filters/StockFilters.h"
#include "platform/registry/RegistrySetup.h"
#include "tests/support/WavFileBuilder.h"

FilterTest::FilterTest() : m_objects_before(CUnknown::ObjectsActive()) {}

FilterTest::~FilterTest() {
    EXPECT_EQ(CUnknown::ObjectsActive(), m_objects_before) << "framework objects left behind";
}

void FilterTest::SetUp() {
    RegistrySetFolder(m_dir.Path().string());
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    RegisterStockFilterClasses();
}

void FilterTest::TearDown() {
    CoUninitialize();
    RegistrySetFolder("");
}

std::string FilterTest::MakeWav(const std::string& name, uint32_t frames, uint16_t channels,
                                uint32_t rate) {
    m_samples = TestSignal(frames, channels, rate);
    for (int16_t& sample : m_samples) {
        if (sample == 0) sample = 1;
    }
    const std::string path = m_dir.File(name);
    WavFileBuilder().Channels(channels).Rate(rate).Samples(m_samples).Write(path);
    return path;
}

ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION direction, int index) {
    ComPtr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(pins.GetAddressOf()))) return nullptr;
    IPin* pin = nullptr;
    while (pins->Next(1, &pin, nullptr) == S_OK) {
        ComPtr<IPin> held;
        held.Attach(pin);
        PIN_DIRECTION found = PINDIR_INPUT;
        if (SUCCEEDED(held->QueryDirection(&found)) && found == direction && index-- == 0) {
            return held;
        }
    }
    return nullptr;
}

std::u16string WidePath(const std::string& path) {
    return std::u16string(path.begin(), path.end());
}

std::vector<int16_t> NonSilentSamples(const std::vector<uint8_t>& bytes, int channels) {
    std::vector<int16_t> samples;
    const size_t frame = static_cast<size_t>(channels) * 2;
    for (size_t at = 0; at + frame <= bytes.size(); at += frame) {
        bool silent = true;
        for (size_t i = 0; i < frame; ++i)
            silent = silent && bytes[at + i] == 0;
        if (silent) continue;
        for (size_t i = 0; i < frame; i += 2) {
            samples.push_back(static_cast<int16_t>(bytes[at + i] | (bytes[at + i + 1] << 8)));
        }
    }
    return samples;
}
