// Deterministic test sounds for the fit, made sample by sample so that even 90 minutes need
// no memory:
//  - Background: what a movie and its dub share. Music (a chord every beat of about half a
//    second, three notes with two overtones each, a bass note each bar, a tick on the
//    off-beats, tempo and notes wandering so nothing repeats exactly) and effects (bursts of
//    filtered noise every few seconds, fading from 0.1 to 1 s, and single clicks).
//  - Speech: speech-like noise, syllables of 80 to 250 ms of noise through a moving band
//    (300 Hz to 3 kHz), in phrases of 1 to 3 s with pauses between them.
// RMS about 0.1 for the background; speech at half that (-6 dB) while it speaks.
// Order of use: construct with the rate and a seed, Next() for each sample. One thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A small, portable random source (SplitMix64), the same everywhere.
class TestRandom {
public:
    explicit TestRandom(uint64_t seed) : m_state(seed) {}
    uint64_t Next();
    double Uniform(double low, double high);  // [low, high)

private:
    uint64_t m_state;
};

// A two-pole band-pass filter (a biquad), retunable while it runs.
class BandPass {
public:
    void Tune(double centre_hz, double q, uint32_t rate);
    float Process(float x);

private:
    double m_b0 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0;
    double m_x1 = 0, m_x2 = 0, m_y1 = 0, m_y2 = 0;
};

class BackgroundSynth {
public:
    BackgroundSynth(uint32_t rate, uint64_t seed);
    float Next();
    // n samples at once.
    std::vector<float> Take(size_t count);

private:
    // A decaying sine, turned by a fixed rotation each sample (no sin() per sample).
    struct Voice {
        double re = 0, im = 0;            // amplitude times (cos, sin) of the phase
        double turn_re = 1, turn_im = 0;  // the rotation, shrunk by the decay
    };
    void AddVoice(double frequency, double amplitude, double decay_seconds);
    void StartBeat();
    void StartBurst();

    const uint32_t m_rate;
    TestRandom m_random;
    std::vector<Voice> m_voices;
    int64_t m_until_beat = 0;
    int m_beat = 0;
    double m_beat_seconds = 0.5;
    int64_t m_until_burst = 0;
    double m_burst_amplitude = 0;
    double m_burst_decay = 1;
    double m_tick_amplitude = 0;
    int64_t m_until_tick = -1;
    BandPass m_burst_filter;
};

class SpeechSynth {
public:
    SpeechSynth(uint32_t rate, uint64_t seed);
    float Next();
    std::vector<float> Take(size_t count);

private:
    void StartSyllable();

    const uint32_t m_rate;
    TestRandom m_random;
    BandPass m_formant;
    BandPass m_formant2;
    int64_t m_syllable_length = 1;
    int64_t m_syllable_at = 0;
    int64_t m_phrase_left = 0;
    int64_t m_pause_left = 0;
};
