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
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>

#include "bench/SyncMeasures.h"
#include "platform/com/ComPtr.h"
#include "platform/com/objbase.h"
#include "platform/media/dshow.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

constexpr int kSeconds = 10;
constexpr int kRate = 25;

std::u16string Wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

ComPtr<IBaseFilter> VideoRenderer(IGraphBuilder* graph) {
    ComPtr<IBaseFilter> renderer;
    graph->FindFilterByName(u"Video Renderer", renderer.GetAddressOf());
    return renderer;
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
    ComPtr<IBaseFilter> renderer = VideoRenderer(graph.Get());
    const std::vector<Flash> flashes = FlashTimes(renderer.Get(), kRate);
    const int dropped = DroppedFrames(renderer.Get());
    renderer = nullptr;
    window = nullptr;
    events = nullptr;
    control = nullptr;
    graph = nullptr;  // closes the device, which completes the capture
    const std::vector<double> clicks = ClickTimes(ReadFileBytes(capture));

    const PictureAgainstSound sync = ComparePictureToSound(flashes, clicks);
    std::printf(
        "%s 640x360 %d fps, %d s: wall %.2f s, CPU %.2f s = %.1f %% of one core; frames dropped "
        "%d; %zu flashes / %zu clicks; picture minus sound: mean %.1f ms, worst %.1f ms "
        "(one frame: %.0f ms)%s\n",
        label, kRate, kSeconds, wall, cpu, 100.0 * cpu / wall, dropped, flashes.size(),
        clicks.size(), sync.mean_ms, sync.worst_ms, 1000.0 / kRate,
        completed ? "" : " (no EC_COMPLETE)");
    const bool in_sync = sync.pairs > 0 && std::abs(sync.worst_ms) <= 1000.0 / kRate;
    return completed && in_sync ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    TempDir dir;
    const std::string capture = UseBenchEnvironment(dir.Path().string());
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
