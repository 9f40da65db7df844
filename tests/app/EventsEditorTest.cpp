// The stretching events editor, worked through the main window's controls: Insert, Delete,
// clicks on rows, the two event sliders, the Initial Offset box, and edits while the graph
// plays (whose safety a ThreadSanitizer build checks).
#include <climits>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/AppResources.h"
#include "app/StretchText.h"
#include "engine/StreamAdapter.h"
#include "engine/StretchedWaveStream.h"
#include "tests/app/WindowDriver.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/RecordingUserPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace window_driver;

constexpr int kInsert = MainWindow::IDC_INSERT_EVENT;
constexpr int kDelete = MainWindow::IDC_DELETE_EVENT;
constexpr int kStretchSlider = MainWindow::IDC_EVENT_STRETCH_SLIDER;
constexpr int kPositionSlider = MainWindow::IDC_EVENT_POSITION_SLIDER;
const Group kNoEvent{"", "", 0, 0};

class EventsEditorTest : public WindowFixture {
protected:
    // Inserts an event at `seconds` of movie time, as if the movie stood there.
    void InsertAt(HWND w, float seconds) {
        window.m_current_pos = seconds;
        Press(w, kInsert);
    }

    // A WAV chosen with the "..." button: the stretched chain and its stream.
    void LoadWav(HWND w, double seconds) {
        const std::string path = dir.File("sound.wav");
        const auto frames = static_cast<uint32_t>(seconds * 44100);
        WavFileBuilder().Channels(2).Rate(44100).Samples(TestSignal(frames, 2, 44100)).Write(path);
        prompt.AddFileAnswer(path);
        Press(w, MainWindow::IDC_CHOOSE_AUDIO);
    }

    // A movie chosen with its "..." button, its sound then given to the Null Renderer.
    void LoadMovie(HWND w, double seconds) {
        MovieRecipe recipe = MovieRecipe::Mpeg();
        recipe.frames = static_cast<int>(seconds * recipe.rate_num / recipe.rate_den);
        const std::string path = dir.File("movie.mpg");
        std::string error;
        ASSERT_TRUE(MovieFileMaker::Make(path, recipe, &error)) << error;
        prompt.AddFileAnswer(path);
        Press(w, MainWindow::IDC_CHOOSE_VIDEO);
    }
};

TEST(StretchTextTest, stretch_texts_and_halves_rounded_away_from_zero) {
    EXPECT_EQ(FormatStretch('+', 2.5f), "+2.500%");
    EXPECT_EQ(FormatStretch(' ', -2.5f), " -2.500%");
    EXPECT_EQ(FormatStretch(' ', 0.0f), " 0.000%");
    EXPECT_EQ(FormatStretch('+', 3e38f).back(), '%');  // no overflow of the text
    const std::pair<float, int> rounding[] = {{2.5f, 3},        {-2.5f, -3},      {2.4999f, 2},
                                              {-0.5f, -1},      {0.0f, 0},        {-2500.0f, -2500},
                                              {1e20f, INT_MAX}, {-1e20f, INT_MIN}};
    for (const auto& [value, rounded] : rounding)
        EXPECT_EQ(RoundHalfAway(value), rounded) << value;
    EXPECT_EQ(RoundHalfAway(std::nanf("")), 0);
}

TEST_F(EventsEditorTest, without_a_selected_event_delete_and_the_event_sliders_do_nothing) {
    Run([&](HWND w) {
        Press(w, kDelete);
        Scroll(w, kStretchSlider, 2500);
        Scroll(w, kPositionSlider, 0);
        EXPECT_TRUE(Rows(w).empty());
        EXPECT_EQ(window.m_events, nullptr);

        InsertAt(w, 1.0f);
        InsertAt(w, 2.0f);
        Press(w, kDelete);  // the second goes, and with it the selection
        EXPECT_EQ(CurrentGroup(w), kNoEvent);
        Scroll(w, kStretchSlider, -1000);
        Scroll(w, kPositionSlider, 0);
        EXPECT_EQ(Rows(w), (std::vector<Row>{{"00:00:1.000", "00:00:0.000", " 0.000%", 2}}));
        EXPECT_EQ(Text(w, MainWindow::IDC_EVENT_STRETCH), "");
    });
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(EventsEditorTest, insert_before_playing_makes_a_flat_event_at_zero_and_selects_it) {
    Run([&](HWND w) {
        Press(w, kInsert);
        EXPECT_EQ(Rows(w), (std::vector<Row>{{"00:00:0.000", "00:00:0.000", " 0.000%", 2}}));
        EXPECT_EQ(CurrentGroup(w), (Group{"00:00:0.000", " 0.000%", 0, 0}));
        EXPECT_EQ(window.m_current_event, window.m_events);
    });
}

TEST_F(EventsEditorTest, three_inserts_at_one_position_give_three_rows_and_the_last_is_current) {
    Run([&](HWND w) {
        SendDlgItemMessageA(w, kPositionSlider, TBM_SETRANGEMAX, FALSE, 20);
        for (int i = 0; i < 3; ++i)
            InsertAt(w, 4.5f);
        const std::vector<Row> rows = Rows(w);
        ASSERT_EQ(rows.size(), 3u);
        for (const Row& row : rows)
            EXPECT_EQ(row.movie, "00:00:4.500");
        EXPECT_EQ(CurrentGroup(w), (Group{"00:00:4.500", " 0.000%", 4, 0}));
        // The slider acts on the last of the three.
        Scroll(w, kStretchSlider, 1000);
        EXPECT_EQ(Rows(w)[2].stretch, "+1.000%");
        EXPECT_EQ(Rows(w)[0].stretch, " 0.000%");
    });
}

TEST_F(EventsEditorTest, the_stretch_slider_sets_the_stretch_its_text_and_its_sign_image) {
    struct Case {
        int units;
        float stretch;
        const char* text;
        int image;
    };
    const Case cases[] = {
        {2500, 2.5f, "+2.500%", 1},    {-2500, -2.5f, " -2.500%", 0},    {0, 0.0f, " 0.000%", 2},
        {50000, 50.0f, "+50.000%", 1}, {-50000, -50.0f, " -50.000%", 0}, {1, 0.001f, "+0.001%", 1},
    };
    Run([&](HWND w) {
        InsertAt(w, 0.0f);
        InsertAt(w, 3.0f);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.units);
            // Select the second row by a click, as the user does, then drag its stretch.
            ClickRow(w, 1);
            Scroll(w, kStretchSlider, c.units);
            EXPECT_FLOAT_EQ(window.m_current_event->m_tempo, c.stretch);
            EXPECT_EQ(Rows(w)[1].stretch, c.text);
            EXPECT_EQ(Rows(w)[1].image, c.image);
            EXPECT_EQ(Text(w, MainWindow::IDC_EVENT_STRETCH), c.text);
            // Selecting another event and coming back puts the slider where the stretch is.
            ClickRow(w, 0);
            EXPECT_EQ(SliderPos(w, kStretchSlider), 0);
            ClickRow(w, 1);
            EXPECT_EQ(SliderPos(w, kStretchSlider), c.units);
        }
    });
}

TEST_F(EventsEditorTest, moving_an_event_past_the_next_one_reorders_the_rows) {
    Run([&](HWND w) {
        SendDlgItemMessageA(w, kPositionSlider, TBM_SETRANGEMAX, FALSE, 20);
        InsertAt(w, 2.0f);
        Scroll(w, kStretchSlider, -3000);
        InsertAt(w, 5.0f);
        Scroll(w, kStretchSlider, 7000);
        InsertAt(w, 9.0f);
        ClickRow(w, 0);
        Scroll(w, kPositionSlider, 6);  // past 5 s, before 9 s
        std::vector<std::string> order;
        for (const Row& row : Rows(w))
            order.push_back(row.movie + row.stretch);
        EXPECT_EQ(order, (std::vector<std::string>{"00:00:5.000+7.000%", "00:00:6.000 -3.000%",
                                                   "00:00:9.000 0.000%"}));
        EXPECT_EQ(CurrentGroup(w), (Group{"00:00:6.000", " -3.000%", 6, -3000}));
        // The list stays linked both ways.
        for (StretchEvent* e = window.m_events; e && e->m_next; e = e->m_next)
            EXPECT_EQ(e->m_next->m_prev, e);
        EXPECT_EQ(window.m_events->m_prev, nullptr);
        // On to the same position as another event: it goes after it.
        Scroll(w, kPositionSlider, 9);
        EXPECT_EQ(Rows(w)[2].stretch, " -3.000%");
    });
}

TEST_F(EventsEditorTest, delete_removes_the_selected_event_alone_and_clears_the_group) {
    Run([&](HWND w) {
        InsertAt(w, 1.0f);
        InsertAt(w, 2.0f);
        Scroll(w, kStretchSlider, 1500);
        InsertAt(w, 3.0f);
        ClickRow(w, 1);
        EXPECT_EQ(CurrentGroup(w), (Group{"00:00:2.000", "+1.500%", 0, 1500}));
        Press(w, kDelete);
        EXPECT_EQ(CurrentGroup(w), kNoEvent);
        EXPECT_EQ(window.m_current_event, nullptr);
        const std::vector<Row> rows = Rows(w);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].movie, "00:00:1.000");
        EXPECT_EQ(rows[1].movie, "00:00:3.000");
        Press(w, kDelete);  // nothing selected now
        EXPECT_EQ(Rows(w).size(), 2u);
    });
}

TEST_F(EventsEditorTest, a_click_selects_an_event_and_the_keyboard_does_not) {
    Run([&](HWND w) {
        InsertAt(w, 1.0f);
        InsertAt(w, 2.0f);
        ClickRow(w, 0);
        EXPECT_EQ(Text(w, MainWindow::IDC_EVENT_POSITION), "00:00:1.000");
        auto* table = static_cast<QTableWidget*>(WidgetOf(GetDlgItem(w, MainWindow::IDC_EVENTS)));
        table->setFocus();
        TapKey(table, Qt::Key_Down);
        EXPECT_EQ(Text(w, MainWindow::IDC_EVENT_POSITION), "00:00:1.000");
        EXPECT_EQ(window.m_current_event, window.m_events);
    });
}

TEST_F(EventsEditorTest, an_offset_change_moves_every_audio_pos_and_no_movie_pos) {
    Run([&](HWND w) {
        LoadWav(w, 6.0);
        ASSERT_NE(CurrentStream(), nullptr);
        InsertAt(w, 1.0f);
        Scroll(w, kStretchSlider, 10000);  // +10 %: audio runs 1.1 s per movie second
        InsertAt(w, 3.0f);
        const std::vector<Row> before = Rows(w);
        ASSERT_EQ(before.size(), 2u);
        EXPECT_EQ(before[0].audio, "00:00:1.000");
        EXPECT_EQ(before[1].audio, "00:00:3.200");

        SetDlgItemTextA(w, MainWindow::IDC_INITIAL_OFFSET, "-0.5");
        const std::vector<Row> after = Rows(w);
        ASSERT_EQ(after.size(), 2u);
        for (size_t i = 0; i < after.size(); ++i) {
            EXPECT_EQ(after[i].movie, before[i].movie);
            EXPECT_NE(after[i].audio, before[i].audio);
        }
        EXPECT_EQ(after[0].audio, "00:00:1.500");
        EXPECT_EQ(after[1].audio, "00:00:3.700");
    });
}

// Insert, the sliders and Delete while the stretched chain plays: each change and the map
// rebuilt from it happen under the lock the read queue's worker reads under.
TEST_F(EventsEditorTest, edits_while_the_graph_plays_reach_the_playing_stream) {
    Run([&](HWND w) {
        LoadMovie(w, 12.0);
        LoadWav(w, 12.0);
        Press(w, MainWindow::IDC_PLAY);
        ASSERT_TRUE(window.m_playing);
        const auto position = [] {
            uint32_t at = 0;
            StreamAdapter::EditCurrentStream([&](StretchedWaveStream* stream) {
                if (stream) at = stream->GetPosition();
            });
            return at;
        };
        const uint32_t started = position();
        // Edits go on until the worker has read the stream meanwhile (the parser reads as
        // the device plays), for a few seconds at most.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        size_t events = 0;
        for (int round = 0;
             round < 40 || (position() == started && std::chrono::steady_clock::now() < deadline);
             ++round) {
            InsertAt(w, static_cast<float>(round % 7));
            ++events;
            Scroll(w, kStretchSlider, (round % 2 ? 1 : -1) * 1000 * (round % 30));
            Scroll(w, kPositionSlider, (round * 3) % 11);
            if (round % 3 == 0) {
                Press(w, kDelete);
                --events;
            }
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_GT(position(), started) << "the stream was not read while it was edited";
        EXPECT_EQ(Rows(w).size(), events);
        float last = -1;
        for (StretchEvent* e = window.m_events; e; e = e->m_next) {
            EXPECT_GE(e->m_movie_pos, last);
            last = e->m_movie_pos;
        }
        Press(w, MainWindow::IDC_STOP);
    });
    EXPECT_TRUE(prompt.Messages().empty());
}

}  // namespace
