#include "tests/engine/fit/DubScenario.h"

#include <algorithm>
#include <cmath>

#include "engine/AudioExport.h"
#include "engine/StretchEvent.h"
#include "engine/fit/MonoResampler.h"
#include "tests/engine/fit/SoundtrackSynth.h"
#include "tests/support/WavFileBuilder.h"

namespace {

std::vector<int16_t> Pcm(const std::vector<float>& samples) {
    std::vector<int16_t> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        pcm[i] =
            static_cast<int16_t>(std::clamp(std::lround(samples[i] * 32767.0), -32767L, 32767L));
    return pcm;
}

// The samples of a WAV our export wrote (an 18-byte format chunk, mono 16-bit).
std::vector<float> ExportedSamples(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    std::vector<float> samples;
    for (size_t i = 46; i + 1 < bytes.size(); i += 2) {
        const auto s = static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8));
        samples.push_back(static_cast<float>(s) / 32768.0f);
    }
    return samples;
}

}  // namespace

bool DubScenario::Make(const std::string& dir, std::string* error) {
    const double master_seconds = seconds + std::max(lost_seconds, 0.0) + 30.0;
    const auto master_count = static_cast<size_t>(master_seconds * rate);
    const std::vector<float> master = BackgroundSynth(rate, seed).Take(master_count);

    // The movie: the master without its lost scene, with its own dialogue.
    SpeechSynth movie_speech(rate, seed + 100);
    movie.clear();
    const auto lost_from = static_cast<size_t>(std::max(lost_at, 0.0) * rate);
    const auto lost_to = lost_at >= 0 ? lost_from + static_cast<size_t>(lost_seconds * rate) : 0;
    for (size_t i = 0; i < master_count && movie.size() < static_cast<size_t>(seconds * rate);
         ++i) {
        if (i >= lost_from && i < lost_to) continue;
        movie.push_back(master[i] + movie_speech.Next() * foreground);
    }

    // The dub: the master (or another background) with other dialogue, then our export.
    const std::vector<float> background =
        unrelated ? BackgroundSynth(rate, seed + 5000).Take(master_count) : master;
    SpeechSynth dub_speech(rate, seed + 200);
    std::vector<float> source(master_count);
    for (size_t i = 0; i < master_count; ++i)
        source[i] = background[i] + dub_speech.Next() * foreground;
    const std::string source_path = dir + "/dub_source.wav";
    WavFileBuilder().Channels(1).Rate(rate).Samples(Pcm(source)).Write(source_path);

    StretchEvent* head = nullptr;
    for (const MapEvent& event : events)
        new StretchEvent(static_cast<float>(event.movie_pos), static_cast<float>(event.stretch),
                         &head);
    SetCurrentEventList(&head);
    dub_path = dir + "/dub.wav";
    AudioExport job({source_path, dub_path, static_cast<float>(offset)});
    const bool exported = job.Run(nullptr);
    SetCurrentEventList(nullptr);
    delete head;
    if (!exported) {
        *error = job.ErrorMessage();
        return false;
    }
    dub = ExportedSamples(dub_path);
    return true;
}

double DubScenario::TrueWavPosition(double movie_time) const {
    double master = movie_time;
    if (lost_at >= 0 && movie_time >= lost_at) master += lost_seconds;
    return TimeMap(offset, events).MovieTime(master);
}

double DubScenario::ShareWithin(const FitResult& result, double tolerance) const {
    const TimeMap fitted = result.Map();
    int within = 0;
    int total = 0;
    for (double t = 0; t < seconds; t += 0.01, ++total) {
        if (std::abs(fitted.WavPosition(t) - TrueWavPosition(t)) <= tolerance) ++within;
    }
    return total ? static_cast<double>(within) / total : 0.0;
}

std::vector<float> Resampled(const std::vector<float>& samples, uint32_t rate, uint32_t to_rate) {
    MonoResampler resampler(rate, to_rate);
    std::vector<float> out;
    resampler.Push(samples.data(), samples.size(), &out);
    resampler.Finish(&out);
    return out;
}
