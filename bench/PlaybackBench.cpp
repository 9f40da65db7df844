// tkv_playback_bench: playback through the main window, as a user has it. A movie and a WAV
// are chosen through the window's (scripted) choosers, so the movie's own sound goes to the
// "Null Renderer" and the WAV plays through "Tarvik Time Stretcher" -> "Wave Parser" ->
// "Default DirectSound Device" (stretch 0); SDL's disk driver captures what the device played.
//  1. Picture against sound, and CPU: a 10-second 640x360, 25 frames a second movie that
//     flashes and clicks every second, with a WAV decoded from the movie's own sound, played
//     to EC_COMPLETE. Each flash's presentation time is set against its click's place in the
//     capture (bench/SyncMeasures.h); the CPU the whole process used meanwhile (window,
//     painting, decoding, stretching) is given as a share of one core.
//  2. Edit-to-ear latency: a WAV that hums quietly for 8 s and then sounds loud plays from its
//     start; 1.5 s in, the Initial Offset box is set to -8, which moves the stream to the loud
//     part. A thread notes when the capture file grew (the disk driver writes each buffer as
//     the device takes it, at the device's pace), so the first loud sample's place in the file
//     gives the moment it reached the device, set against the moment of the edit.
// Usage: tkv_playback_bench [LATENCY_RUNS]   (default 3)
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QTimer>

#include "app/AppResources.h"
#include "app/MainWindow.h"
#include "bench/MovieSound.h"
#include "bench/SyncMeasures.h"
#include "engine/StreamAdapter.h"
#include "engine/StretchEvent.h"
#include "engine/StretchedWaveStream.h"
#include "grapheditor/FilterItem.h"
#include "platform/com/ComPtr.h"
#include "platform/media/strmif.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/RecordingUserPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSeconds = 10;
constexpr int kRate = 25;
constexpr int kSampleRate = 44100;
constexpr double kLoudFrom = 8.0;  // seconds into the latency WAV
constexpr int16_t kLoud = 20000;
constexpr double kSyncTargetMs = 10;  // picture against sound, either way
constexpr double kCpuTarget = 0.15;   // of one core

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// Runs the main window; `action` runs once it is up, with the prompt answering the choosers.
// The window is gone, and with it the audio device, when this returns.
void WithMainWindow(RecordingUserPrompt& prompt, const std::function<void(MainWindow&)>& action) {
    ModalWatchdog watchdog(kSeconds * 6 * 1000);
    auto window = std::make_unique<MainWindow>();
    SetCurrentEventList(&window->m_events);
    MainWindow* shown = window.get();
    WhenModal(
        [&, shown](QWidget*) {
            action(*shown);
            shown->EndDialog(IDCANCEL);
        },
        [] {
            QWidget* modal = QApplication::activeModalWidget();
            return modal && modal->windowTitle() == "Tarvik Time Stretcher v1.0";
        });
    window->DoModal();
    window.reset();
    SetCurrentEventList(nullptr);
    if (!prompt.Messages().empty()) {
        std::fprintf(stderr, "the window said: %s\n", prompt.Messages().front().text.c_str());
    }
}

void Click(MainWindow& window, int control) {
    SendDlgItemMessageA(window.GetSafeHwnd(), control, BM_CLICK, 0, 0);
}

// Keeps the event loop going for `seconds`, or until `done` holds. It sleeps while there is
// nothing to do (a timer wakes it), so that the figures count the program, not the waiting.
void Spin(
    double seconds, const std::function<bool()>& done = [] { return false; }) {
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(seconds));
    QTimer wake;
    wake.start(5);
    while (!done() && Clock::now() < end)
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void ChooseMovieAndWav(RecordingUserPrompt& prompt, MainWindow& window, const std::string& movie,
                       const std::string& wav) {
    prompt.AddFileAnswer(movie);
    Click(window, MainWindow::IDC_CHOOSE_VIDEO);
    prompt.AddFileAnswer(wav);
    Click(window, MainWindow::IDC_CHOOSE_AUDIO);
}

ComPtr<IBaseFilter> VideoRenderer(MainWindow& window) {
    ComPtr<IBaseFilter> renderer;
    if (FilterItem* item = window.Filters().FindItemByName("Video Renderer")) {
        item->FilterObject()->QueryInterface(IID_IBaseFilter,
                                             reinterpret_cast<void**>(renderer.GetAddressOf()));
    }
    return renderer;
}

int MeasureSync(RecordingUserPrompt& prompt, const TempDir& dir, MovieRecipe recipe,
                const std::string& capture, const char* label) {
    recipe.width = 640;
    recipe.height = 360;
    recipe.frames = kSeconds * kRate;
    recipe.flash_every = kRate;
    const std::string movie = dir.File("flash." + recipe.container);
    const std::string wav = dir.File("flash-" + recipe.container + ".wav");
    std::string error;
    if (!MovieFileMaker::Make(movie, recipe, &error) || !WriteMovieSoundAsWav(movie, wav, &error)) {
        std::fprintf(stderr, "%s: %s\n", label, error.c_str());
        return 1;
    }
    bool completed = false;
    double wall = 0;
    double cpu = 0;
    std::vector<Flash> flashes;
    int dropped = -1;
    WithMainWindow(prompt, [&](MainWindow& window) {
        ChooseMovieAndWav(prompt, window, movie, wav);
        const double cpu_before = CpuSeconds();
        const auto start = Clock::now();
        Click(window, MainWindow::IDC_PLAY);
        Spin(kSeconds * 3, [&] { return !window.m_playing; });  // EC_COMPLETE stops it
        completed = !window.m_playing;
        wall = Seconds(Clock::now() - start);
        cpu = CpuSeconds() - cpu_before;
        const ComPtr<IBaseFilter> renderer = VideoRenderer(window);
        flashes = FlashTimes(renderer.Get(), kRate);
        dropped = DroppedFrames(renderer.Get());
    });
    const std::vector<double> clicks = ClickTimes(ReadFileBytes(capture));
    const PictureAgainstSound sync = ComparePictureToSound(flashes, clicks);
    std::printf(
        "%s, stretched WAV: wall %.2f s, CPU %.2f s = %.1f %% of one core; frames dropped %d; "
        "%zu flashes / %zu clicks, %zu paired; picture minus sound: mean %.1f ms, worst %.1f "
        "ms%s\n",
        label, wall, cpu, 100.0 * cpu / wall, dropped, flashes.size(), clicks.size(), sync.pairs,
        sync.mean_ms, sync.worst_ms, completed ? "" : " (no EC_COMPLETE)");
    const bool on_target =
        sync.pairs > 0 && std::abs(sync.worst_ms) <= kSyncTargetMs && cpu <= kCpuTarget * wall;
    return completed && on_target ? 0 : 1;
}

// Notes, on its own thread, each time the file at `path` changed size.
class FileGrowthLog {
public:
    explicit FileGrowthLog(std::string path)
        : m_path(std::move(path)), m_thread([this] { Watch(); }) {}
    ~FileGrowthLog() { Finish(); }
    FileGrowthLog(const FileGrowthLog&) = delete;
    FileGrowthLog& operator=(const FileGrowthLog&) = delete;

    void Finish() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    // When the file first held `bytes` bytes for good (after its last time below that).
    bool ReachedAt(long long bytes, Clock::time_point* at) const {
        bool found = false;
        for (const auto& [when, size] : m_sizes) {
            if (size < bytes) {
                found = false;
            } else if (!found) {
                found = true;
                *at = when;
            }
        }
        return found;
    }

    // The file's size at `at`, as last seen before it.
    long long SizeAt(Clock::time_point at) const {
        long long size = 0;
        for (const auto& [when, seen] : m_sizes) {
            if (when > at) break;
            size = seen;
        }
        return size;
    }

private:
    void Watch() {
        long long last = -1;
        while (!m_stop) {
            struct stat info {};
            const long long size = stat(m_path.c_str(), &info) == 0 ? info.st_size : -1;
            if (size != last) {
                m_sizes.emplace_back(Clock::now(), size);
                last = size;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }

    const std::string m_path;
    std::atomic<bool> m_stop{false};
    std::vector<std::pair<Clock::time_point, long long>> m_sizes;  // the watching thread's
    std::thread m_thread;
};

// The latency WAV: a quiet 440 Hz hum, loud from kLoudFrom on, 12 s in all.
std::string LatencyWav(const TempDir& dir) {
    const std::string path = dir.File("latency.wav");
    std::vector<int16_t> samples;
    const int frames = 12 * kSampleRate;
    samples.reserve(static_cast<size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        const double level = i >= kLoudFrom * kSampleRate ? kLoud : 1000;
        const auto value = static_cast<int16_t>(level * std::sin(2 * M_PI * 440 * i / kSampleRate));
        samples.push_back(value);
        samples.push_back(value);
    }
    WavFileBuilder().Channels(2).Rate(kSampleRate).Samples(std::move(samples)).Write(path);
    return path;
}

// The frame index of the first sample louder than `level`, or -1.
long long FirstFrameAbove(const std::vector<uint8_t>& capture, int level) {
    for (size_t i = 0; i + 4 <= capture.size(); i += 4) {
        const auto left = static_cast<int16_t>(capture[i] | (capture[i + 1] << 8));
        if (std::abs(left) > level) return static_cast<long long>(i / 4);
    }
    return -1;
}

struct Latency {
    double ms = -1;            // edit to the first changed sample at the device; < 0: not found
    double in_flight_ms = -1;  // read from the stream but not yet played, at the edit
};

Latency MeasureLatency(RecordingUserPrompt& prompt, const std::string& movie,
                       const std::string& wav, const std::string& capture) {
    Clock::time_point edit{};
    Clock::time_point started{};
    uint32_t stream_pos = 0;
    auto growth = std::make_unique<FileGrowthLog>(capture);
    WithMainWindow(prompt, [&](MainWindow& window) {
        ChooseMovieAndWav(prompt, window, movie, wav);
        started = Clock::now();
        Click(window, MainWindow::IDC_PLAY);
        Spin(1.5);
        StreamAdapter::EditCurrentStream(
            [&](StretchedWaveStream* stream) { stream_pos = stream ? stream->GetPosition() : 0; });
        edit = Clock::now();
        SetDlgItemTextA(window.GetSafeHwnd(), MainWindow::IDC_INITIAL_OFFSET, "-8");
        Spin(3.0);
        Click(window, MainWindow::IDC_STOP);
    });
    growth->Finish();
    const std::vector<uint8_t> bytes = ReadFileBytes(capture);
    const long long first = FirstFrameAbove(bytes, 0);  // the device wrote zeros until Play
    const long long loud = FirstFrameAbove(bytes, kLoud / 2);
    Clock::time_point heard{};
    Latency latency;
    if (first < 0 || loud < 0 || !growth->ReachedAt((loud + 1) * 4, &heard) ||
        Seconds(heard - started) >= kLoudFrom) {  // not found, or it came by itself
        return latency;
    }
    latency.ms = Seconds(heard - edit) * 1000;
    const long long played = growth->SizeAt(edit) / 4 - first;
    const long long read = (stream_pos - StretchedWaveStream::kHeaderLength) / 4;
    latency.in_flight_ms = static_cast<double>(read - played) * 1000 / kSampleRate;
    return latency;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    TempDir dir;
    const std::string capture = UseBenchEnvironment(dir.Path().string());
    QApplication application(argc, argv);
    if (!RegisterAppResources()) return 1;
    RecordingUserPrompt prompt;

    int status = MeasureSync(prompt, dir, MovieRecipe::Mpeg(), capture, "MPEG-1 + MP2 640x360");
    status |= MeasureSync(prompt, dir, MovieRecipe::Avi(), capture, "AVI (MJPEG + PCM) 640x360");

    MovieRecipe recipe = MovieRecipe::Mpeg();
    recipe.width = 640;
    recipe.height = 360;
    recipe.frames = kSeconds * kRate;
    const std::string movie = dir.File("plain.mpg");
    std::string error;
    if (!MovieFileMaker::Make(movie, recipe, &error)) {
        std::fprintf(stderr, "cannot make %s: %s\n", movie.c_str(), error.c_str());
        return 1;
    }
    const std::string wav = LatencyWav(dir);
    for (int run = 0; run < runs; ++run) {
        const Latency latency = MeasureLatency(prompt, movie, wav, capture);
        if (latency.ms < 0) {
            std::printf("edit-to-ear latency: the changed sound was not found\n");
            status = 1;
        } else {
            std::printf(
                "edit-to-ear latency (Initial Offset 0 -> -8 s while playing): %.0f ms; sound "
                "read from the stream but not yet played at the edit: %.0f ms\n",
                latency.ms, latency.in_flight_ms);
        }
    }
    return status;
}
