// The main window's playback driven through its controls: choosers, the chains they build in
// the graph, transport, the end of the movie, Render, the Initial Offset box, the position
// display and the slider.
#include <cstring>
#include <filesystem>

#include "app/TimeFormat.h"
#include "catalogue/FilterCatalogue.h"
#include "engine/StretchedWaveStream.h"
#include "tests/app/PlaybackFixture.h"
#include "grapheditor/FilterItemFactory.h"
#include "tests/platform/ui/InputEvents.h"
#include "tests/platform/ui/ScriptedDialog.h"

#include <QSlider>

namespace {

constexpr const char* kStretcher = "Tarvik Time Stretcher";
constexpr const char* kParser = "Wave Parser";
constexpr const char* kSound = "Default DirectSound Device";
constexpr const char* kNull = "Null Renderer";

using PlaybackTest = PlaybackFixture;

TEST(TimeFormatTest, hours_minutes_and_seconds_without_a_leading_zero) {
    EXPECT_EQ(FormatTime(75.25f), "00:01:15.250");
    EXPECT_EQ(FormatTime(5.5f), "00:00:5.500");
    EXPECT_EQ(FormatTime(0.0f), "00:00:0.000");
    EXPECT_EQ(FormatTime(3725.0f), "01:02:5.000");
    EXPECT_EQ(FormatTime(1e30f).substr(0, 10), "2147483647");  // saturates, no overflow
}

TEST_F(PlaybackTest, wav_before_any_movie_builds_the_chain_and_an_unconnected_null_renderer) {
    const std::string wav = Wav("a.wav", 1.0);
    Run([&] {
        ChooseWav(wav);
        EXPECT_EQ(Text(MainWindow::IDC_AUDIO_PATH), wav);
        EXPECT_TRUE(Feeds(Row(kStretcher), Row(kParser)));
        EXPECT_TRUE(Feeds(Row(kParser), Row(kSound)));
        EXPECT_EQ(FedBy(Row(kNull)), "");
        EXPECT_EQ(window.Filters().GetItemCount(), 4);
        ASSERT_NE(CurrentStream(), nullptr);
        EXPECT_FALSE(window.m_playing);  // played, then paused
        EXPECT_TRUE(window.m_timer_running);
        // The unconnected Null Renderer ends at once; the WAV keeps playing all the same.
        SendDlgItemMessageA(window.GetSafeHwnd(), MainWindow::IDC_PLAY, BM_CLICK, 0, 0);
        EXPECT_TRUE(window.m_playing);
        EXPECT_FALSE(SpinUntil([&] { return !window.m_playing; }, 400));
    });
    ASSERT_EQ(prompt.FileRequests().size(), 1u);
    const FileFilterList filter = prompt.FileRequests()[0].filter;
    ASSERT_EQ(filter.size(), 1u);
    EXPECT_EQ(filter[0].label, "Uncompressed  WAV (*.wav)");
    EXPECT_EQ(filter[0].pattern, "*.wav");
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(PlaybackTest, wav_after_a_movie_moves_the_movie_sound_to_the_null_renderer) {
    const std::string movie = Movie("m.mpg", MovieRecipe::Mpeg());
    const std::string wav = Wav("a.wav", 1.0);
    Run([&] {
        ChooseMovie(movie);
        const std::string movie_sound = FedBy(Row(kSound));
        ASSERT_FALSE(movie_sound.empty());
        EXPECT_EQ(Text(MainWindow::IDC_FRAMERATE), "25");
        EXPECT_EQ(Text(MainWindow::IDC_DURATION), "00:00:1.000");
        ChooseWav(wav);
        EXPECT_EQ(FedBy(Row(kNull)), movie_sound);
        EXPECT_TRUE(Feeds(Row(kParser), Row(kSound)));
        EXPECT_EQ(CountRows("DirectSound"), 1);
        EXPECT_FALSE(FedBy(Row("Video Renderer")).empty());
    });
    ASSERT_GE(prompt.FileRequests().size(), 1u);
    const FileFilterList filter = prompt.FileRequests()[0].filter;
    ASSERT_EQ(filter.size(), 3u);
    EXPECT_EQ(filter[0].label, "Mpeg (*.mpg)");
    EXPECT_EQ(filter[1].label, "AVI (*.avi)");
    EXPECT_EQ(filter[2].label, "All Files (*.*)");
    EXPECT_EQ(filter[2].pattern, "*.*");
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(PlaybackTest, movie_sound_on_another_renderer_keeps_it_and_gets_a_new_directsound) {
    const std::string movie = Movie("m.mpg", MovieRecipe::Mpeg());
    const std::string wav = Wav("a.wav", 1.0);
    Run([&] {
        ChooseMovie(movie);
        FilterListView& list = window.Filters();
        // The user moves the movie's sound to a renderer without "DirectSound" in its name.
        FilterItem* device = Row(kSound);
        const std::string movie_sound = FedBy(device);
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if (reinterpret_cast<FilterItem*>(list.GetItemData(row)) == device) {
                ASSERT_TRUE(list.RemoveItem(row, device));
                break;
            }
        }
        ASSERT_EQ(Row(kSound), nullptr);
        CatalogueEntry* entry = list.Catalogue()->FindByFriendlyName(kNull);
        auto other = CreateFilterItem(entry);
        ASSERT_TRUE(other && list.AddItem(other.get()));
        FilterItem* other_renderer = other.release();
        list.Graph().ConnectPins(list.FindPinByLabel(movie_sound.c_str()),
                                 other_renderer->InputPin(0), nullptr);
        list.UpdateFiltersState();
        ASSERT_EQ(FedBy(other_renderer), movie_sound);

        ChooseWav(wav);
        EXPECT_EQ(FedBy(other_renderer), movie_sound);
        EXPECT_TRUE(Feeds(Row(kParser), Row(kSound)));
    });
}

TEST_F(PlaybackTest, second_wav_reuses_the_chain_and_a_new_movie_drops_it) {
    const std::string movie = Movie("m.mpg", MovieRecipe::Mpeg());
    const std::string first = Wav("a.wav", 1.0, 44100);
    const std::string second = Wav("b.wav", 1.0, 22050);
    Run([&] {
        ChooseMovie(movie);
        ChooseWav(first);
        FilterItem* source = Row(kStretcher);
        const int rows = window.Filters().GetItemCount();
        ASSERT_NE(CurrentStream(), nullptr);
        EXPECT_EQ(CurrentStream()->GetSampleRate(), 44100u);
        ChooseWav(second);
        EXPECT_EQ(Row(kStretcher), source);
        EXPECT_EQ(window.Filters().GetItemCount(), rows);
        EXPECT_TRUE(Feeds(Row(kStretcher), Row(kParser)));
        EXPECT_TRUE(Feeds(Row(kParser), Row(kSound)));
        ASSERT_NE(CurrentStream(), nullptr);
        EXPECT_EQ(CurrentStream()->GetSampleRate(), 22050u);

        ChooseMovie(movie);
        EXPECT_EQ(Row(kStretcher), nullptr);
        EXPECT_EQ(Row(kParser), nullptr);
        EXPECT_EQ(Text(MainWindow::IDC_AUDIO_PATH), second);
    });
    EXPECT_TRUE(prompt.Messages().empty());
}

// A parser or renderer the user removed in the graph editor is made again by the next WAV.
TEST_F(PlaybackTest, removed_parser_or_renderer_is_rebuilt_by_the_next_wav) {
    const std::string wav = Wav("a.wav", 0.5);
    for (const std::vector<const char*>& removed :
         std::vector<std::vector<const char*>>{{kParser}, {kSound}, {kParser, kSound}}) {
        SCOPED_TRACE(removed.size() == 2 ? "both" : removed[0]);
        MainWindow local;
        SetCurrentEventList(&local.m_events);
        WhenModal(
            [&](QWidget*) {
                FilterListView& list = local.Filters();
                prompt.AddFileAnswer(wav);
                SendDlgItemMessageA(local.GetSafeHwnd(), MainWindow::IDC_CHOOSE_AUDIO, BM_CLICK, 0,
                                    0);
                for (const char* name : removed) {
                    FilterItem* item = list.FindItemByName(name);
                    for (int row = 0; row < list.GetItemCount(); ++row) {
                        if (reinterpret_cast<FilterItem*>(list.GetItemData(row)) == item) {
                            EXPECT_TRUE(list.RemoveItem(row, item));
                        }
                    }
                }
                prompt.AddFileAnswer(wav);
                SendDlgItemMessageA(local.GetSafeHwnd(), MainWindow::IDC_CHOOSE_AUDIO, BM_CLICK, 0,
                                    0);
                FilterItem* parser = list.FindItemByName(kParser);
                FilterItem* sound = list.FindItemByName(kSound);
                ASSERT_TRUE(parser && sound);
                EXPECT_TRUE(Feeds(list.FindItemByName(kStretcher), parser));
                EXPECT_TRUE(Feeds(parser, sound));
                EXPECT_EQ(list.GetItemCount(), 4);
                local.EndDialog(IDCANCEL);
            },
            [] { return ModalTitled("Tarvik Time Stretcher v1.0"); });
        local.DoModal();
    }
    SetCurrentEventList(&window.m_events);
    EXPECT_TRUE(prompt.Messages().empty());
}

// A stock filter missing from the catalogue, or listed but not creatable: one message naming
// it and nothing added.
TEST_F(PlaybackTest, missing_or_broken_stock_filter_stops_with_its_name_and_adds_nothing) {
    const std::string wav = Wav("a.wav", 0.5);
    struct Case {
        const char* filter;
        bool rename;  // else its class is made unknown
    };
    for (const Case c :
         {Case{kNull, true}, Case{kParser, true}, Case{kSound, false}, Case{kStretcher, false}}) {
        SCOPED_TRACE(c.filter);
        RecordingUserPrompt local_prompt;
        MainWindow local;
        SetCurrentEventList(&local.m_events);
        WhenModal(
            [&](QWidget*) {
                CatalogueEntry* entry = local.Filters().Catalogue()->FindByFriendlyName(c.filter);
                ASSERT_NE(entry, nullptr);
                if (c.rename) {
                    entry->friendlyName[0] = '#';
                } else {
                    std::memcpy(entry->clsid + 1, "00000000", 8);
                }
                local_prompt.AddFileAnswer(wav);
                SendDlgItemMessageA(local.GetSafeHwnd(), MainWindow::IDC_CHOOSE_AUDIO, BM_CLICK, 0,
                                    0);
                EXPECT_EQ(local.Filters().GetItemCount(), 0);
                local.EndDialog(IDCANCEL);
            },
            [] { return ModalTitled("Tarvik Time Stretcher v1.0"); });
        local.DoModal();
        ASSERT_EQ(local_prompt.Messages().size(), 1u);
        EXPECT_NE(local_prompt.Messages()[0].text.find(std::string("\"") + c.filter + "\""),
                  std::string::npos)
            << local_prompt.Messages()[0].text;
    }
    SetCurrentEventList(&window.m_events);
}

TEST_F(PlaybackTest, frame_rate_shown_cut_and_asked_for_when_the_movie_reports_none) {
    MovieRecipe ntsc = MovieRecipe::Mpeg();
    ntsc.rate_num = 30000;
    ntsc.rate_den = 1001;
    MovieRecipe sound_only = MovieRecipe::Mpeg();
    sound_only.video = AV_CODEC_ID_NONE;
    const std::string ntsc_path = Movie("ntsc.mpg", ntsc);
    const std::string sound_path = Movie("sound.mpg", sound_only);
    bool asked = false;
    Run([&] {
        ChooseMovie(ntsc_path);
        EXPECT_EQ(Text(MainWindow::IDC_FRAMERATE), "29");
        WhenModal(
            [&](QWidget*) {
                asked = true;
                QWidget* modal = QApplication::activeModalWidget();
                TapKey(modal, Qt::Key_Escape);
            },
            [] { return ModalTitled("Framerate Selector"); });
        ChooseMovie(sound_path);
        EXPECT_EQ(Text(MainWindow::IDC_FRAMERATE), "25");  // Escape: the fallback
        EXPECT_EQ(window.m_framerate, 25.0f);
    });
    EXPECT_TRUE(asked);
}

TEST_F(PlaybackTest, end_of_the_movie_stops_rewinds_and_stops_the_timer) {
    MovieRecipe recipe = MovieRecipe::Mpeg();
    recipe.frames = 10;  // 0.4 s
    const std::string movie = Movie("m.mpg", recipe);
    Run([&] {
        ChooseMovie(movie);
        Click(MainWindow::IDC_PLAY);
        EXPECT_TRUE(window.m_playing);
        EXPECT_TRUE(SpinUntil([&] { return !window.m_playing; }, 10000));
        EXPECT_FALSE(window.m_timer_running);
        LONGLONG position = -1;
        window.Filters().Graph().MediaSeeking()->GetCurrentPosition(&position);
        EXPECT_EQ(position, 0);
    });
}

TEST_F(PlaybackTest, render_does_nothing_unloaded_and_reports_a_failure_keeping_the_old_file) {
    const std::string wav = Wav("a.wav", 0.5);
    const std::string output = dir.File("out.wav");
    Run([&] {
        prompt.AddFileAnswer(output);
        Click(MainWindow::IDC_CHOOSE_OUTPUT);
        EXPECT_EQ(Text(MainWindow::IDC_OUTPUT_PATH), output);
        Click(MainWindow::IDC_RENDER);  // nothing loaded
        EXPECT_FALSE(std::filesystem::exists(output));

        ChooseWav(wav);
        Click(MainWindow::IDC_RENDER);
        ASSERT_TRUE(std::filesystem::exists(output));
        const std::vector<uint8_t> rendered = ReadFileBytes(output);
        EXPECT_GT(rendered.size(), 44u);

        // The WAV vanishes: the export cannot read it and says so; the old file stays.
        std::filesystem::remove(wav);
        Click(MainWindow::IDC_RENDER);
        EXPECT_EQ(ReadFileBytes(output), rendered);
    });
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_FALSE(prompt.Messages()[0].text.empty());
    EXPECT_NE(prompt.Messages()[0].text.find("a.wav"), std::string::npos)
        << prompt.Messages()[0].text;
}

TEST_F(PlaybackTest, initial_offset_box_is_read_leniently_on_every_change) {
    Run([&] {
        const HWND box = GetDlgItem(window.GetSafeHwnd(), MainWindow::IDC_INITIAL_OFFSET);
        for (const auto& [text, offset] : std::vector<std::pair<const char*, float>>{
                 {"1.5", 1.5f}, {"abc", 0.0f}, {"-1 s", -1.0f}, {"", 0.0f}}) {
            SetWindowTextA(box, text);
            EXPECT_EQ(window.m_offset_text, text);
            EXPECT_EQ(window.m_initial_offset, offset) << text;
        }
    });
}

TEST_F(PlaybackTest, timer_shows_position_and_frame_cut_toward_zero) {
    MovieRecipe recipe = MovieRecipe::Mpeg();
    recipe.frames = 75;  // 3 s at 25 fps
    const std::string movie = Movie("m.mpg", recipe);
    Run([&] {
        ChooseMovie(movie);
        IMediaSeeking* seeking = window.Filters().Graph().MediaSeeking();
        for (const auto& [at, frame, shown, slider] :
             std::vector<std::tuple<LONGLONG, const char*, const char*, int>>{
                 {19'990'000, "49", "00:00:1.999", 1}, {20'000'000, "50", "00:00:2.000", 2}}) {
            LONGLONG position = at;
            ASSERT_TRUE(SUCCEEDED(seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning,
                                                        nullptr, AM_SEEKING_NoPositioning)));
            SendMessageA(window.GetSafeHwnd(), WM_TIMER, 1, 0);
            EXPECT_EQ(Text(MainWindow::IDC_FRAME), frame);
            EXPECT_EQ(Text(MainWindow::IDC_POSITION), shown);
            EXPECT_EQ(SendDlgItemMessageA(window.GetSafeHwnd(), MainWindow::IDC_POSITION_SLIDER,
                                          TBM_GETPOS, 0, 0),
                      slider);
        }
    });
}

TEST_F(PlaybackTest, dragging_the_thumb_previews_and_seeks_once_released) {
    MovieRecipe recipe = MovieRecipe::Mpeg();
    recipe.frames = 250;  // 10 s at 25 fps
    recipe.width = 32;
    recipe.height = 32;
    const std::string movie = Movie("m.mpg", recipe);
    Run([&] {
        ChooseMovie(movie);
        const HWND self = window.GetSafeHwnd();
        auto* slider =
            static_cast<QSlider*>(WidgetOf(GetDlgItem(self, MainWindow::IDC_POSITION_SLIDER)));
        ASSERT_EQ(slider->maximum(), 10);
        IMediaSeeking* seeking = window.Filters().Graph().MediaSeeking();
        const auto position = [&] {
            LONGLONG now = -1;
            seeking->GetCurrentPosition(&now);
            return now;
        };
        SendMessageA(self, WM_TIMER, 1, 0);
        SendMouse(slider, QEvent::MouseButtonPress, SliderPoint(slider, 0));
        SendMouse(slider, QEvent::MouseMove, SliderPoint(slider, 3));
        SendMouse(slider, QEvent::MouseMove, SliderPoint(slider, 6));
        EXPECT_EQ(Text(MainWindow::IDC_POSITION), "00:00:6.000");
        EXPECT_EQ(Text(MainWindow::IDC_FRAME), "150");
        SendMessageA(self, WM_TIMER, 1, 0);  // the timer leaves the thumb and boxes alone
        EXPECT_EQ(Text(MainWindow::IDC_FRAME), "150");
        EXPECT_EQ(slider->value(), 6);
        EXPECT_EQ(position(), 0);
        SendMouse(slider, QEvent::MouseButtonRelease, SliderPoint(slider, 6));
        EXPECT_EQ(position(), 60'000'000);

        // A press in the channel pages toward it; the graph follows on release.
        SendMouse(slider, QEvent::MouseButtonPress, SliderPoint(slider, 10));
        SendMouse(slider, QEvent::MouseButtonRelease, SliderPoint(slider, 10));
        EXPECT_EQ(slider->value(), 10);
        EXPECT_EQ(position(), 100'000'000);
        // Keys seek at once.
        TapKey(slider, Qt::Key_Left);
        EXPECT_EQ(position(), 90'000'000);
    });
}

}  // namespace
