// What you hear is what you render, from the main window: events inserted and edited through
// the controls while the movie and the stretched WAV play, then Play from the start to the
// end with SDL's disk driver capturing what the device played. The capture must equal the
// data chunk that Render writes (cut at the size the header declares, silence trimmed), and
// Render's file must equal what tkv-render writes for the project that Save wrote. A project
// saved by one window and loaded into a fresh one gives the same rows, offset, filters and
// rendered bytes.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/AppResources.h"
#include "tests/app/WindowDriver.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/RecordingUserPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavData.h"
#include "tests/support/WavFileBuilder.h"
#include "tools/render/RenderCommand.h"

namespace {

using namespace window_driver;
using Bytes = std::vector<uint8_t>;

constexpr size_t kFrameBytes = 4;  // 16-bit stereo
constexpr double kSeconds = 2.0;
constexpr uint32_t kRate = 44100;
constexpr uint32_t kDataSize = static_cast<uint32_t>(kSeconds * kRate) * kFrameBytes;

Bytes DataChunk(const std::string& wav) {
    Bytes data;
    if (!WavDataChunk(ReadFileBytes(wav), &data)) ADD_FAILURE() << "no data chunk in " << wav;
    return data;
}

// Leading and trailing silent frames removed: the device plays silence around the sound.
Bytes Trimmed(const Bytes& bytes) {
    return TrimSilentFrames(bytes, kFrameBytes);
}

size_t CommonBytes(const Bytes& a, const Bytes& b) {
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    return at;
}

std::vector<std::string> FilterNames(HWND window) {
    HWND list = GetDlgItem(window, MainWindow::IDC_FILTERS);
    std::vector<std::string> names;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        char text[256] = {};
        LVITEMA item{};
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        names.push_back(text);
    }
    return names;
}

class EventsEndToEndTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterAppResources());
        capture = dir.File("capture.raw");
        SetEnvironment("SDL_AUDIODRIVER", "disk");
        SetEnvironment("SDL_DISKAUDIOFILE", capture);
        movie = dir.File("movie.mpg");
        MovieRecipe recipe = MovieRecipe::Mpeg();
        recipe.frames = static_cast<int>(kSeconds * 25);
        std::string error;
        ASSERT_TRUE(MovieFileMaker::Make(movie, recipe, &error)) << error;
        wav = dir.File("sound.wav");
        const auto frames = static_cast<uint32_t>(kSeconds * kRate);
        WavFileBuilder().Rate(kRate).Samples(TestSignal(frames, 2, kRate, 7)).Write(wav);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    void SetEnvironment(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }

    void Choose(HWND w, int button, const std::string& path) {
        prompt.AddFileAnswer(path);
        Press(w, button);
    }

    // Loads the movie and the WAV, chooses the export file.
    void LoadMedia(HWND w, const std::string& output) {
        Choose(w, MainWindow::IDC_CHOOSE_VIDEO, movie);
        Choose(w, MainWindow::IDC_CHOOSE_AUDIO, wav);
        Choose(w, MainWindow::IDC_CHOOSE_OUTPUT, output);
    }

    // Three events of different signs, each inserted where the movie stands and then moved
    // to a whole second with the position slider; and a negative offset.
    void MakeEvents(HWND w) {
        const int stretches[] = {20000, -15000, 10000};
        for (int i = 0; i < 3; ++i) {
            Press(w, MainWindow::IDC_INSERT_EVENT);
            Scroll(w, MainWindow::IDC_EVENT_POSITION_SLIDER, i);
            Scroll(w, MainWindow::IDC_EVENT_STRETCH_SLIDER, stretches[i]);
            QApplication::processEvents();
        }
        SetDlgItemTextA(w, MainWindow::IDC_INITIAL_OFFSET, "-0.3");
    }

    TempDir dir;
    RecordingUserPrompt prompt;
    ModalWatchdog watchdog{60000};
    std::string capture;
    std::string movie;
    std::string wav;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(EventsEndToEndTest, what_you_hear_after_editing_while_playing_is_what_you_render) {
    const std::string rendered = dir.File("rendered.wav");
    const std::string project = dir.File("p.tkv");
    std::vector<Row> rows;
    {
        MainWindow window;
        RunWindow(window, [&] {
            HWND w = window.GetSafeHwnd();
            LoadMedia(w, rendered);
            Press(w, MainWindow::IDC_PLAY);
            ASSERT_TRUE(window.m_playing);
            MakeEvents(w);
            EXPECT_TRUE(window.m_playing) << "the edits stopped the graph";
            rows = Rows(w);
            Press(w, MainWindow::IDC_STOP);
            // Only what the next run plays counts: once the device writes silence (a buffer
            // it filled before the Stop may still be on its way), the file is emptied; the
            // device writes on where it was, so the file starts with a hole of zeros, which
            // trimming removes with the silence.
            SpinUntil([] { return false; }, 300);
            ASSERT_EQ(::truncate(capture.c_str(), 0), 0);
            Press(w, MainWindow::IDC_PLAY);
            EXPECT_TRUE(SpinUntil([&] { return !window.m_playing; }, 30000)) << "no EC_COMPLETE";
            Press(w, MainWindow::IDC_RENDER);
            Choose(w, MainWindow::IDC_SAVE_PROJECT, project);
            window.EndDialog(IDCANCEL);
        });
    }
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].stretch, "+20.000%");
    EXPECT_EQ(rows[1].stretch, " -15.000%");
    EXPECT_EQ(rows[2].image, 1);
    EXPECT_EQ(rows[0].audio, "00:00:0.300");  // the offset of -0.3 s

    // The window has gone, and with it the device, which has written everything it played.
    const Bytes played = Trimmed(ReadFileBytes(capture));
    Bytes data = DataChunk(rendered);
    if (data.size() > kDataSize) data.resize(kDataSize);  // the parser plays what is declared
    const Bytes expected = Trimmed(data);
    ASSERT_GT(expected.size(), kDataSize / 2);
    EXPECT_EQ(played.size(), expected.size());
    EXPECT_TRUE(played == expected) << "first difference at byte " << CommonBytes(played, expected);

    const std::string by_tool = dir.File("by_tool.wav");
    std::string args[] = {"tkv-render", project, "-o", by_tool};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data()};
    ASSERT_EQ(RunRenderCommand(4, argv, stdout, stderr), kRenderOk);
    EXPECT_TRUE(ReadFileBytes(by_tool) == ReadFileBytes(rendered));
    EXPECT_FALSE(watchdog.Fired());
    for (const auto& message : prompt.Messages())
        EXPECT_EQ(message.text, "Project saved.");
}

TEST_F(EventsEndToEndTest, a_saved_project_loads_into_a_fresh_window_as_it_was) {
    const std::string project = dir.File("p.tkv");
    struct State {
        std::vector<Row> rows;
        std::string offset;
        std::vector<std::string> filters;
        Bytes rendered;
    };
    const auto run = [&](const std::function<void(HWND)>& prepare, const std::string& output) {
        State state;
        MainWindow window;
        RunWindow(window, [&] {
            HWND w = window.GetSafeHwnd();
            prepare(w);
            state.rows = Rows(w);
            state.offset = Text(w, MainWindow::IDC_INITIAL_OFFSET);
            state.filters = FilterNames(w);
            Press(w, MainWindow::IDC_RENDER);
            window.EndDialog(IDCANCEL);
        });
        state.rendered = ReadFileBytes(output);
        return state;
    };
    const std::string first_output = dir.File("first.wav");
    const State saved_state = run(
        [&](HWND w) {
            LoadMedia(w, first_output);
            MakeEvents(w);
            Choose(w, MainWindow::IDC_SAVE_PROJECT, project);
        },
        first_output);
    const State loaded =
        run([&](HWND w) { Choose(w, MainWindow::IDC_LOAD_PROJECT, project); }, first_output);
    ASSERT_EQ(saved_state.rows.size(), 3u);
    EXPECT_EQ(loaded.rows, saved_state.rows);
    EXPECT_EQ(saved_state.offset, "-0.3");
    EXPECT_EQ(loaded.offset, "-0.300000");
    EXPECT_EQ(loaded.filters, saved_state.filters);
    EXPECT_GE(loaded.filters.size(), 5u);
    ASSERT_GT(saved_state.rendered.size(), 44u);
    EXPECT_TRUE(loaded.rendered == saved_state.rendered);
    EXPECT_FALSE(watchdog.Fired());
}

}  // namespace
