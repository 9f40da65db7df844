#include "engine/fit/Fft.h"

#include <cmath>
#include <numbers>

namespace {

// Written out in floats: the library's complex product checks for infinities on every call.
inline Fft::Complex Mul(Fft::Complex a, Fft::Complex b) {
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

}  // namespace

Fft::Fft(size_t size) : m_size(SizeFor(size)) {
    const size_t half = m_size / 2;
    for (size_t j = 0; j < half / 2; ++j) {
        const double angle = -2.0 * std::numbers::pi * static_cast<double>(j) / half;
        m_forward.emplace_back(static_cast<float>(std::cos(angle)),
                               static_cast<float>(std::sin(angle)));
        m_inverse.push_back(std::conj(m_forward.back()));
    }
    for (size_t i = 1, j = 0; i < half; ++i) {
        size_t bit = half >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) m_swaps.emplace_back(i, j);
    }
    for (size_t k = 0; k <= half; ++k) {
        const double angle = -2.0 * std::numbers::pi * static_cast<double>(k) / m_size;
        m_split.emplace_back(static_cast<float>(std::cos(angle)),
                             static_cast<float>(std::sin(angle)));
    }
}

size_t Fft::SizeFor(size_t n) {
    size_t size = 4;
    while (size < n)
        size *= 2;
    return size;
}

void Fft::Transform(Complex* data, const std::vector<Complex>& twiddles) const {
    const size_t n = m_size / 2;
    for (const auto& [i, j] : m_swaps)
        std::swap(data[i], data[j]);
    for (size_t length = 2; length <= n; length *= 2) {
        const size_t half = length / 2;
        const size_t step = n / length;
        for (size_t start = 0; start < n; start += length) {
            Complex* a = data + start;
            Complex* b = a + half;
            for (size_t k = 0; k < half; ++k) {
                const Complex t = Mul(b[k], twiddles[k * step]);
                b[k] = a[k] - t;
                a[k] += t;
            }
        }
    }
}

void Fft::RealForward(const float* in, Complex* out) const {
    const size_t half = m_size / 2;
    // The even samples as real parts, the odd ones as imaginary parts.
    for (size_t n = 0; n < half; ++n)
        out[n] = Complex(in[2 * n], in[2 * n + 1]);
    Transform(out, m_forward);
    out[half] = out[0];
    for (size_t k = 0; k <= half / 2; ++k) {
        const Complex zk = out[k];
        const Complex zm = std::conj(out[half - k]);
        const Complex even = (zk + zm) * 0.5f;
        const Complex odd = Mul((zk - zm) * 0.5f, Complex(0.0f, -1.0f));
        const Complex zk2 = out[half - k];
        const Complex zm2 = std::conj(out[k]);
        const Complex even2 = (zk2 + zm2) * 0.5f;
        const Complex odd2 = Mul((zk2 - zm2) * 0.5f, Complex(0.0f, -1.0f));
        out[k] = even + Mul(m_split[k], odd);
        out[half - k] = even2 + Mul(m_split[half - k], odd2);
    }
}

void Fft::RealInverse(Complex* bins, float* out) const {
    const size_t half = m_size / 2;
    for (size_t k = 0; k <= half / 2; ++k) {
        const Complex xk = bins[k];
        const Complex xm = std::conj(bins[half - k]);
        // Twice the transforms of the even and of the odd samples, recombined.
        const Complex even = xk + xm;
        const Complex odd = Mul(xk - xm, std::conj(m_split[k]));
        const Complex xk2 = bins[half - k];
        const Complex xm2 = std::conj(bins[k]);
        const Complex even2 = xk2 + xm2;
        const Complex odd2 = Mul(xk2 - xm2, std::conj(m_split[half - k]));
        bins[k] = even + Mul(odd, Complex(0.0f, 1.0f));
        bins[half - k] = even2 + Mul(odd2, Complex(0.0f, 1.0f));
    }
    Transform(bins, m_inverse);
    for (size_t n = 0; n < half; ++n) {
        out[2 * n] = bins[n].real();
        out[2 * n + 1] = bins[n].imag();
    }
}
