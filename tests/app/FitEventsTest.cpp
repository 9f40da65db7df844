// The fit of the events through the main window: from the shortcut and the events list's menu,
// behind the loading dialog; the fitted offset and events reach the list, the box and the
// playing stream as one undo step; existing events go only when the user agrees; a refused fit,
// an early Escape or missing files change nothing.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/AppResources.h"
#include "engine/StreamAdapter.h"
#include "engine/StretchedWaveStream.h"
#include "tests/app/WindowDriver.h"
#include "tests/app/WindowFixture.h"
#include "tests/engine/fit/DubScenario.h"
#include "tests/engine/fit/ScenarioMovie.h"
#include "tests/support/RecordingMenuTracker.h"
#include "tests/support/RecordingUserPrompt.h"
#include "tests/support/TempDir.h"

namespace {

using namespace window_driver;

constexpr const char* kFitEntry = "Fit Events to the Movie's Sound...\tCtrl+F";

void RightClickList(HWND w) {
    auto* table = static_cast<QTableWidget*>(WidgetOf(GetDlgItem(w, MainWindow::IDC_EVENTS)));
    Click(table->viewport(), QPoint(5, table->viewport()->height() - 2), Qt::RightButton);
}

// The window's events and offset as a fit's result, to set against the scenario's truth.
FitResult WindowMap(const MainWindow& window) {
    FitResult map;
    map.offset = window.m_initial_offset;
    for (const StretchEvent* e = window.m_events; e; e = e->m_next)
        map.events.push_back({e->m_movie_pos, e->m_tempo});
    return map;
}

float StreamOffset() {
    float offset = -1000.0f;
    StreamAdapter::EditCurrentStream([&](StretchedWaveStream* stream) {
        if (stream) offset = stream->GetOffset();
    });
    return offset;
}

class FitEventsTest : public WindowFixture {
protected:
    // The scenario's movie (MJPEG with its sound as 16 kHz PCM in AVI) and its dub.
    void MakeFiles(DubScenario& scenario) {
        std::string error;
        ASSERT_TRUE(MakeScenarioFiles(scenario, dir.Path().string(), &movie, &wav, &error))
            << error;
    }

    void Load(HWND w, bool with_movie = true) {
        if (with_movie) {
            prompt.AddFileAnswer(movie);
            Press(w, MainWindow::IDC_CHOOSE_VIDEO);
        }
        prompt.AddFileAnswer(wav);
        Press(w, MainWindow::IDC_CHOOSE_AUDIO);
    }

    // One event made by hand: at 2 s, stretch 1.000 %.
    void InsertEvent(HWND w) {
        window.m_current_pos = 2.0f;
        Press(w, MainWindow::IDC_INSERT_EVENT);
        Scroll(w, MainWindow::IDC_EVENT_STRETCH_SLIDER, 1000);
    }

    std::string movie;
    std::string wav;
};

TEST_F(FitEventsTest, shortcut_puts_in_the_fitted_offset_and_events_as_one_undo_step) {
    DubScenario scenario;
    scenario.seconds = 30.0;
    scenario.offset = -0.75;
    scenario.events = {{0.0, (25.0 / 23.976 - 1.0) * 100.0}};
    MakeFiles(scenario);
    Run([&](HWND w) {
        Load(w);
        Key(w, Qt::Key_F, Qt::ControlModifier);
        EXPECT_TRUE(prompt.Messages().empty());  // no events to lose: nothing asked
        EXPECT_GE(scenario.ShareWithin(WindowMap(window), 0.020), 0.95);
        EXPECT_NEAR(window.m_initial_offset, 0.75, 0.02);
        EXPECT_EQ(Text(w, MainWindow::IDC_INITIAL_OFFSET), window.m_offset_text);
        EXPECT_FLOAT_EQ(StreamOffset(), window.m_initial_offset);
        // One event slows the sped-up dub back to the film's speed; the list shows its sign.
        ASSERT_EQ(Rows(w).size(), 1u);
        EXPECT_NEAR(window.m_events->m_tempo, (23.976 / 25.0 - 1.0) * 100.0, 0.01);
        EXPECT_EQ(Rows(w)[0].image, 0);

        Key(w, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(window.m_events, nullptr);
        EXPECT_EQ(window.m_initial_offset, 0.0f);
        EXPECT_EQ(Text(w, MainWindow::IDC_INITIAL_OFFSET), "");
        EXPECT_TRUE(Rows(w).empty());
        EXPECT_FALSE(window.History().CanUndo());
    });
}

TEST_F(FitEventsTest, list_menu_asks_before_replacing_events_and_no_keeps_them) {
    DubScenario scenario;
    scenario.seconds = 30.0;
    scenario.offset = 1.5;
    scenario.events = {{8.0, 4.0}, {15.0, -3.0}, {22.0, 2.0}};
    MakeFiles(scenario);
    RecordingMenuTracker menus;
    Run([&](HWND w) {
        Load(w);
        InsertEvent(w);
        const std::vector<Row> by_hand = Rows(w);
        ASSERT_EQ(by_hand.size(), 1u);

        menus.ChooseId(MainWindow::IDM_FIT_EVENTS);
        prompt.SetAnswer(IDNO);
        RightClickList(w);
        ASSERT_EQ(menus.Menus().size(), 1u);
        const MenuEntries entries = menus.Menus()[0].entries;
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].text, kFitEntry);
        EXPECT_TRUE(entries[0].IsEnabled());
        ASSERT_EQ(prompt.Messages().size(), 1u);
        const RecordingUserPrompt::Message asked = prompt.Messages()[0];
        EXPECT_EQ(asked.type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        EXPECT_EQ(asked.text.rfind("Replace the 1 event and the initial offset with the fitted "
                                   "ones (",
                                   0),
                  0u)
            << asked.text;
        EXPECT_EQ(Rows(w), by_hand);
        EXPECT_EQ(window.m_initial_offset, 0.0f);

        menus.ChooseId(MainWindow::IDM_FIT_EVENTS);
        prompt.SetAnswer(IDYES);
        RightClickList(w);
        EXPECT_EQ(prompt.Messages().size(), 2u);
        EXPECT_GE(scenario.ShareWithin(WindowMap(window), 0.020), 0.95);
        EXPECT_NE(Rows(w), by_hand);
        EXPECT_FLOAT_EQ(StreamOffset(), window.m_initial_offset);
        EXPECT_EQ(window.m_current_event, nullptr);
        Key(w, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Rows(w), by_hand);
    });
}

TEST_F(FitEventsTest, unrelated_sounds_are_refused_with_the_reason_and_change_nothing) {
    DubScenario scenario;
    scenario.seconds = 30.0;
    scenario.unrelated = true;
    MakeFiles(scenario);
    Run([&](HWND w) {
        Load(w);
        InsertEvent(w);
        const std::vector<Row> by_hand = Rows(w);
        Key(w, Qt::Key_F, Qt::ControlModifier);
        ASSERT_EQ(prompt.Messages().size(), 1u);
        EXPECT_EQ(prompt.Messages()[0].text.rfind(
                      "The events cannot be fitted: the two sounds share nothing recognisable", 0),
                  0u)
            << prompt.Messages()[0].text;
        EXPECT_EQ(prompt.Messages()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
        EXPECT_EQ(Rows(w), by_hand);
        EXPECT_EQ(window.m_initial_offset, 0.0f);
    });
}

TEST_F(FitEventsTest, escape_on_the_progress_stops_the_fit_and_changes_nothing) {
    DubScenario scenario;
    scenario.seconds = 30.0;
    scenario.offset = 1.5;  // a fit would change the offset
    MakeFiles(scenario);
    Run([&](HWND w) {
        Load(w);
        bool escaped = false;
        WhenModal(
            [&](QWidget* dialog) {
                TapKey(dialog, Qt::Key_Escape);
                escaped = true;
            },
            [] { return ModalTitled("Fitting Events"); });
        Key(w, Qt::Key_F, Qt::ControlModifier);
        EXPECT_TRUE(escaped);
        EXPECT_TRUE(prompt.Messages().empty());
        EXPECT_EQ(window.m_events, nullptr);
        EXPECT_EQ(window.m_initial_offset, 0.0f);
        EXPECT_FALSE(window.History().CanUndo());
    });
}

TEST_F(FitEventsTest, without_a_movie_and_a_wav_it_says_so_and_runs_nothing) {
    DubScenario scenario;
    scenario.seconds = 12.0;
    std::string error;
    ASSERT_TRUE(scenario.Make(dir.Path().string(), &error)) << error;
    wav = scenario.dub_path;
    Run([&](HWND w) {
        for (bool load_wav : {false, true}) {
            if (load_wav) Load(w, false);
            Key(w, Qt::Key_F, Qt::ControlModifier);
            const auto messages = prompt.Messages();
            ASSERT_FALSE(messages.empty());
            EXPECT_EQ(messages.back().text.rfind("Load a movie and a WAV first", 0), 0u)
                << messages.back().text;
            EXPECT_EQ(messages.size(), load_wav ? 2u : 1u);
        }
        EXPECT_EQ(window.m_events, nullptr);
    });
}

}  // namespace
