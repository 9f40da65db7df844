// tkv_media_bench: the audio path's costs.
//  1. CPU used while a WAV plays in real time through "File Source (Async.)" -> "Wave Parser"
//     -> "Default DirectSound Device" (SDL's dummy driver), as a share of one core.
//  2. The time to push a 10-minute WAV through "Wave Parser" into "Null Renderer" with no
//     clock, that is as fast as the filters go.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/com/ComPtr.h"
#include "platform/com/objbase.h"
#include "platform/media/dshow.h"
#include "tests/support/TempDir.h"

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Bytes this process has read through read(2) so far (page cache included).
long long BytesRead() {
    std::FILE* io = std::fopen("/proc/self/io", "r");
    long long rchar = -1;
    if (io) {
        if (std::fscanf(io, "rchar: %lld", &rchar) != 1) rchar = -1;
        std::fclose(io);
    }
    return rchar;
}

std::u16string Wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// Waits for EC_COMPLETE; false if it does not come within `limit_ms`.
bool WaitForComplete(IMediaEventEx* events, long limit_ms) {
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (SUCCEEDED(events->GetEvent(&code, &p1, &p2, limit_ms))) {
        events->FreeEventParams(code, p1, p2);
        if (code == EC_COMPLETE) return true;
    }
    return false;
}

ComPtr<IBaseFilter> Create(const CLSID& clsid) {
    ComPtr<IBaseFilter> filter;
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                     reinterpret_cast<void**>(filter.GetAddressOf()));
    return filter;
}

ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION direction) {
    ComPtr<IEnumPins> pins;
    filter->EnumPins(pins.GetAddressOf());
    ComPtr<IPin> pin;
    while (pins && pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION d;
        if (SUCCEEDED(pin->QueryDirection(&d)) && d == direction) return pin;
    }
    return nullptr;
}

int PlayInRealTime(const std::string& wav, double seconds) {
    ComPtr<IGraphBuilder> graph;
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                     reinterpret_cast<void**>(graph.GetAddressOf()));
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEventEx> events;
    if (!graph || FAILED(graph->RenderFile(Wide(wav).c_str(), nullptr)) ||
        FAILED(graph.As(&control)) || FAILED(graph.As(&events))) {
        std::fprintf(stderr, "cannot render %s\n", wav.c_str());
        return 1;
    }
    const double cpu_before = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    control->Run();
    const bool completed = WaitForComplete(events.Get(), static_cast<long>(seconds * 2000 + 5000));
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuSeconds() - cpu_before;
    control->Stop();
    std::printf("real-time playback of %.0f s: wall %.2f s, CPU %.3f s = %.2f %% of one core%s\n",
                seconds, wall, cpu, 100.0 * cpu / wall, completed ? "" : " (no EC_COMPLETE)");
    return completed ? 0 : 1;
}

int PushThroughParser(const std::string& wav, double seconds) {
    ComPtr<IFilterGraph> graph;
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterGraph,
                     reinterpret_cast<void**>(graph.GetAddressOf()));
    ComPtr<IBaseFilter> source = Create(CLSID_AsyncReader);
    ComPtr<IBaseFilter> parser = Create(CLSID_WAVEParser);
    ComPtr<IBaseFilter> sink = Create(CLSID_NullRenderer);
    ComPtr<IFileSourceFilter> file;
    if (!graph || !source || !parser || !sink || FAILED(source.As(&file)) ||
        FAILED(file->Load(Wide(wav).c_str(), nullptr)) ||
        FAILED(graph->AddFilter(source.Get(), u"source")) ||
        FAILED(graph->AddFilter(parser.Get(), u"parser")) ||
        FAILED(graph->AddFilter(sink.Get(), u"sink")) ||
        FAILED(graph->ConnectDirect(FirstPin(source.Get(), PINDIR_OUTPUT).Get(),
                                    FirstPin(parser.Get(), PINDIR_INPUT).Get(), nullptr)) ||
        FAILED(graph->ConnectDirect(FirstPin(parser.Get(), PINDIR_OUTPUT).Get(),
                                    FirstPin(sink.Get(), PINDIR_INPUT).Get(), nullptr))) {
        std::fprintf(stderr, "cannot build the parser graph\n");
        return 1;
    }
    ComPtr<IMediaFilter> clockless;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEventEx> events;
    graph.As(&clockless);
    graph.As(&control);
    graph.As(&events);
    clockless->SetSyncSource(nullptr);
    const long long read_before = BytesRead();
    const auto start = std::chrono::steady_clock::now();
    control->Run();
    const bool completed = WaitForComplete(events.Get(), 120000);
    const long long read_mb = (BytesRead() - read_before) / 1000000;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    control->Stop();
    std::printf(
        "%.0f s WAV through Wave Parser into Null Renderer, no clock: %.3f s (%.0fx real time, "
        "%lld MB read)%s\n",
        seconds, wall, seconds / wall, read_mb, completed ? "" : " (no EC_COMPLETE)");
    return completed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: tkv_media_bench BUILD_DIR  (uses BUILD_DIR/bench/tkv_make_wav)\n");
        return 2;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    TempDir dir;
    setenv("TKV_REGISTRY_DIR", dir.File("registry").c_str(), 1);
    const std::string maker = std::string(argv[1]) + "/bench/tkv_make_wav";
    const std::string shortWav = dir.File("ten-seconds.wav");
    const std::string longWav = dir.File("ten-minutes.wav");
    if (std::system((maker + " 10 " + shortWav).c_str()) != 0 ||
        std::system((maker + " 600 " + longWav).c_str()) != 0) {
        std::fprintf(stderr, "cannot make the sources with %s\n", maker.c_str());
        return 1;
    }
    CoInitialize(nullptr);
    int status = PlayInRealTime(shortWav, 10);
    status |= PushThroughParser(longWav, 600);
    CoUninitialize();
    return status;
}
