#include "engine/fit/WaveFeatureReader.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "engine/SourceWaveReader.h"
#include "engine/fit/EventFitter.h"
#include "engine/fit/FitProgress.h"
#include "engine/fit/PcmFeatureBuilder.h"

namespace {

constexpr uint32_t kBlockBytes = 256 * 1024;

std::string Problem(SourceWaveReader::OpenError error, int err) {
    switch (error) {
        case SourceWaveReader::OpenError::CannotOpen:
            return err ? std::string(": ") + std::strerror(err) : "";
        case SourceWaveReader::OpenError::NotWave:
            return ": it is not a WAV file, or it is damaged";
        case SourceWaveReader::OpenError::UnsupportedFormat:
            return ": only 16-bit PCM with 1 to 8 channels can be stretched";
        case SourceWaveReader::OpenError::TooLong:
            return ": Audio file is too long !";
        case SourceWaveReader::OpenError::None:
            break;
    }
    return "";
}

}  // namespace

bool WaveFeatureReader::Read(const std::string& path, FitProgress& progress,
                             SoundFeatures* features) {
    m_error.clear();
    SourceWaveReader reader;
    errno = 0;
    if (!reader.Open(path.c_str())) {
        m_error =
            "cannot read the audio file \"" + path + "\"" + Problem(reader.LastError(), errno);
        return false;
    }
    const WAVEFORMATEX& format = reader.Format();
    PcmFeatureBuilder builder(format.nSamplesPerSec, format.nChannels, EventFitter::kFitRate);
    const double total = static_cast<double>(reader.DataEnd() - reader.DataOffset());
    std::vector<uint8_t> block(kBlockBytes);
    double done = 0;
    for (;;) {
        if (progress.Cancelled()) return false;
        const int32_t got = reader.Read(block.data(), kBlockBytes);
        if (got < 0) {
            m_error = "cannot read the audio file \"" + path + "\": a read failed";
            return false;
        }
        if (got == 0) break;
        builder.Push(block.data(), static_cast<size_t>(got));
        done += got;
        progress.Report(total > 0 ? done / total : 1.0);
    }
    *features = builder.Finish();
    return true;
}
