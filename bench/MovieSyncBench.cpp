// tkv_movie_bench: a movie played in real time through the graph RenderFile builds ("File
// Source (Async.)" -> "Movie Splitter" -> "Video Renderer" and "Default DirectSound Device").
//  1. Picture and sound together: a 640x360, 25 frames a second movie that flashes white and
//     clicks at the same instants, every second. For each flash, the stream time at which the
//     video renderer showed it (its presentation log) is set against the stream time at which
//     the click was played: its place in what SDL's disk driver wrote, counted from the movie's
//     first sound sample, which the audio renderer plays at its time (0) on the graph's clock,
//     the renderer's own clock. The sound therefore shows where the clock says it is; the
//     figure is how far the picture stands from it.
//  2. The CPU the process used meanwhile, as a share of one core.
// The video window is a real Qt window on the offscreen platform, so scaling and painting are
// counted.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>

#include "platform/com/ComPtr.h"
#include "platform/com/objbase.h"
#include "platform/media/amvideo.h"
#include "platform/media/dshow.h"
#include "platform/media/video/IVideoPresentationLog.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

constexpr double kUnits = 1e7;
constexpr int kSeconds = 10;
constexpr int kRate = 25;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::u16string Wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// Stream times (100 ns) of the clicks in 16-bit stereo at 44.1 kHz: the first loud sample
// after at least 0.1 s of quiet, counted from the movie's first sound sample (the first that is
// not 0: the device writes zeros before the run starts, and the movie hums between clicks).
std::vector<double> ClickTimes(const std::vector<uint8_t>& bytes) {
    std::vector<double> clicks;
    const size_t frames = bytes.size() / 4;
    size_t first = frames;
    size_t quiet = 44100;
    for (size_t i = 0; i < frames; ++i) {
        const auto left = static_cast<int16_t>(bytes[4 * i] | (bytes[4 * i + 1] << 8));
        if (left != 0) first = std::min(first, i);
        if (std::abs(left) > 4000) {
            if (quiet >= 4410) clicks.push_back(static_cast<double>(i - first) * kUnits / 44100);
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return clicks;
}

// Presentation times of the flash pictures (frames 0, 25, 50 ...), counted from the first
// picture the renderer got.
std::vector<double> FlashTimes(const std::vector<VideoPresentation>& log) {
    std::vector<double> flashes;
    if (log.empty()) return flashes;
    const REFERENCE_TIME first = log.front().sample_start;
    const REFERENCE_TIME frame = static_cast<REFERENCE_TIME>(kUnits / kRate);
    for (const VideoPresentation& shown : log) {
        const long long index = std::llround(static_cast<double>(shown.sample_start - first) /
                                             static_cast<double>(frame));
        if (index % kRate == 0 && shown.presented_at > 0) {
            flashes.push_back(static_cast<double>(shown.presented_at));
        }
    }
    return flashes;
}

std::vector<VideoPresentation> PresentationLog(IGraphBuilder* graph) {
    ComPtr<IBaseFilter> renderer;
    ComPtr<IVideoPresentationLog> log;
    std::vector<VideoPresentation> records;
    if (FAILED(graph->FindFilterByName(u"Video Renderer", renderer.GetAddressOf())) ||
        FAILED(renderer.As(&log))) {
        return records;
    }
    ULONG count = 0;
    log->GetPresentations(0, nullptr, &count);
    records.resize(count);
    log->GetPresentations(count, records.data(), &count);
    records.resize(count);
    return records;
}

int DroppedFrames(IGraphBuilder* graph) {
    ComPtr<IBaseFilter> renderer;
    ComPtr<IQualProp> quality;
    int dropped = -1;
    if (SUCCEEDED(graph->FindFilterByName(u"Video Renderer", renderer.GetAddressOf())) &&
        SUCCEEDED(renderer.As(&quality))) {
        quality->get_FramesDroppedInRenderer(&dropped);
    }
    return dropped;
}

// Runs until EC_COMPLETE, keeping the window's event loop going.
bool RunToCompletion(IMediaControl* control, IMediaEventEx* events) {
    if (FAILED(control->Run())) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kSeconds * 3);
    while (std::chrono::steady_clock::now() < deadline) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        long code = 0;
        LONG_PTR p1 = 0, p2 = 0;
        if (events->GetEvent(&code, &p1, &p2, 5) == S_OK) {
            events->FreeEventParams(code, p1, p2);
            if (code == EC_COMPLETE) return true;
        }
    }
    return false;
}

int Measure(const std::string& movie, const std::string& capture, const char* label) {
    ComPtr<IGraphBuilder> graph;
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                     reinterpret_cast<void**>(graph.GetAddressOf()));
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEventEx> events;
    ComPtr<IVideoWindow> window;
    if (!graph || FAILED(graph->RenderFile(Wide(movie).c_str(), nullptr)) ||
        FAILED(graph.As(&control)) || FAILED(graph.As(&events)) || FAILED(graph.As(&window))) {
        std::fprintf(stderr, "%s: cannot render %s\n", label, movie.c_str());
        return 1;
    }
    window->put_Visible(OATRUE);
    const double cpu_before = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const bool completed = RunToCompletion(control.Get(), events.Get());
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuSeconds() - cpu_before;
    control->Stop();
    const std::vector<double> flashes = FlashTimes(PresentationLog(graph.Get()));
    const int dropped = DroppedFrames(graph.Get());
    window = nullptr;
    events = nullptr;
    control = nullptr;
    graph = nullptr;  // closes the device, which completes the capture
    const std::vector<double> clicks = ClickTimes(ReadFileBytes(capture));

    const size_t pairs = std::min(flashes.size(), clicks.size());
    double worst = 0;
    double sum = 0;
    for (size_t i = 0; i < pairs; ++i) {
        const double offset = (flashes[i] - clicks[i]) / 1e4;  // ms, picture after sound > 0
        sum += offset;
        if (std::abs(offset) > std::abs(worst)) worst = offset;
    }
    std::printf(
        "%s 640x360 %d fps, %d s: wall %.2f s, CPU %.2f s = %.1f %% of one core; frames dropped "
        "%d; %zu flashes / %zu clicks; picture minus sound: mean %.1f ms, worst %.1f ms "
        "(one frame: %.0f ms)%s\n",
        label, kRate, kSeconds, wall, cpu, 100.0 * cpu / wall, dropped, flashes.size(),
        clicks.size(), pairs ? sum / static_cast<double>(pairs) : 0.0, worst, 1000.0 / kRate,
        completed ? "" : " (no EC_COMPLETE)");
    const bool in_sync = pairs > 0 && std::abs(worst) <= 1000.0 / kRate;
    return completed && in_sync ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    TempDir dir;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("TKV_REGISTRY_DIR", dir.File("registry").c_str(), 1);
    const std::string capture = dir.File("capture.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    QApplication application(argc, argv);
    CoInitialize(nullptr);
    int status = 0;
    for (MovieRecipe recipe : {MovieRecipe::Mpeg(), MovieRecipe::Avi()}) {
        recipe.width = 640;
        recipe.height = 360;
        recipe.frames = kSeconds * kRate;
        recipe.flash_every = kRate;
        const std::string movie = dir.File("flash." + recipe.container);
        std::string error;
        if (!MovieFileMaker::Make(movie, recipe, &error)) {
            std::fprintf(stderr, "cannot make %s: %s\n", movie.c_str(), error.c_str());
            return 1;
        }
        status |= Measure(movie, capture,
                          recipe.container == "avi" ? "AVI (MJPEG + PCM)" : "MPEG-1 + MP2");
    }
    CoUninitialize();
    return status;
}
