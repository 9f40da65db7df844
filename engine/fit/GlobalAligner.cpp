#include "engine/fit/GlobalAligner.h"

#include <algorithm>
#include <cmath>

#include "engine/fit/Fft.h"
#include "engine/fit/FitProgress.h"

namespace {

constexpr double kExcerptSeconds = 30.0;
constexpr double kExcerptSpacing = 60.0;  // about one excerpt a minute
constexpr size_t kMaxExcerpts = 24;
// Speeds tried: at 5 frames a second a 30 s excerpt drifts by less than a frame between two.
constexpr double kMinSlope = 0.92;
constexpr double kMaxSlope = 1.08;
constexpr double kSlopeStep = 0.0125;
// An excerpt needs this much of its features' spread to say anything (silence does not).
constexpr double kMinExcerptEnergy = 0.2;
constexpr double kMinScore = 0.12;
constexpr size_t kProposalsPerExcerpt = 3;
constexpr double kDistinctSeconds = 2.0;
constexpr double kMinChainSlope = 0.3;
constexpr double kMaxChainSlope = 3.0;

}  // namespace

GlobalAligner::GlobalAligner(const SoundFeatures& movie, const SoundFeatures& wav)
    : m_movie(movie), m_wav(wav) {}

std::vector<CoarseAnchor> GlobalAligner::FindAnchors(FitProgress& progress) const {
    const size_t frames = m_movie.Frames();
    const auto length =
        std::min(frames, static_cast<size_t>(std::lround(kExcerptSeconds * m_movie.FrameRate())));
    std::vector<CoarseAnchor> proposals;
    if (length < 8 || m_wav.Frames() < 8) return {};
    // One FFT size for the WAV and every stretched excerpt, so that no lag wraps onto another.
    const WavSpectra wav = Prepare(static_cast<size_t>(std::ceil((length - 1) * kMaxSlope)) + 1);
    const size_t count = std::clamp<size_t>(
        static_cast<size_t>(std::ceil(m_movie.Duration() / kExcerptSpacing)) + 1, 2, kMaxExcerpts);
    for (size_t e = 0; e < count; ++e) {
        if (progress.Cancelled()) return {};
        const size_t start = (frames - length) * e / (count - 1);
        for (const CoarseAnchor& anchor : Proposals(start, length, wav))
            proposals.push_back(anchor);
        progress.Report(static_cast<double>(e + 1) / static_cast<double>(count));
    }

    // The heaviest chain of proposals in movie order, each step moving plausibly forward.
    std::stable_sort(
        proposals.begin(), proposals.end(),
        [](const CoarseAnchor& a, const CoarseAnchor& b) { return a.movie_time < b.movie_time; });
    const size_t n = proposals.size();
    std::vector<double> best(n);
    std::vector<long> from(n, -1);
    for (size_t c = 0; c < n; ++c) {
        best[c] = proposals[c].score;
        for (size_t p = 0; p < c; ++p) {
            const double dt = proposals[c].movie_time - proposals[p].movie_time;
            if (dt <= 0) continue;
            const double slope = (proposals[c].wav_time - proposals[p].wav_time) / dt;
            if (slope < kMinChainSlope || slope > kMaxChainSlope) continue;
            if (best[p] + proposals[c].score > best[c]) {
                best[c] = best[p] + proposals[c].score;
                from[c] = static_cast<long>(p);
            }
        }
    }
    std::vector<CoarseAnchor> chain;
    if (n == 0) return chain;
    long c = static_cast<long>(std::max_element(best.begin(), best.end()) - best.begin());
    for (; c >= 0; c = from[static_cast<size_t>(c)])
        chain.push_back(proposals[static_cast<size_t>(c)]);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

GlobalAligner::WavSpectra GlobalAligner::Prepare(size_t longest) const {
    const int bands = m_wav.Bands();
    const size_t wav_frames = m_wav.Frames();
    WavSpectra wav{Fft(wav_frames + longest), {}, {}};
    const size_t size = wav.fft.Size();
    std::vector<float> signal(size);
    for (int b = 0; b < bands; ++b) {
        std::fill(signal.begin(), signal.end(), 0.0f);
        for (size_t j = 0; j < wav_frames; ++j)
            signal[j] = m_wav.Frame(j)[b];
        wav.bands.emplace_back(wav.fft.Bins());
        wav.fft.RealForward(signal.data(), wav.bands.back().data());
    }
    wav.energy_prefix.assign(wav_frames + 1, 0.0);
    for (size_t j = 0; j < wav_frames; ++j) {
        double e = 0;
        for (int b = 0; b < bands; ++b)
            e += static_cast<double>(m_wav.Frame(j)[b]) * m_wav.Frame(j)[b];
        wav.energy_prefix[j + 1] = wav.energy_prefix[j] + e;
    }
    return wav;
}

std::vector<CoarseAnchor> GlobalAligner::Proposals(size_t start, size_t length,
                                                   const WavSpectra& wav_spectra) const {
    const int bands = m_movie.Bands();
    const size_t wav_frames = m_wav.Frames();
    const Fft& fft = wav_spectra.fft;
    const size_t size = fft.Size();
    const size_t bins = fft.Bins();
    const std::vector<double>& energy_prefix = wav_spectra.energy_prefix;
    std::vector<float> signal(size);

    struct Peak {
        double score;
        double lag;
        double slope;
    };
    std::vector<Peak> peaks;
    std::vector<Fft::Complex> sum(bins);
    std::vector<Fft::Complex> spectrum(bins);
    std::vector<float> correlation(size);
    for (double slope = kMinSlope; slope <= kMaxSlope + 1e-9; slope += kSlopeStep) {
        // The excerpt on the WAV's time scale: sample q is movie frame start + q / slope.
        const auto stretched = static_cast<size_t>(std::floor((length - 1) * slope)) + 1;
        std::fill(sum.begin(), sum.end(), Fft::Complex());
        double excerpt_energy = 0;
        for (int b = 0; b < bands; ++b) {
            std::fill(signal.begin(), signal.end(), 0.0f);
            for (size_t q = 0; q < stretched; ++q) {
                const double pos = static_cast<double>(q) / slope;
                const auto i = std::min(static_cast<size_t>(pos), length - 1);
                const auto frac = static_cast<float>(pos - static_cast<double>(i));
                const float a = m_movie.Frame(start + i)[b];
                const float z = i + 1 < length ? m_movie.Frame(start + i + 1)[b] : a;
                signal[q] = a + (z - a) * frac;
                excerpt_energy += static_cast<double>(signal[q]) * signal[q];
            }
            fft.RealForward(signal.data(), spectrum.data());
            const auto& wav = wav_spectra.bands[static_cast<size_t>(b)];
            for (size_t k = 0; k < bins; ++k) {
                // conj(excerpt) * wav: the excerpt's sample q meets WAV frame lag + q.
                const Fft::Complex x = spectrum[k];
                const Fft::Complex y = wav[k];
                sum[k] += Fft::Complex(x.real() * y.real() + x.imag() * y.imag(),
                                       x.real() * y.imag() - x.imag() * y.real());
            }
        }
        if (excerpt_energy < kMinExcerptEnergy * bands * static_cast<double>(stretched)) {
            return {};  // a quiet or featureless excerpt
        }
        fft.RealInverse(sum.data(), correlation.data());
        const double scale = 1.0 / static_cast<double>(size);
        // Lags that keep at least half of the excerpt inside the WAV.
        const auto half = static_cast<long>(stretched / 2);
        Peak best{-2.0, 0.0, slope};
        for (long lag = -half; lag + half <= static_cast<long>(wav_frames); ++lag) {
            const size_t index =
                lag >= 0 ? static_cast<size_t>(lag) : size - static_cast<size_t>(-lag);
            const long from = std::max<long>(lag, 0);
            const long to =
                std::min<long>(lag + static_cast<long>(stretched), static_cast<long>(wav_frames));
            // Frames outside the WAV count as average ones, so a partial overlap is no easier.
            const double outside = static_cast<double>(stretched) - static_cast<double>(to - from);
            const double wav_energy = energy_prefix[static_cast<size_t>(to)] -
                                      energy_prefix[static_cast<size_t>(from)] + outside * bands;
            const double norm = std::sqrt(excerpt_energy * std::max(wav_energy, 1e-9));
            const double score = correlation[index] * scale / norm;
            if (score > best.score) best = {score, static_cast<double>(lag), slope};
        }
        peaks.push_back(best);
    }

    std::sort(peaks.begin(), peaks.end(),
              [](const Peak& a, const Peak& b) { return a.score > b.score; });
    const double middle = (static_cast<double>(length) - 1) / 2;
    std::vector<CoarseAnchor> proposals;
    for (const Peak& peak : peaks) {
        if (peak.score < kMinScore || proposals.size() == kProposalsPerExcerpt) break;
        CoarseAnchor anchor;
        anchor.movie_time = m_movie.Time(static_cast<double>(start) + middle);
        anchor.wav_time = m_wav.Time(peak.lag + peak.slope * middle);
        anchor.slope = peak.slope;
        anchor.score = peak.score;
        const bool distinct =
            std::none_of(proposals.begin(), proposals.end(), [&](const CoarseAnchor& other) {
                return std::abs(other.wav_time - anchor.wav_time) < kDistinctSeconds;
            });
        if (distinct) proposals.push_back(anchor);
    }
    return proposals;
}
