// A small radix-2 fast Fourier transform of real sequences of one size, for the fit's spectra
// and correlations. N real samples go through one complex transform of N / 2 points and come
// out as the N / 2 + 1 bins from 0 to the Nyquist frequency, and back. Unnormalised both
// ways: RealInverse(RealForward(x)) is N times x.
// Order of use: construct with the size (a power of two, at least 4), transform any number of
// times. The object is read-only while transforming, so threads may share one.
#pragma once

#include <complex>
#include <cstddef>
#include <utility>
#include <vector>

class Fft {
public:
    using Complex = std::complex<float>;

    explicit Fft(size_t size);

    size_t Size() const { return m_size; }
    size_t Bins() const { return m_size / 2 + 1; }
    // The smallest power of two not below n (and not below 4).
    static size_t SizeFor(size_t n);

    // `in` holds Size() samples, `out` receives Bins() bins.
    void RealForward(const float* in, Complex* out) const;
    // Bins() bins in (used as scratch), Size() samples out, scaled by Size().
    void RealInverse(Complex* bins, float* out) const;

private:
    // In-place complex transform of Size() / 2 points; the sign comes with the twiddles.
    void Transform(Complex* data, const std::vector<Complex>& twiddles) const;

    size_t m_size;
    std::vector<Complex> m_forward;  // exp(-2 pi i j / (N / 2)), j < N / 4
    std::vector<Complex> m_inverse;  // their conjugates
    std::vector<std::pair<size_t, size_t>> m_swaps;
    std::vector<Complex> m_split;  // exp(-2 pi i k / N), k <= N / 2
};
