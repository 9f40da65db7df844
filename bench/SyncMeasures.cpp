#include "bench/SyncMeasures.h"

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/com/ComPtr.h"
#include "platform/media/amvideo.h"
#include "platform/media/dshow.h"
#include "platform/media/video/IVideoPresentationLog.h"

namespace {

constexpr double kUnits = 1e7;
constexpr size_t kRate = 44100;

std::vector<VideoPresentation> PresentationLog(IBaseFilter* video_renderer) {
    std::vector<VideoPresentation> records;
    ComPtr<IVideoPresentationLog> log;
    if (!video_renderer ||
        FAILED(video_renderer->QueryInterface(IID_IVideoPresentationLog,
                                              reinterpret_cast<void**>(log.GetAddressOf())))) {
        return records;
    }
    ULONG count = 0;
    log->GetPresentations(0, nullptr, &count);
    records.resize(count);
    log->GetPresentations(count, records.data(), &count);
    records.resize(count);
    return records;
}

}  // namespace

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::vector<double> ClickTimes(const std::vector<uint8_t>& capture) {
    std::vector<double> clicks;
    const size_t frames = capture.size() / 4;
    size_t first = frames;
    size_t quiet = kRate;
    for (size_t i = 0; i < frames; ++i) {
        const auto left = static_cast<int16_t>(capture[4 * i] | (capture[4 * i + 1] << 8));
        if (left != 0) first = std::min(first, i);
        if (std::abs(left) > 4000) {
            if (quiet >= kRate / 10) {
                clicks.push_back(static_cast<double>(i - first) * kUnits / kRate);
            }
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return clicks;
}

std::vector<Flash> FlashTimes(IBaseFilter* video_renderer, int rate) {
    std::vector<Flash> flashes;
    const std::vector<VideoPresentation> log = PresentationLog(video_renderer);
    if (log.empty() || rate <= 0) return flashes;
    const REFERENCE_TIME first = log.front().sample_start;
    const double frame = kUnits / rate;
    for (const VideoPresentation& shown : log) {
        const long long index =
            std::llround(static_cast<double>(shown.sample_start - first) / frame);
        if (index % rate == 0 && shown.presented_at > 0) {
            flashes.push_back(
                {static_cast<size_t>(index / rate), static_cast<double>(shown.presented_at)});
        }
    }
    return flashes;
}

int DroppedFrames(IBaseFilter* video_renderer) {
    ComPtr<IQualProp> quality;
    int dropped = -1;
    if (video_renderer && SUCCEEDED(video_renderer->QueryInterface(
                              IID_IQualProp, reinterpret_cast<void**>(quality.GetAddressOf())))) {
        quality->get_FramesDroppedInRenderer(&dropped);
    }
    return dropped;
}

PictureAgainstSound ComparePictureToSound(const std::vector<Flash>& flashes,
                                          const std::vector<double>& clicks) {
    PictureAgainstSound result;
    double sum = 0;
    for (const Flash& flash : flashes) {
        if (flash.number >= clicks.size()) continue;
        const double offset = (flash.shown_at - clicks[flash.number]) / 1e4;
        ++result.pairs;
        sum += offset;
        if (std::abs(offset) > std::abs(result.worst_ms)) result.worst_ms = offset;
    }
    if (result.pairs > 0) result.mean_ms = sum / static_cast<double>(result.pairs);
    return result;
}

std::string UseBenchEnvironment(const std::string& folder) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("TKV_REGISTRY_DIR", (folder + "/registry").c_str(), 1);
    const std::string capture = folder + "/capture.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    return capture;
}
