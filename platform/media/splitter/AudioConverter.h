// AudioConverter: decoded sound as the pins deliver it: interleaved signed 16-bit samples at
// the rate and channel count agreed on the connection, whatever the decoder gives.
// Threading: one thread at a time.
#pragma once

#include <cstdint>
#include <vector>

struct AVFrame;
struct SwrContext;

class AudioConverter {
public:
    AudioConverter(int rate, int channels);
    ~AudioConverter();
    AudioConverter(const AudioConverter&) = delete;
    AudioConverter& operator=(const AudioConverter&) = delete;

    int BlockAlign() const { return m_channels * 2; }
    // Appends the frame's samples to `out`; false when it cannot be converted.
    bool Convert(const AVFrame* frame, std::vector<uint8_t>* out);
    // Forgets what the resampler holds (after a seek).
    void Reset();

private:
    bool Configure(const AVFrame* frame);

    const int m_rate;
    const int m_channels;
    SwrContext* m_resampler = nullptr;
    // The input the resampler was set up for.
    int m_in_format = -1;
    int m_in_rate = 0;
    int m_in_channels = 0;
    uint64_t m_in_mask = 0;
};
