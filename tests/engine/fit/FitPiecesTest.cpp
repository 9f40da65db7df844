// The fit's pieces on their own: the FFT, the resampler, the features, the time map (against
// the real stream) and the piecewise simplification.
#include <cmath>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fit/FeatureExtractor.h"
#include "engine/fit/Fft.h"
#include "engine/fit/MonoResampler.h"
#include "engine/fit/PiecewiseFit.h"
#include "engine/fit/TimeMap.h"
#include "tests/engine/StreamFixture.h"
#include "tests/engine/fit/SoundtrackSynth.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

std::vector<float> Tone(double hz, double phase, uint32_t rate, size_t count) {
    std::vector<float> samples(count);
    for (size_t i = 0; i < count; ++i)
        samples[i] =
            static_cast<float>(std::sin(kTwoPi * hz * static_cast<double>(i) / rate + phase));
    return samples;
}

TEST(FftTest, real_transforms_find_a_tone_and_come_back_scaled_by_the_size) {
    for (size_t size : {4u, 16u, 256u, 4096u}) {
        SCOPED_TRACE(size);
        const Fft fft(size);
        const size_t bin = std::max<size_t>(size / 4 - 1, 1);
        std::vector<float> signal(size);
        TestRandom random(size);
        for (size_t i = 0; i < size; ++i) {
            signal[i] = static_cast<float>(std::cos(kTwoPi * bin * i / size) +
                                           0.01 * random.Uniform(-1, 1));
        }
        std::vector<Fft::Complex> bins(fft.Bins());
        fft.RealForward(signal.data(), bins.data());
        for (size_t k = 0; k < bins.size(); ++k) {
            if (k == bin) {
                EXPECT_NEAR(bins[k].real(), size / 2.0, 0.02 * size);
            } else {
                EXPECT_LT(std::abs(bins[k]), 0.05 * size) << "bin " << k;
            }
        }
        std::vector<float> back(size);
        fft.RealInverse(bins.data(), back.data());
        for (size_t i = 0; i < size; ++i)
            ASSERT_NEAR(back[i] / size, signal[i], 1e-4) << "sample " << i;
    }
}

TEST(MonoResamplerTest, keeps_time_to_the_sample_and_stops_what_the_new_rate_cannot_hold) {
    for (uint32_t rate : {44100u, 48000u, 22050u}) {
        SCOPED_TRACE(rate);
        // 300 Hz passes unchanged and in phase; 6 kHz would fold back below 4 kHz.
        const std::vector<float> low = Tone(300.0, 0.3, rate, rate);
        const std::vector<float> high = Tone(6000.0, 0.0, rate, rate);
        std::vector<float> mixed(low.size());
        for (size_t i = 0; i < mixed.size(); ++i)
            mixed[i] = low[i] + high[i];
        // Pushed in uneven blocks, as a decoder delivers them.
        MonoResampler resampler(rate, 8000);
        std::vector<float> out;
        for (size_t at = 0; at < mixed.size();) {
            const size_t n = std::min<size_t>(mixed.size() - at, 1000 + at % 777);
            resampler.Push(mixed.data() + at, n, &out);
            at += n;
        }
        resampler.Finish(&out);
        EXPECT_EQ(out.size(), 8000u);
        const std::vector<float> expected = Tone(300.0, 0.3, 8000, 8000);
        double worst = 0;
        for (size_t i = 100; i + 100 < out.size(); ++i)
            worst = std::max(worst, std::abs(static_cast<double>(out[i] - expected[i])));
        EXPECT_LT(worst, 0.02);
    }
}

SoundFeatures FeaturesOf(const std::vector<float>& sound, uint32_t rate) {
    FeatureExtractor extractor(rate);
    extractor.Push(sound.data(), sound.size() / 3);
    extractor.Push(sound.data() + sound.size() / 3, sound.size() - sound.size() / 3);
    return extractor.Finish();
}

TEST(FeatureExtractorTest, frames_fall_on_their_instants_whatever_the_level) {
    const uint32_t rate = 8000;
    // A burst of noise at 12.34 s in a faint hiss.
    TestRandom random(3);
    std::vector<float> sound(20 * rate);
    for (size_t i = 0; i < sound.size(); ++i) {
        const bool burst = i >= static_cast<size_t>(12.34 * rate) && i < 13 * rate;
        sound[i] = static_cast<float>(random.Uniform(-1, 1) * (burst ? 0.5 : 0.001));
    }
    const SoundFeatures features = FeaturesOf(sound, rate);
    ASSERT_EQ(features.Frames(), 2000u);
    std::vector<float> rise(features.Frames(), 0.0f);
    for (int b = 0; b < features.Bands(); ++b) {
        const std::vector<float> band = features.Band(b);
        for (size_t i = 1; i < band.size(); ++i)
            rise[i] += band[i] - band[i - 1];
    }
    const auto onset = std::max_element(rise.begin(), rise.end()) - rise.begin();
    EXPECT_NEAR(features.Time(static_cast<double>(onset)), 12.34, 0.015);

    // The features of music 26 dB quieter are the same.
    const std::vector<float> music = BackgroundSynth(rate, 7).Take(20 * rate);
    std::vector<float> quiet(music.size());
    for (size_t i = 0; i < music.size(); ++i)
        quiet[i] = music[i] * 0.05f;
    const SoundFeatures loud_features = FeaturesOf(music, rate);
    const SoundFeatures quiet_features = FeaturesOf(quiet, rate);
    for (size_t i = 0; i < loud_features.Frames(); i += 37) {
        for (int b = 0; b < loud_features.Bands(); ++b)
            EXPECT_NEAR(loud_features.Frame(i)[b], quiet_features.Frame(i)[b], 0.05);
    }
}

class TimeMapTest : public StreamFixture {};

TEST_F(TimeMapTest, gives_the_wav_position_the_stream_plays_at_each_movie_time) {
    OpenSignal(12.0);
    const double offset = -0.7;
    const std::vector<MapEvent> events{{2.0, 25.0}, {4.0, -10.0}, {4.0, 5.0}, {6.5, 0.0}};
    for (const MapEvent& e : events)
        AddEvent(static_cast<float>(e.movie_pos), static_cast<float>(e.stretch));
    stream.SetOffset(static_cast<float>(offset));
    const TimeMap map(offset, events);
    // The worked number of its header.
    EXPECT_DOUBLE_EQ(TimeMap(1.5, {{10.0, 25.0}}).WavPosition(14.0), 13.5);
    for (double t = 0.0; t < 9.0; t += 0.0625) {
        const auto virtual_pos =
            static_cast<uint32_t>(StretchedWaveStream::kHeaderLength + kBytesPerSecond * t);
        ASSERT_TRUE(stream.Seek(virtual_pos, true));
        const double played =
            static_cast<double>(stream.GetSourcePosition() - stream.GetDataOffset()) /
            kBytesPerSecond;
        // The stream rounds each paquet's start to whole frames.
        EXPECT_NEAR(map.WavPosition(t), played, 4.0 / kRate) << "at " << t << " s";
        EXPECT_NEAR(map.MovieTime(map.WavPosition(t)), t, 1e-9);
    }
    EXPECT_DOUBLE_EQ(map.Slope(5.0), 1.05);
    EXPECT_DOUBLE_EQ(map.Slope(1.0), 1.0);
}

// Anchors along a map with noise, a few far off.
std::vector<Anchor> NoisyAnchors(const TimeMap& truth, double seconds, uint64_t seed) {
    TestRandom random(seed);
    std::vector<Anchor> anchors;
    for (double t = 1.0; t < seconds; t += 1.0) {
        Anchor a;
        a.movie_time = t;
        a.wav_time = truth.WavPosition(t) + 0.002 * (random.Uniform(-1, 1) + random.Uniform(-1, 1));
        if (random.Next() % 50 == 0) a.wav_time += random.Uniform(-0.3, 0.3);
        a.score = 0.7;
        a.significance = 8.0;
        anchors.push_back(a);
    }
    return anchors;
}

struct PiecewiseCase {
    const char* name;
    TimeMap truth;
    double seconds;
    std::vector<double> slopes;  // of the pieces expected
};

TEST(PiecewiseFitTest, buys_a_breakpoint_only_where_the_stretch_changes) {
    const std::vector<PiecewiseCase> cases{
        {"no stretch", TimeMap(-1.25, {}), 300.0, {1.0}},
        {"a steady drift for an hour", TimeMap(0.5, {{0.0, 0.01}}), 3600.0, {1.0001}},
        {"two stretches", TimeMap(0.0, {{0.0, 3.0}, {40.0, -2.0}}), 90.0, {1.03, 0.98}},
    };
    for (const PiecewiseCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Anchor> anchors = NoisyAnchors(c.truth, c.seconds, 11);
        PiecewiseFit fit(0.3, 4.0);
        std::vector<bool> used;
        const std::vector<LinePiece> pieces = fit.Fit(anchors, &used);
        ASSERT_EQ(pieces.size(), c.slopes.size());
        for (size_t p = 0; p < pieces.size(); ++p) {
            EXPECT_NEAR(pieces[p].slope, c.slopes[p], 2e-6 + 3e-4 * (c.seconds < 100));
            const double t =
                0.5 * (anchors[pieces[p].first].movie_time + anchors[pieces[p].last].movie_time);
            EXPECT_NEAR(pieces[p].At(t), c.truth.WavPosition(t), 0.002);
        }
        // The far-off anchors took no part.
        for (size_t k = 0; k < anchors.size(); ++k) {
            if (std::abs(anchors[k].wav_time - c.truth.WavPosition(anchors[k].movie_time)) > 0.05) {
                EXPECT_FALSE(used[k]) << "anchor at " << anchors[k].movie_time;
            }
        }
    }
}

}  // namespace
