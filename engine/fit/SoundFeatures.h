// What the fit compares of a sound: for each frame (100 a second at the finest level), the
// energy of each of a few frequency bands, as a logarithm with its slow course (one second
// around the frame) taken away and scaled to unit spread per band. Level, equalisation and
// sounds that stay put (hum, a held note) thus count for nothing; what changes (notes, hits,
// cuts) counts, in the same way in both sounds. Frame k stands for the instant k / FrameRate().
// Coarser levels average whole frames and neighbouring bands of the finest one.
// Order of use: FeatureExtractor makes one; read it from any number of threads.
#pragma once

#include <cstddef>
#include <vector>

class SoundFeatures {
public:
    SoundFeatures() = default;
    // Takes band energies (frames x bands, linear) and turns them into features.
    static SoundFeatures FromEnergies(std::vector<float> energies, int bands, double frame_rate);

    int Bands() const { return m_bands; }
    size_t Frames() const { return m_bands ? m_values.size() / static_cast<size_t>(m_bands) : 0; }
    double FrameRate() const { return m_frame_rate; }
    double Duration() const { return static_cast<double>(Frames()) / m_frame_rate; }
    // The instant (seconds) a frame stands for, fractional frames included, and back.
    double Time(double frame) const { return m_first_time + frame / m_frame_rate; }
    double FrameAt(double seconds) const { return (seconds - m_first_time) * m_frame_rate; }
    const float* Frame(size_t index) const {
        return &m_values[index * static_cast<size_t>(m_bands)];
    }
    // Band b's feature over all frames, one value per frame.
    std::vector<float> Band(int band) const;

    // Every `factor` frames averaged into one, every `band_group` neighbouring bands into one,
    // and scaled back to unit spread.
    SoundFeatures Coarser(int factor, int band_group) const;

private:
    void Normalise(int smoothing_frames);

    int m_bands = 0;
    double m_frame_rate = 100.0;
    double m_first_time = 0.0;    // frame 0's instant: a coarse frame stands for its middle
    std::vector<float> m_values;  // frame-major
};
