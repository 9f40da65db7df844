// "Save ..." and "Load ..." in the main window: the chooser's filter, the file written, the
// box that follows, a failed save that keeps the previous project, and the lists loaded from
// hand-made files (out of order, equal positions, odd lines, LF only, blank lines, short
// headers).
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/AppResources.h"
#include "platform/ui/MessageBox.h"
#include "tests/app/WindowDriver.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/RecordingUserPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace window_driver;

class ProjectCommandsTest : public WindowFixture {
protected:
    ProjectCommandsTest() : WindowFixture(30000) {}

    std::string WriteFile(const std::string& name, const std::string& content) {
        const std::string path = dir.File(name);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
        return path;
    }
    static std::string FileText(const std::string& path) {
        const std::vector<uint8_t> bytes = ReadFileBytes(path);
        return std::string(bytes.begin(), bytes.end());
    }

    void Save(HWND w, const std::string& path) {
        prompt.AddFileAnswer(path);
        Press(w, MainWindow::IDC_SAVE_PROJECT);
    }
    void Load(HWND w, const std::string& path) {
        prompt.AddFileAnswer(path);
        Press(w, MainWindow::IDC_LOAD_PROJECT);
    }
};

TEST_F(ProjectCommandsTest, save_with_no_events_writes_four_lines_to_the_name_as_chosen) {
    HWND owner = nullptr;
    Run([&](HWND w) {
        owner = w;
        Save(w, dir.File("plain"));
        prompt.AddFileAnswer(std::nullopt);  // the user cancels: nothing written, nothing said
        Press(w, MainWindow::IDC_SAVE_PROJECT);
    });
    EXPECT_EQ(FileText(dir.File("plain")), "\r\n\r\n\r\n0.000000\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("plain.tkv")));
    ASSERT_EQ(prompt.FileRequests().size(), 2u);
    const RecordingUserPrompt::FileRequest request = prompt.FileRequests()[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.owner, owner);
    ASSERT_EQ(request.filter.size(), 1u);
    EXPECT_EQ(request.filter[0].label, "TKV Project (*.tkv)");
    EXPECT_EQ(request.filter[0].pattern, "*.tkv");
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0].text, "Project saved.");
    EXPECT_EQ(prompt.Messages()[0].caption, "Save Event List");
    EXPECT_EQ(prompt.Messages()[0].type & MB_TYPEMASK, MB_OK);
    EXPECT_EQ(prompt.Messages()[0].owner, owner);  // owned by the main window
    EXPECT_EQ(std::filesystem::directory_iterator(dir.Path())->path().filename(), "plain")
        << "a temporary file was left behind";
}

TEST_F(ProjectCommandsTest, save_writes_the_window_values_and_the_events_in_list_order) {
    Run([&](HWND w) {
        window.m_current_pos = 12.5f;
        Press(w, MainWindow::IDC_INSERT_EVENT);
        Scroll(w, MainWindow::IDC_EVENT_STRETCH_SLIDER, 3250);
        window.m_current_pos = 2.0f;
        Press(w, MainWindow::IDC_INSERT_EVENT);
        Scroll(w, MainWindow::IDC_EVENT_STRETCH_SLIDER, -500);
        // Typed into the boxes; the offset's change takes them into the window.
        SetDlgItemTextA(w, MainWindow::IDC_OUTPUT_PATH, "out put.wav");
        SetDlgItemTextA(w, MainWindow::IDC_INITIAL_OFFSET, "1.52");
        Save(w, dir.File("p.tkv"));
    });
    EXPECT_EQ(FileText(dir.File("p.tkv")),
              "\r\n\r\nout put.wav\r\n1.520000\r\n-0.500000\r\n2.000000\r\n3.250000\r\n"
              "12.500000\r\n");
}

// A full disk or a folder that went away: the user is told, and the project that was there
// stays whole.
TEST_F(ProjectCommandsTest, a_save_that_fails_says_so_and_keeps_the_previous_project) {
    const std::string previous = "a.mpg\r\nb.wav\r\nc.wav\r\n0.000000\r\n";
    const std::string path = WriteFile("keep.tkv", previous);
    Run([&](HWND w) {
        window.m_video_path = std::string(4000, 'v');  // longer than the file may grow
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit small = before;
        small.rlim_cur = 1024;
        const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        Save(w, path);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, old_handler);

        Save(w, dir.File("gone/p.tkv"));
    });
    EXPECT_EQ(FileText(path), previous);
    EXPECT_FALSE(std::filesystem::exists(dir.File("gone")));
    const auto messages = prompt.Messages();
    ASSERT_EQ(messages.size(), 2u);
    for (const auto& message : messages) {
        EXPECT_EQ(message.caption, "Save Event List");
        EXPECT_NE(message.text, "Project saved.");
        EXPECT_EQ(message.text.rfind("The project could not be saved to ", 0), 0u) << message.text;
    }
    EXPECT_NE(messages[0].text.find("File too large"), std::string::npos) << messages[0].text;
    EXPECT_NE(messages[1].text.find("No such file or directory"), std::string::npos);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1u) << "a temporary file was left behind";
}

TEST_F(ProjectCommandsTest, loaded_files_give_sorted_events_in_file_order_for_equal_positions) {
    struct Case {
        const char* what;
        std::string content;
        std::vector<std::string> rows;  // movie position and stretch of each row
        const char* offset_text;
    };
    const Case cases[] = {
        {"out of order and equal positions",
         "\r\n\r\n\r\n0.25\r\n1\r\n9\r\n2\r\n3\r\n3\r\n3\r\n4\r\n3\r\n-5\r\n0.5\r\n",
         {"00:00:0.500 -5.000%", "00:00:3.000+2.000%", "00:00:3.000+3.000%", "00:00:3.000+4.000%",
          "00:00:9.000+1.000%"},
         "0.250000"},
        {"odd line dropped, LF only",
         "\n\n\n-1.5\n3.25\n12.5\n7\n",
         {"00:00:12.500+3.250%"},
         "-1.500000"},
        {"blank trailing lines are events at 0",
         "\n\n\n0\n2\n4\n\n\n\n",
         {"00:00:0.000 0.000%", "00:00:4.000+2.000%"},
         "0.000000"},
        {"empty file", "", {}, "0.000000"},
        {"two header lines only", "\r\n\r\n", {}, "0.000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = WriteFile("load.tkv", c.content);
        MainWindow fresh;
        RunWindow(fresh, [&] {
            HWND w = fresh.GetSafeHwnd();
            prompt.AddFileAnswer(path);
            Press(w, MainWindow::IDC_LOAD_PROJECT);
            std::vector<std::string> rows;
            for (const Row& row : Rows(w))
                rows.push_back(row.movie + row.stretch);
            EXPECT_EQ(rows, c.rows);
            EXPECT_EQ(Text(w, MainWindow::IDC_INITIAL_OFFSET), c.offset_text);
            EXPECT_EQ(Text(w, MainWindow::IDC_VIDEO_PATH), "");
            EXPECT_EQ(Text(w, MainWindow::IDC_AUDIO_PATH), "");
            fresh.EndDialog(IDCANCEL);
        });
    }
    EXPECT_TRUE(prompt.Messages().empty());
    ASSERT_FALSE(prompt.FileRequests().empty());
    EXPECT_FALSE(prompt.FileRequests()[0].save);
    EXPECT_EQ(prompt.FileRequests()[0].filter[0].label, "TKV Project (*.tkv)");
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(ProjectCommandsTest, a_load_while_an_event_is_selected_leaves_none_selected) {
    const std::string path = WriteFile("two.tkv", "\n\n\n0\n1\n2\n-1\n4\n");
    Run([&](HWND w) {
        Press(w, MainWindow::IDC_INSERT_EVENT);
        Scroll(w, MainWindow::IDC_EVENT_STRETCH_SLIDER, 4000);
        ASSERT_NE(CurrentGroup(w).stretch, "");
        Load(w, path);
        EXPECT_EQ(window.m_current_event, nullptr);
        EXPECT_EQ(CurrentGroup(w), (Group{"", "", 0, 0}));
        EXPECT_EQ(Rows(w).size(), 2u);
        // A cancelled chooser, or a file that went away, changes nothing.
        Load(w, dir.File("missing.tkv"));
        prompt.AddFileAnswer(std::nullopt);
        Press(w, MainWindow::IDC_LOAD_PROJECT);
        EXPECT_EQ(Rows(w).size(), 2u);
        // Saved again, the file holds the loaded events.
        Save(w, dir.File("again.tkv"));
    });
    EXPECT_EQ(FileText(dir.File("again.tkv")),
              "\r\n\r\n\r\n0.000000\r\n1.000000\r\n2.000000\r\n-1.000000\r\n4.000000\r\n");
}

}  // namespace
