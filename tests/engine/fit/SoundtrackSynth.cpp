#include "tests/engine/fit/SoundtrackSynth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// A minor pentatonic scale from A2, over three octaves.
constexpr int kScale[] = {0, 3, 5, 7, 10};

double NoteHz(int step) {
    const int octave = step / 5;
    const int semitone = 12 * octave + kScale[step % 5];
    return 110.0 * std::pow(2.0, semitone / 12.0);
}

}  // namespace

uint64_t TestRandom::Next() {
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double TestRandom::Uniform(double low, double high) {
    return low + (high - low) * static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

void BandPass::Tune(double centre_hz, double q, uint32_t rate) {
    const double w = kTwoPi * centre_hz / rate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    m_b0 = alpha / a0;
    m_b2 = -alpha / a0;
    m_a1 = -2.0 * std::cos(w) / a0;
    m_a2 = (1.0 - alpha) / a0;
}

float BandPass::Process(float x) {
    const double y = m_b0 * x + m_b2 * m_x2 - m_a1 * m_y1 - m_a2 * m_y2;
    m_x2 = m_x1;
    m_x1 = x;
    m_y2 = m_y1;
    m_y1 = y;
    return static_cast<float>(y);
}

BackgroundSynth::BackgroundSynth(uint32_t rate, uint64_t seed)
    : m_rate(rate), m_random(seed * 7919 + 17) {
    m_until_burst = static_cast<int64_t>(m_random.Uniform(0.5, 3.0) * m_rate);
}

void BackgroundSynth::AddVoice(double frequency, double amplitude, double decay_seconds) {
    const double phase = m_random.Uniform(0, kTwoPi);
    const double step = kTwoPi * frequency / m_rate;
    const double decay = std::exp(-1.0 / (decay_seconds * m_rate));
    m_voices.push_back({amplitude * std::cos(phase), amplitude * std::sin(phase),
                        decay * std::cos(step), decay * std::sin(step)});
}

void BackgroundSynth::StartBeat() {
    // The tempo wanders between 100 and 140 beats a minute.
    m_beat_seconds = std::clamp(m_beat_seconds + m_random.Uniform(-0.03, 0.03), 0.43, 0.6);
    m_until_beat = static_cast<int64_t>(m_beat_seconds * m_rate);
    const double decay_seconds = m_random.Uniform(0.15, 0.5);
    const int root = static_cast<int>(m_random.Next() % 6) + 3;
    for (int note : {root, root + 2, root + 4}) {
        for (int harmonic = 1; harmonic <= 3; ++harmonic)
            AddVoice(NoteHz(note) * harmonic, 0.05 / harmonic, decay_seconds);
    }
    if (m_beat % 4 == 0) AddVoice(NoteHz(static_cast<int>(m_random.Next() % 5)) / 2, 0.12, 0.8);
    ++m_beat;
    m_until_tick = m_until_beat / 2;
    // Voices that have faded out go.
    std::erase_if(m_voices, [](const Voice& v) { return v.re * v.re + v.im * v.im < 1e-8; });
}

void BackgroundSynth::StartBurst() {
    m_until_burst = static_cast<int64_t>(m_random.Uniform(1.5, 6.0) * m_rate);
    if (m_random.Next() % 3 == 0) {
        m_tick_amplitude = 0.6;  // a click
        return;
    }
    m_burst_amplitude = m_random.Uniform(0.15, 0.4);
    m_burst_decay = std::exp(-1.0 / (m_random.Uniform(0.1, 1.0) * m_rate));
    m_burst_filter.Tune(m_random.Uniform(200.0, 2500.0), 0.7, m_rate);
}

float BackgroundSynth::Next() {
    if (m_until_beat-- <= 0) StartBeat();
    if (m_until_burst-- <= 0) StartBurst();
    if (m_until_tick-- == 0) m_tick_amplitude = 0.12;
    double sum = 0;
    for (Voice& v : m_voices) {
        sum += v.im;
        const double re = v.re * v.turn_re - v.im * v.turn_im;
        v.im = v.re * v.turn_im + v.im * v.turn_re;
        v.re = re;
    }
    const double noise = m_random.Uniform(-1.0, 1.0);
    sum += m_burst_filter.Process(static_cast<float>(noise * m_burst_amplitude)) * 2.0;
    m_burst_amplitude *= m_burst_decay;
    sum += noise * m_tick_amplitude;
    m_tick_amplitude *= 0.995;  // a few milliseconds
    return static_cast<float>(sum);
}

std::vector<float> BackgroundSynth::Take(size_t count) {
    std::vector<float> samples(count);
    for (float& s : samples)
        s = Next();
    return samples;
}

SpeechSynth::SpeechSynth(uint32_t rate, uint64_t seed) : m_rate(rate), m_random(seed * 104729 + 3) {
    m_pause_left = static_cast<int64_t>(m_random.Uniform(0.1, 0.8) * m_rate);
}

void SpeechSynth::StartSyllable() {
    m_syllable_length =
        std::max<int64_t>(1, static_cast<int64_t>(m_random.Uniform(0.08, 0.25) * m_rate));
    m_syllable_at = 0;
    m_formant.Tune(m_random.Uniform(300.0, 1000.0), 3.0, m_rate);
    m_formant2.Tune(m_random.Uniform(1000.0, 3000.0), 4.0, m_rate);
}

float SpeechSynth::Next() {
    if (m_pause_left > 0) {
        if (--m_pause_left == 0)
            m_phrase_left = static_cast<int64_t>(m_random.Uniform(1.0, 3.0) * m_rate);
        return 0.0f;
    }
    if (m_syllable_at >= m_syllable_length) StartSyllable();
    if (--m_phrase_left <= 0) {
        m_pause_left = static_cast<int64_t>(m_random.Uniform(0.3, 1.0) * m_rate);
        m_syllable_at = m_syllable_length;
    }
    const double envelope =
        std::sin(std::numbers::pi * static_cast<double>(m_syllable_at++) / m_syllable_length);
    const auto noise = static_cast<float>(m_random.Uniform(-1.0, 1.0));
    const double voice = m_formant.Process(noise) + 0.6 * m_formant2.Process(noise);
    // About 0.05 RMS while speaking: 6 dB under the background.
    return static_cast<float>(0.19 * envelope * voice);
}

std::vector<float> SpeechSynth::Take(size_t count) {
    std::vector<float> samples(count);
    for (float& s : samples)
        s = Next();
    return samples;
}
