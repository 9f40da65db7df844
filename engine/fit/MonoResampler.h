// Converts one channel of samples from its own rate to the fitting rate, block by block, with
// a windowed-sinc low-pass (cut-off below the lower Nyquist frequency) and no delay: output
// sample n is the input's value at time n / output rate, so two sounds resampled from
// different rates stay aligned to the sample.
// Order of use: construct with both rates, Push blocks as they come, Finish once; each call
// appends the samples it completes to `out`. One thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class MonoResampler {
public:
    MonoResampler(uint32_t input_rate, uint32_t output_rate);

    void Push(const float* samples, size_t count, std::vector<float>* out);
    // The samples that were waiting for input beyond the end (taken as silence).
    void Finish(std::vector<float>* out);

private:
    void Produce(std::vector<float>* out, bool at_end);

    static constexpr int kPhases = 256;
    const uint32_t m_in_rate;
    const uint32_t m_out_rate;
    int m_half_taps = 0;           // input samples on each side of the output instant
    std::vector<float> m_kernel;   // kPhases + 1 rows of 2 * m_half_taps taps
    std::vector<float> m_history;  // input not yet used up; m_history[0] is input m_first
    int64_t m_first = 0;           // input index of m_history[0]
    int64_t m_next_out = 0;        // index of the next output sample
    int64_t m_input_count = 0;
};
