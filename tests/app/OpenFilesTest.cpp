// Files given to the main window: named on the command line (opened once the window is up)
// and dropped on it, told apart by their content, loaded as the choosers and "Load ..." do.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

#include "app/AppResources.h"
#include "app/FileKind.h"
#include "engine/StretchedWaveStream.h"
#include "tests/app/WindowDriver.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/RecordingUserPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace window_driver;

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class OpenFilesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterAppResources());
        wav = dir.File("sound.wav");
        WavFileBuilder()
            .Channels(1)
            .Rate(22050)
            .Samples(TestSignal(22050 * 3, 1, 22050))
            .Write(wav);
        MovieRecipe recipe = MovieRecipe::Mpeg();
        recipe.frames = 25;
        movie = dir.File("movie with no extension");
        std::string error;
        ASSERT_TRUE(MovieFileMaker::Make(movie, recipe, &error)) << error;
    }

    void Run(const std::function<void(HWND)>& action) {
        RunWindow(window, [&] {
            action(window.GetSafeHwnd());
            window.EndDialog(IDCANCEL);
        });
        EXPECT_FALSE(watchdog.Fired());
    }

    TempDir dir;
    std::string wav;
    std::string movie;
    RecordingUserPrompt prompt;
    ModalWatchdog watchdog{60000};
    MainWindow window;
};

TEST_F(OpenFilesTest, files_are_told_apart_by_content_not_name) {
    const std::string project = dir.File("project.wav");  // a project, whatever its name
    WriteText(project, "a.mpg\r\nb.wav\r\n\r\n0.000000\r\n");
    const std::string empty = dir.File("empty.tkv");
    WriteText(empty, "");
    struct Case {
        std::string path;
        FileKind kind;
    };
    const std::vector<Case> cases = {
        {wav, FileKind::Wave},
        {movie, FileKind::Movie},
        {project, FileKind::Project},
        {empty, FileKind::Project},
        {dir.File("gone"), FileKind::Unreadable},
        {dir.Path().string(), FileKind::Unreadable},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IdentifyFile(c.path), c.kind) << c.path;
}

TEST_F(OpenFilesTest, a_project_named_at_start_loads_once_the_window_is_up) {
    const std::string project = dir.File("p.tkv");
    WriteText(project, "\n" + wav + "\n\n0.500000\n2.500000\n1.000000\n");
    window.OpenOnStart({project});
    Run([&](HWND w) {
        EXPECT_TRUE(SpinUntil([&] { return !Rows(w).empty(); }, 10000));
        EXPECT_EQ(window.m_audio_path, wav);
        EXPECT_EQ(Text(w, MainWindow::IDC_INITIAL_OFFSET), "0.500000");
        ASSERT_EQ(Rows(w).size(), 1u);
        EXPECT_EQ(Rows(w)[0].stretch, "+2.500%");
        EXPECT_NE(CurrentStream(), nullptr);
    });
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(OpenFilesTest, a_movie_and_a_wav_named_at_start_load_as_the_choosers_would) {
    window.OpenOnStart({wav, movie});  // in either order
    Run([&](HWND w) {
        EXPECT_TRUE(SpinUntil([&] { return CurrentStream() != nullptr; }, 10000));
        EXPECT_EQ(Text(w, MainWindow::IDC_VIDEO_PATH), movie);
        EXPECT_EQ(Text(w, MainWindow::IDC_AUDIO_PATH), wav);
        EXPECT_GT(window.m_framerate, 0.0f);
        EXPECT_NE(window.Filters().FindItemByName("Video Renderer"), nullptr);
        EXPECT_NE(window.Filters().FindItemByName("Tarvik Time Stretcher"), nullptr);
    });
    EXPECT_TRUE(prompt.Messages().empty());
    EXPECT_TRUE(prompt.FileRequests().empty());
}

TEST_F(OpenFilesTest, dropped_files_open_and_a_missing_one_is_reported) {
    const std::string missing = dir.File("missing.wav");
    Run([&](HWND w) {
        QWidget* target = WidgetOf(w);
        ASSERT_TRUE(target->acceptDrops());
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(wav)),
                      QUrl::fromLocalFile(QString::fromStdString(missing))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_EQ(Text(w, MainWindow::IDC_AUDIO_PATH), wav);
        EXPECT_NE(CurrentStream(), nullptr);

        // A drag of something that is no local file is refused.
        QMimeData web;
        web.setUrls({QUrl("https://example.org/a.wav")});
        QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &refused);
        EXPECT_FALSE(refused.isAccepted());
    });
    const auto messages = prompt.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find(missing), std::string::npos);
    EXPECT_NE(messages[0].text.find("No such file"), std::string::npos);
}

}  // namespace
