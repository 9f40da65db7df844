// The "Gain" media object on its own: the arithmetic, its types, and the ProcessInput /
// ProcessOutput contract, including buffers too small for one input and exact split times.
#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/dmowrapper/GainMediaObject.h"
#include "platform/media/dmowrapper/PcmGain.h"
#include "tests/platform/media/dmowrapper/DmoTestSupport.h"

namespace {

constexpr REFERENCE_TIME kSecond = 10000000;

std::vector<int16_t> Ramp(size_t count) {
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i)
        samples[i] = static_cast<int16_t>(static_cast<int>(i * 977 % 65536) - 32768);
    return samples;
}

class GainMediaObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_object = static_cast<IMediaObject*>(new GainMediaObject());
        ASSERT_EQ(m_object.As(&m_gain), S_OK);
    }
    void TearDown() override {
        m_gain = nullptr;
        m_object = nullptr;
        EXPECT_EQ(CUnknown::ObjectsActive(), m_objects_before) << "object or buffer left behind";
    }
    void SetTypes(const CMediaType& type) {
        ASSERT_EQ(m_object->SetInputType(0, &type, 0), S_OK);
        ASSERT_EQ(m_object->SetOutputType(0, &type, 0), S_OK);
    }
    static ComPtr<MemoryBuffer> Buffer(size_t capacity, std::vector<int16_t> samples = {}) {
        return ComPtr<MemoryBuffer>(new MemoryBuffer(capacity, Bytes(samples)));
    }
    HRESULT Output(MemoryBuffer* buffer, DMO_OUTPUT_DATA_BUFFER* output) {
        *output = DMO_OUTPUT_DATA_BUFFER{buffer, 0, 0, 0};
        DWORD status = 0;
        return m_object->ProcessOutput(0, 1, output, &status);
    }

    const long m_objects_before = CUnknown::ObjectsActive();
    ComPtr<IMediaObject> m_object;
    ComPtr<IAudioGain> m_gain;
};

// ---- arithmetic ------------------------------------------------------------------------------

TEST(PcmGainTest, unity_gain_is_bit_exact_over_the_whole_range) {
    std::vector<int16_t> in(65536);
    for (int i = 0; i < 65536; ++i)
        in[static_cast<size_t>(i)] = static_cast<int16_t>(i - 32768);
    std::vector<int16_t> out(in.size());
    ApplyPcmGain(in.data(), out.data(), in.size(), 1.0);
    EXPECT_EQ(out, in);
}

TEST(PcmGainTest, half_gain_halves_to_the_nearest_integer) {
    const std::vector<int16_t> in = Ramp(4000);
    std::vector<int16_t> out(in.size());
    ApplyPcmGain(in.data(), out.data(), in.size(), 0.5);
    for (size_t i = 0; i < in.size(); ++i)
        ASSERT_LE(std::abs(2 * out[i] - in[i]), 1) << "sample " << i << " was " << in[i];
}

TEST(PcmGainTest, large_gain_saturates_instead_of_wrapping) {
    const std::vector<int16_t> in = {20000, -20000, 32767, -32768, 100, -100, 0};
    std::vector<int16_t> out(in.size());
    ApplyPcmGain(in.data(), out.data(), in.size(), 4.0);
    EXPECT_EQ(out, (std::vector<int16_t>{32767, -32768, 32767, -32768, 400, -400, 0}));
    ApplyPcmGain(in.data(), out.data(), in.size(), 0.0);
    EXPECT_EQ(out, std::vector<int16_t>(in.size(), 0));
}

TEST(PcmGainTest, works_in_place) {
    std::vector<int16_t> samples = {1000, -3000, 7};
    ApplyPcmGain(samples.data(), samples.data(), samples.size(), 2.0);
    EXPECT_EQ(samples, (std::vector<int16_t>{2000, -6000, 14}));
}

// ---- gain control and types ----------------------------------------------------------------

TEST_F(GainMediaObjectTest, gain_starts_at_one_and_refuses_values_out_of_range) {
    double gain = 0;
    ASSERT_EQ(m_gain->GetGain(&gain), S_OK);
    EXPECT_EQ(gain, 1.0);
    EXPECT_EQ(m_gain->SetGain(-0.1), E_INVALIDARG);
    EXPECT_EQ(m_gain->SetGain(kMaxAudioGain * 2), E_INVALIDARG);
    EXPECT_EQ(m_gain->SetGain(std::numeric_limits<double>::quiet_NaN()), E_INVALIDARG);
    EXPECT_EQ(m_gain->GetGain(nullptr), E_POINTER);
    ASSERT_EQ(m_gain->SetGain(0.25), S_OK);
    ASSERT_EQ(m_gain->GetGain(&gain), S_OK);
    EXPECT_EQ(gain, 0.25);
}

TEST_F(GainMediaObjectTest, offers_one_partial_pcm_input_type_and_no_output_before_input) {
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(m_object->GetInputType(0, 0, &type), S_OK);
    EXPECT_EQ(type.majortype, MEDIATYPE_Audio);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_PCM);
    FreeMediaType(type);
    EXPECT_EQ(m_object->GetInputType(0, 1, &type), DMO_E_NO_MORE_ITEMS);
    EXPECT_EQ(m_object->GetInputType(1, 0, &type), DMO_E_INVALIDSTREAMINDEX);
    EXPECT_EQ(m_object->GetOutputType(0, 0, &type), DMO_E_TYPE_NOT_SET);
}

TEST_F(GainMediaObjectTest, output_type_is_the_input_type_once_set) {
    const CMediaType stereo = PcmType(2, 8000);
    ASSERT_EQ(m_object->SetInputType(0, &stereo, 0), S_OK);
    AM_MEDIA_TYPE offered{};
    ASSERT_EQ(m_object->GetOutputType(0, 0, &offered), S_OK);
    EXPECT_TRUE(CMediaType(offered) == stereo);
    FreeMediaType(offered);
    const CMediaType mono = PcmType(1, 8000);
    EXPECT_EQ(m_object->SetOutputType(0, &mono, 0), DMO_E_TYPE_NOT_ACCEPTED);
    EXPECT_EQ(m_object->SetOutputType(0, &stereo, 0), S_OK);
    AM_MEDIA_TYPE current{};
    ASSERT_EQ(m_object->GetOutputCurrentType(0, &current), S_OK);
    EXPECT_TRUE(CMediaType(current) == stereo);
    FreeMediaType(current);
}

TEST_F(GainMediaObjectTest, refuses_types_other_than_16_bit_pcm) {
    const CMediaType eight_bit = PcmType(2, 8000, 8);
    EXPECT_EQ(m_object->SetInputType(0, &eight_bit, 0), DMO_E_TYPE_NOT_ACCEPTED);
    CMediaType no_format(&MEDIATYPE_Audio);
    no_format.SetSubtype(&MEDIASUBTYPE_PCM);
    EXPECT_EQ(m_object->SetInputType(0, &no_format, 0), DMO_E_TYPE_NOT_ACCEPTED);
    CMediaType video = PcmType(2, 8000);
    video.SetType(&MEDIATYPE_Video);
    EXPECT_EQ(m_object->SetInputType(0, &video, 0), DMO_E_TYPE_NOT_ACCEPTED);
    EXPECT_EQ(m_object->SetInputType(0, nullptr, 0), E_POINTER);
}

TEST_F(GainMediaObjectTest, test_only_and_clear_leave_no_type_set) {
    const CMediaType type = PcmType(2, 8000);
    ASSERT_EQ(m_object->SetInputType(0, &type, DMO_SET_TYPEF_TEST_ONLY), S_OK);
    AM_MEDIA_TYPE current{};
    EXPECT_EQ(m_object->GetInputCurrentType(0, &current), DMO_E_TYPE_NOT_SET);
    SetTypes(type);
    ASSERT_EQ(m_object->SetInputType(0, nullptr, DMO_SET_TYPEF_CLEAR), S_OK);
    EXPECT_EQ(m_object->GetInputCurrentType(0, &current), DMO_E_TYPE_NOT_SET);
    EXPECT_EQ(m_object->AllocateStreamingResources(), DMO_E_TYPE_NOT_SET);
}

TEST_F(GainMediaObjectTest, a_new_input_layout_drops_the_output_type) {
    SetTypes(PcmType(2, 8000));
    const CMediaType mono = PcmType(1, 8000);
    ASSERT_EQ(m_object->SetInputType(0, &mono, 0), S_OK);
    AM_MEDIA_TYPE current{};
    EXPECT_EQ(m_object->GetOutputCurrentType(0, &current), DMO_E_TYPE_NOT_SET);
}

// ---- processing ------------------------------------------------------------------------------

TEST_F(GainMediaObjectTest, processing_needs_both_types) {
    auto in = Buffer(8, {1, 2, 3, 4});
    EXPECT_EQ(m_object->ProcessInput(0, in.Get(), 0, 0, 0), DMO_E_TYPE_NOT_SET);
    DMO_OUTPUT_DATA_BUFFER output{};
    auto out = Buffer(8);
    EXPECT_EQ(Output(out.Get(), &output), DMO_E_TYPE_NOT_SET);
}

TEST_F(GainMediaObjectTest, scales_a_buffer_and_keeps_its_time) {
    SetTypes(PcmType(2, 8000));
    ASSERT_EQ(m_gain->SetGain(2.0), S_OK);
    auto in = Buffer(0, {100, -200, 300, -400});
    ASSERT_EQ(m_object->ProcessInput(0, in.Get(), DMO_INPUT_DATA_BUFFERF_TIME, kSecond, 0), S_OK);
    auto out = Buffer(64);
    DMO_OUTPUT_DATA_BUFFER output{};
    ASSERT_EQ(Output(out.Get(), &output), S_OK);
    EXPECT_EQ(out->Contents(), (std::vector<int16_t>{200, -400, 600, -800}));
    EXPECT_EQ(output.rtTimestamp, kSecond);
    EXPECT_EQ(output.rtTimelength, 2 * kSecond / 8000);
    EXPECT_TRUE(output.dwStatus & DMO_OUTPUT_DATA_BUFFERF_TIME);
    EXPECT_FALSE(output.dwStatus & DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE);
    EXPECT_EQ(Output(out.Get(), &output), S_FALSE) << "nothing left to give";
}

TEST_F(GainMediaObjectTest, holds_one_buffer_at_a_time) {
    SetTypes(PcmType(1, 8000));
    auto first = Buffer(0, {1, 2});
    auto second = Buffer(0, {3, 4});
    ASSERT_EQ(m_object->ProcessInput(0, first.Get(), 0, 0, 0), S_OK);
    DWORD flags = 0;
    ASSERT_EQ(m_object->GetInputStatus(0, &flags), S_OK);
    EXPECT_EQ(flags & DMO_INPUT_STATUSF_ACCEPT_DATA, 0u);
    EXPECT_EQ(m_object->ProcessInput(0, second.Get(), 0, 0, 0), DMO_E_NOTACCEPTING);
    auto out = Buffer(16);
    DMO_OUTPUT_DATA_BUFFER output{};
    ASSERT_EQ(Output(out.Get(), &output), S_OK);
    EXPECT_EQ(m_object->ProcessInput(0, second.Get(), 0, 0, 0), S_OK);
}

// 8 frames of stereo at 8000 Hz into buffers of 3 frames: 3 + 3 + 2, times to the unit.
TEST_F(GainMediaObjectTest, splits_a_buffer_over_small_outputs_with_exact_times) {
    SetTypes(PcmType(2, 8000));
    const std::vector<int16_t> samples = Ramp(16);
    auto in = Buffer(0, samples);
    ASSERT_EQ(m_object->ProcessInput(0, in.Get(), DMO_INPUT_DATA_BUFFERF_TIME, 0, 0), S_OK);
    std::vector<int16_t> joined;
    std::vector<REFERENCE_TIME> starts;
    for (int round = 0; round < 3; ++round) {
        auto out = Buffer(14);  // 3.5 frames: only whole frames are written
        DMO_OUTPUT_DATA_BUFFER output{};
        ASSERT_EQ(Output(out.Get(), &output), S_OK);
        EXPECT_EQ((output.dwStatus & DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE) != 0, round < 2);
        const std::vector<int16_t> part = out->Contents();
        EXPECT_EQ(part.size(), round < 2 ? 6u : 4u);
        joined.insert(joined.end(), part.begin(), part.end());
        starts.push_back(output.rtTimestamp);
    }
    EXPECT_EQ(joined, samples);
    EXPECT_EQ(starts, (std::vector<REFERENCE_TIME>{0, 3750, 7500}));
}

TEST_F(GainMediaObjectTest, refuses_a_buffer_cut_inside_a_frame) {
    SetTypes(PcmType(2, 8000));
    auto in = Buffer(0, {1, 2, 3});
    EXPECT_EQ(m_object->ProcessInput(0, in.Get(), 0, 0, 0), E_INVALIDARG);
    auto empty = Buffer(0);
    EXPECT_EQ(m_object->ProcessInput(0, empty.Get(), 0, 0, 0), S_FALSE);
}

TEST_F(GainMediaObjectTest, flush_and_discard_drop_what_is_held) {
    SetTypes(PcmType(1, 8000));
    auto in = Buffer(0, {1, 2});
    ASSERT_EQ(m_object->ProcessInput(0, in.Get(), 0, 0, 0), S_OK);
    ASSERT_EQ(m_object->Flush(), S_OK);
    auto out = Buffer(16);
    DMO_OUTPUT_DATA_BUFFER output{};
    EXPECT_EQ(Output(out.Get(), &output), S_FALSE);

    ASSERT_EQ(m_object->ProcessInput(0, in.Get(), 0, 0, 0), S_OK);
    DWORD status = 0;
    output = DMO_OUTPUT_DATA_BUFFER{nullptr, 0, 0, 0};
    EXPECT_EQ(m_object->ProcessOutput(0, 1, &output, &status), E_POINTER);
    EXPECT_EQ(
        m_object->ProcessOutput(DMO_PROCESS_OUTPUT_DISCARD_WHEN_NO_BUFFER, 1, &output, &status),
        S_OK);
    EXPECT_EQ(Output(out.Get(), &output), S_FALSE);
}

TEST_F(GainMediaObjectTest, client_lock_pairs_per_thread) {
    EXPECT_EQ(m_object->Lock(FALSE), E_UNEXPECTED);
    ASSERT_EQ(m_object->Lock(TRUE), S_OK);
    ASSERT_EQ(m_object->Lock(TRUE), S_OK);
    HRESULT other = S_OK;
    std::thread([&] { other = m_object->Lock(FALSE); }).join();
    EXPECT_EQ(other, E_UNEXPECTED) << "another thread cannot unlock";
    EXPECT_EQ(m_object->Lock(FALSE), S_OK);
    EXPECT_EQ(m_object->Lock(FALSE), S_OK);
    EXPECT_EQ(m_object->Lock(FALSE), E_UNEXPECTED);
}

}  // namespace
