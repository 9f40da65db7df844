// Undo and redo through the main window, and each keyboard shortcut: the stream's map after an
// undo is the map before the edit, a slider drag is one step, the keys reach their commands.
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>

#include "app/AppResources.h"
#include "app/EditHistory.h"
#include "engine/StreamAdapter.h"
#include "engine/StretchedWaveStream.h"
#include "platform/ui/ToolTip.h"
#include "tests/app/WindowDriver.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/RecordingUserPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace window_driver;

constexpr int kStretchSlider = MainWindow::IDC_EVENT_STRETCH_SLIDER;
constexpr int kPositionSlider = MainWindow::IDC_EVENT_POSITION_SLIDER;

// What the playing stream holds of the edits: its offset, its length and every paquet.
struct StreamMap {
    float offset;
    int32_t offset_bytes;
    uint64_t length;
    std::vector<std::vector<double>> paquets;
    bool operator==(const StreamMap&) const = default;
};

StreamMap MapOf(const MainWindow& window) {
    StreamMap map{};
    StreamAdapter::EditCurrentStream([&](StretchedWaveStream* stream) {
        if (!stream) return;
        map.offset = stream->GetOffset();
        map.offset_bytes = stream->GetOffsetBytes();
        map.length = stream->GetExpectedOutputLength();
        for (const StretchEvent* e = window.m_events; e; e = e->m_next) {
            map.paquets.push_back({e->m_movie_pos, e->m_tempo, e->m_audio_pos,
                                   double(e->m_virtual_byte_pos), double(e->m_real_byte_pos)});
        }
    });
    return map;
}

// A drag of a slider: thumb moves, then the end of the move.
void Drag(HWND w, int id, std::vector<int> positions) {
    HWND slider = GetDlgItem(w, id);
    for (int position : positions)
        Scroll(w, id, position);
    SendMessageA(w, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
}

class KeyboardUndoTest : public WindowFixture {
protected:
    void LoadWav(HWND w) {
        const std::string path = dir.File("sound.wav");
        WavFileBuilder()
            .Channels(2)
            .Rate(44100)
            .Samples(TestSignal(6 * 44100, 2, 44100))
            .Write(path);
        prompt.AddFileAnswer(path);
        Press(w, MainWindow::IDC_CHOOSE_AUDIO);
    }

    void LoadMovie(HWND w) {
        MovieRecipe recipe = MovieRecipe::Mpeg();
        recipe.frames = 50;
        const std::string path = dir.File("movie.mpg");
        std::string error;
        ASSERT_TRUE(MovieFileMaker::Make(path, recipe, &error)) << error;
        prompt.AddFileAnswer(path);
        Press(w, MainWindow::IDC_CHOOSE_VIDEO);
    }
};

TEST(EditHistoryTest, groups_runs_of_one_kind_drops_no_change_and_new_steps_end_redo) {
    EditState a, b, c;
    b.initial_offset = 1;
    c.initial_offset = 2;
    EditHistory history;
    history.Record(EditKind::Stretch, a, a);  // nothing changed
    EXPECT_FALSE(history.CanUndo());
    history.Record(EditKind::Stretch, a, b);
    history.Record(EditKind::Stretch, b, c);  // the same drag
    EXPECT_EQ(history.Undo(), a);
    EXPECT_EQ(history.Redo(), c);
    history.Record(EditKind::Offset, c, a);
    history.Record(EditKind::Offset, a, c);  // typed back to where it was: no step
    history.EndGroup();
    EXPECT_EQ(history.Undo(), a);  // the drag's step is the last one left
    history.Record(EditKind::Insert, a, b);
    history.Record(EditKind::Insert, b, c);  // an insert is never merged
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.Undo(), b);
    EXPECT_EQ(history.Undo(), a);
    EXPECT_FALSE(history.CanUndo());
}

TEST(EditHistoryTest, keeps_the_newest_steps_up_to_its_limit) {
    EditHistory history;
    std::vector<EditState> states(EditHistory::kMaxSteps + 2);
    for (size_t i = 0; i < states.size(); ++i)
        states[i].initial_offset = static_cast<float>(i);
    for (size_t i = 1; i < states.size(); ++i)
        history.Record(EditKind::Insert, states[i - 1], states[i]);
    size_t steps = 0;
    std::optional<EditState> oldest;
    while (history.CanUndo()) {
        oldest = history.Undo();
        ++steps;
    }
    EXPECT_EQ(steps, EditHistory::kMaxSteps);
    EXPECT_EQ(oldest, states[1]);  // the very first step was forgotten
}

TEST_F(KeyboardUndoTest, undo_puts_back_the_map_before_each_kind_of_edit_and_redo_replays_it) {
    Run([&](HWND w) {
        LoadWav(w);
        ASSERT_NE(CurrentStream(), nullptr);
        window.m_current_pos = 1.0f;
        Press(w, MainWindow::IDC_INSERT_EVENT);
        Drag(w, kStretchSlider, {3000, 6000, 10000});
        window.m_current_pos = 3.0f;
        Press(w, MainWindow::IDC_INSERT_EVENT);

        // Each edit, with the map before and after it.
        struct Edit {
            const char* name;
            std::function<void()> make;
        };
        const std::vector<Edit> edits = {
            {"stretch drag",
             [&] {
                 Drag(w, kStretchSlider, {-2000, -4000, -5000});
             }},
            {"position drag",
             [&] {
                 Drag(w, kPositionSlider, {2, 4, 5});
             }},
            {"offset", [&] { SetDlgItemTextA(w, MainWindow::IDC_INITIAL_OFFSET, "-0.5"); }},
            {"insert", [&] { Press(w, MainWindow::IDC_INSERT_EVENT); }},
            {"delete", [&] { Press(w, MainWindow::IDC_DELETE_EVENT); }},
        };
        std::vector<StreamMap> maps = {MapOf(window)};
        for (const Edit& edit : edits) {
            edit.make();
            maps.push_back(MapOf(window));
            EXPECT_NE(maps.back(), maps[maps.size() - 2]) << edit.name << " changed nothing";
        }
        for (size_t i = edits.size(); i-- > 0;) {
            Key(w, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(MapOf(window), maps[i]) << "undo of " << edits[i].name;
        }
        EXPECT_EQ(Text(w, MainWindow::IDC_INITIAL_OFFSET), "");
        for (size_t i = 0; i < edits.size(); ++i) {
            Key(w, i % 2 ? Qt::Key_Y : Qt::Key_Z,
                i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
            EXPECT_EQ(MapOf(window), maps[i + 1]) << "redo of " << edits[i].name;
        }
        EXPECT_EQ(Text(w, MainWindow::IDC_INITIAL_OFFSET), "-0.5");
        EXPECT_EQ(Rows(w).size(), 2u);
    });
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(KeyboardUndoTest, a_drag_is_one_step_and_undo_brings_back_the_selected_deleted_event) {
    Run([&](HWND w) {
        Press(w, MainWindow::IDC_INSERT_EVENT);
        Drag(w, kStretchSlider, {1000, 2000, 3000, 4000});
        Drag(w, kStretchSlider, {5000});
        EXPECT_EQ(Rows(w)[0].stretch, "+5.000%");
        Key(w, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Rows(w)[0].stretch, "+4.000%");
        Key(w, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Rows(w)[0].stretch, " 0.000%");

        ClickRow(w, 0);
        Key(GetDlgItem(w, MainWindow::IDC_EVENTS), Qt::Key_Delete);
        EXPECT_TRUE(Rows(w).empty());
        EXPECT_EQ(CurrentGroup(w), (Group{"", "", 0, 0}));
        Key(w, Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(Rows(w).size(), 1u);
        EXPECT_EQ(window.m_current_event, window.m_events);
        EXPECT_EQ(CurrentGroup(w).position, "00:00:0.000");
        Key(w, Qt::Key_Z, Qt::ControlModifier);  // the insert
        EXPECT_TRUE(Rows(w).empty());
        Key(w, Qt::Key_Z, Qt::ControlModifier);  // nothing left: no change
        EXPECT_TRUE(Rows(w).empty());
    });
}

TEST_F(KeyboardUndoTest, keys_reach_their_commands_and_buttons_show_them) {
    Run([&](HWND w) {
        EXPECT_EQ(GetToolTipText(GetDlgItem(w, MainWindow::IDC_PLAY)), "Play (Space)");
        EXPECT_NE(GetToolTipText(GetDlgItem(w, MainWindow::IDC_LOAD_PROJECT)).find("(Ctrl+O)"),
                  std::string::npos);

        Key(w, Qt::Key_Insert);
        EXPECT_EQ(Rows(w).size(), 1u);
        // Delete is the events list's key: elsewhere it deletes nothing.
        Key(w, Qt::Key_Delete);
        EXPECT_EQ(Rows(w).size(), 1u);
        // The offset box keeps the keys it types with.
        Key(GetDlgItem(w, MainWindow::IDC_INITIAL_OFFSET), Qt::Key_Insert);
        EXPECT_EQ(Rows(w).size(), 1u);

        Key(w, Qt::Key_O, Qt::ControlModifier);
        Key(w, Qt::Key_S, Qt::ControlModifier);
        const auto requests = prompt.FileRequests();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_FALSE(requests[0].save);
        EXPECT_TRUE(requests[1].save);
        EXPECT_EQ(requests[0].filter[0].pattern, "*.tkv");

        LoadWav(w);
        const std::string output = dir.File("out.wav");
        SetDlgItemTextA(w, MainWindow::IDC_OUTPUT_PATH, output.c_str());
        window.m_output_path = output;
        Key(w, Qt::Key_R, Qt::ControlModifier);
        EXPECT_TRUE(std::filesystem::exists(output));
    });
}

TEST_F(KeyboardUndoTest, space_plays_and_pauses_and_arrows_step_one_frame_while_paused) {
    Run([&](HWND w) {
        LoadMovie(w);
        ASSERT_GT(window.m_framerate, 0.0f);
        ASSERT_FALSE(window.m_playing);
        const float frame = 1.0f / window.m_framerate;
        Key(w, Qt::Key_Right);
        Key(w, Qt::Key_Right);
        EXPECT_NEAR(window.m_current_pos, 2 * frame, 1e-4);
        Key(w, Qt::Key_Left);
        EXPECT_NEAR(window.m_current_pos, frame, 1e-4);
        Key(w, Qt::Key_Left);
        Key(w, Qt::Key_Left);  // not before the first frame
        EXPECT_NEAR(window.m_current_pos, 0.0f, 1e-4);

        Key(w, Qt::Key_Space);
        EXPECT_TRUE(window.m_playing);
        Key(w, Qt::Key_Right);  // playing: no step
        Key(w, Qt::Key_Space);
        EXPECT_FALSE(window.m_playing);

        // A held Space toggles once; a held Right keeps stepping.
        const float paused_at = window.m_current_pos;
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Right}) {
            QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(WidgetOf(w), &repeat);
        }
        EXPECT_FALSE(window.m_playing);
        EXPECT_NEAR(window.m_current_pos, paused_at + frame, 1e-4);
    });
}

}  // namespace
