// tkv_soak_bench [SECONDS]: the main window's graph plays a movie with the stretched WAV for a
// long time (default 600 s) while, ten times a second, the events and the Initial Offset are
// edited through the window's controls (insert, stretch and position sliders, delete, offset
// box, in turn), and every 3 s the position slider seeks to another place; a movie that ends
// is played again. Every 10 s it samples the process's resident memory, open descriptors and
// threads. It reports their growth from the first sample after the warm-up (30 s, or a tenth
// of a short run) to the end, and stalls over 100 ms: of the window's event loop (a 10 ms
// timer's gaps) and of the sound (SDL's disk driver writes each buffer as the device takes
// it; a gap in the capture file's growth is a stall of the device).
// Usage: tkv_soak_bench [SECONDS]
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QTimer>

#include "app/AppResources.h"
#include "app/MainWindow.h"
#include "bench/SyncMeasures.h"
#include "engine/StretchEvent.h"
#include "platform/ui/CommonControls.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/RecordingUserPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMovieSeconds = 60;
constexpr int kSampleRate = 44100;
constexpr double kStallSeconds = 0.1;

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

struct Sample {
    double at = 0;
    long rss_kib = 0;
    int descriptors = 0;
    int threads = 0;
};

long StatusField(const char* name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(name) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    }
    return -1;
}

int CountDescriptors() {
    int count = 0;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(fds)) {
            if (entry->d_name[0] != '.') ++count;
        }
        closedir(fds);
    }
    return count - 1;  // the listing's own
}

Sample Take(double at) {
    return {at, StatusField("VmRSS"), CountDescriptors(), static_cast<int>(StatusField("Threads"))};
}

// Notes, on its own thread, the longest time the file at `path` went without growing once it
// had started to, and how many times that exceeded kStallSeconds.
class GrowthWatch {
public:
    explicit GrowthWatch(std::string path)
        : m_path(std::move(path)), m_thread([this] { Watch(); }) {}
    ~GrowthWatch() { Finish(); }
    GrowthWatch(const GrowthWatch&) = delete;
    GrowthWatch& operator=(const GrowthWatch&) = delete;

    void Finish() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    double LongestGap() const { return m_longest; }
    int Stalls() const { return m_stalls; }

private:
    void Watch() {
        long long last = -1;
        Clock::time_point grown{};
        while (!m_stop) {
            struct stat info {};
            const long long size = stat(m_path.c_str(), &info) == 0 ? info.st_size : -1;
            const Clock::time_point now = Clock::now();
            if (size != last) {
                if (last > 0) {
                    const double gap = Seconds(now - grown);
                    m_longest = std::max(m_longest.load(), gap);
                    if (gap > kStallSeconds) ++m_stalls;
                }
                last = size;
                grown = now;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    const std::string m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<double> m_longest{0};
    std::atomic<int> m_stalls{0};
    std::thread m_thread;
};

void Press(HWND window, int id) {
    SendDlgItemMessageA(window, id, BM_CLICK, 0, 0);
}

void Scroll(HWND window, int id, int position, WORD code) {
    HWND slider = GetDlgItem(window, id);
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    SendMessageA(window, WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(position)),
                 reinterpret_cast<LPARAM>(slider));
}

int CountEvents(const MainWindow& window) {
    int count = 0;
    for (const StretchEvent* e = window.m_events; e; e = e->m_next)
        ++count;
    return count;
}

// One edit of the ten a second, chosen in turn; the list stays between 5 and 40 events.
void Edit(MainWindow& window, int round) {
    HWND w = window.GetSafeHwnd();
    switch (round % 5) {
        case 0:
            if (CountEvents(window) < 40) {
                window.m_current_pos = static_cast<float>((round * 7) % kMovieSeconds);
                Press(w, MainWindow::IDC_INSERT_EVENT);
            }
            break;
        case 1:
            Scroll(w, MainWindow::IDC_EVENT_STRETCH_SLIDER, ((round * 37) % 19000) - 9500,
                   TB_THUMBTRACK);
            break;
        case 2:
            Scroll(w, MainWindow::IDC_EVENT_POSITION_SLIDER, (round * 13) % kMovieSeconds,
                   TB_THUMBTRACK);
            break;
        case 3:
            if (CountEvents(window) > 5) Press(w, MainWindow::IDC_DELETE_EVENT);
            break;
        default: {
            char offset[32];
            std::snprintf(offset, sizeof offset, "%.2f", ((round * 29) % 400) / 100.0 - 2.0);
            SetDlgItemTextA(w, MainWindow::IDC_INITIAL_OFFSET, offset);
            break;
        }
    }
}

struct Outcome {
    std::vector<Sample> samples;
    double longest_loop_gap = 0;
    int loop_stalls = 0;
    int edits = 0;
    int seeks = 0;
    int replays = 0;
};

void Soak(MainWindow& window, RecordingUserPrompt& prompt, const std::string& movie,
          const std::string& wav, double seconds, Outcome* out) {
    HWND w = window.GetSafeHwnd();
    prompt.AddFileAnswer(movie);
    Press(w, MainWindow::IDC_CHOOSE_VIDEO);
    prompt.AddFileAnswer(wav);
    Press(w, MainWindow::IDC_CHOOSE_AUDIO);
    Press(w, MainWindow::IDC_PLAY);

    const Clock::time_point start = Clock::now();
    Clock::time_point last_tick = start;
    Clock::time_point next_edit = start;
    Clock::time_point next_seek = start + std::chrono::seconds(3);
    Clock::time_point next_sample = start;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        const double gap = Seconds(now - last_tick);
        out->longest_loop_gap = std::max(out->longest_loop_gap, gap);
        if (gap > kStallSeconds) ++out->loop_stalls;
        last_tick = now;
    });
    tick.start(10);
    for (Clock::time_point now = start; Seconds(now - start) < seconds; now = Clock::now()) {
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
        if (now >= next_edit) {
            Edit(window, out->edits++);
            next_edit += std::chrono::milliseconds(100);
        }
        if (now >= next_seek) {
            const int to = (out->seeks++ * 17) % (kMovieSeconds - 5);
            Scroll(w, MainWindow::IDC_POSITION_SLIDER, to, TB_THUMBPOSITION);
            Scroll(w, MainWindow::IDC_POSITION_SLIDER, to, TB_ENDTRACK);
            next_seek += std::chrono::seconds(3);
        }
        if (!window.m_playing) {
            ++out->replays;
            Press(w, MainWindow::IDC_PLAY);
        }
        if (now >= next_sample) {
            out->samples.push_back(Take(Seconds(now - start)));
            next_sample += std::chrono::seconds(10);
        }
    }
    out->samples.push_back(Take(Seconds(Clock::now() - start)));
    Press(w, MainWindow::IDC_STOP);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::max(10.0, std::atof(argv[1])) : 600.0;
    TempDir dir;
    const std::string capture = UseBenchEnvironment(dir.Path().string());
    QApplication application(argc, argv);
    if (!RegisterAppResources()) return 1;

    MovieRecipe recipe = MovieRecipe::Mpeg();
    recipe.width = 320;
    recipe.height = 240;
    recipe.frames = kMovieSeconds * recipe.rate_num / recipe.rate_den;
    const std::string movie = dir.File("soak.mpg");
    std::string error;
    if (!MovieFileMaker::Make(movie, recipe, &error)) {
        std::fprintf(stderr, "cannot make %s: %s\n", movie.c_str(), error.c_str());
        return 1;
    }
    const std::string wav = dir.File("soak.wav");
    WavFileBuilder()
        .Channels(2)
        .Rate(kSampleRate)
        .Samples(TestSignal(kMovieSeconds * kSampleRate, 2, kSampleRate))
        .Write(wav);

    RecordingUserPrompt prompt;
    Outcome out;
    auto growth = std::make_unique<GrowthWatch>(capture);
    {
        ModalWatchdog watchdog(static_cast<int>(seconds * 1000) + 120000);
        MainWindow window;
        SetCurrentEventList(&window.m_events);
        WhenModal(
            [&](QWidget*) {
                Soak(window, prompt, movie, wav, seconds, &out);
                window.EndDialog(IDCANCEL);
            },
            [] {
                QWidget* modal = QApplication::activeModalWidget();
                return modal && modal->windowTitle() == "Tarvik Time Stretcher v1.0";
            });
        window.DoModal();
        SetCurrentEventList(nullptr);
    }
    growth->Finish();

    std::printf("%8s %10s %5s %8s\n", "time s", "RSS KiB", "fds", "threads");
    for (const Sample& s : out.samples)
        std::printf("%8.0f %10ld %5d %8d\n", s.at, s.rss_kib, s.descriptors, s.threads);
    const double warm_up = std::min(30.0, seconds / 10);
    const auto first = std::find_if(out.samples.begin(), out.samples.end(),
                                    [&](const Sample& s) { return s.at >= warm_up; });
    const Sample base = first != out.samples.end() ? *first : out.samples.front();
    const Sample end = out.samples.back();
    std::printf(
        "soak %.0f s: %d edits, %d seeks, %d replays; from %.0f s to the end: RSS %+ld KiB, "
        "descriptors %+d, threads %+d; event loop: longest gap %.0f ms, %d over 100 ms; "
        "sound: longest gap %.0f ms, %d over 100 ms; messages shown: %zu\n",
        seconds, out.edits, out.seeks, out.replays, base.at, end.rss_kib - base.rss_kib,
        end.descriptors - base.descriptors, end.threads - base.threads, out.longest_loop_gap * 1000,
        out.loop_stalls, growth->LongestGap() * 1000, growth->Stalls(), prompt.Messages().size());
    for (const auto& message : prompt.Messages())
        std::printf("  message: %s\n", message.text.c_str());
    return 0;
}
