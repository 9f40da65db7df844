#include "app/RenderAudioFile.h"

#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/LoadingDialog.h"
#include "app/ProjectFile.h"
#include "engine/StretchEvent.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowObject.h"
#include "tests/support/RecordingUserPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"
#include "tools/render/RenderCommand.h"

namespace {

// Stands for the dialog's window: notes every percentage the export sends it.
class ProgressRecorder : public WindowObject {
public:
    ProgressRecorder() { Attach(nullptr, 0); }
    ~ProgressRecorder() override { Detach(); }
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM) override {
        if (message == WM_LOADING_PROGRESS) percents.push_back(static_cast<int>(wparam));
        return 0;
    }
    bool PostToOwnThread(std::function<void()>) override { return false; }
    std::vector<int> percents;
};

// A source, a project that names it, and the project's events as the process's list.
class RenderAudioFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        WavFileBuilder().Samples(TestSignal(44100 * 2, 2, 44100)).Write(dir.File("in.wav"));
        project.m_audio_path = dir.File("in.wav");
        project.m_output_path = dir.File("from-cli.wav");
        project.m_initial_offset = -0.3f;
        project.m_events = {{15.0f, 0.25f}, {-10.0f, 1.0f}};
        project.BuildEventList(&head);
        SetCurrentEventList(&head);
    }
    void TearDown() override {
        SetCurrentEventList(nullptr);
        delete head;
    }

    ExportRequest Request(const std::string& output) const {
        return {project.m_audio_path, output, project.m_initial_offset};
    }

    TempDir dir;
    ProjectFile project;
    StretchEvent* head = nullptr;
    RecordingUserPrompt prompt;
};

TEST_F(RenderAudioFileTest, the_dialog_export_and_the_renderer_give_the_same_file) {
    ASSERT_TRUE(ExportWithProgressDialog(Request(dir.File("from-dialog.wav")), nullptr));
    EXPECT_TRUE(prompt.Messages().empty());

    const std::string project_path = dir.File("p.tkv");
    ASSERT_TRUE(project.Save(project_path));
    std::string program = "tkv-render";
    std::string argument = project_path;
    char* argv[] = {program.data(), argument.data()};
    ASSERT_EQ(RunRenderCommand(2, argv, stdout, stderr), kRenderOk);

    const std::vector<uint8_t> from_dialog = ReadFileBytes(dir.File("from-dialog.wav"));
    EXPECT_GT(from_dialog.size(), 100000u);
    EXPECT_EQ(from_dialog, ReadFileBytes(dir.File("from-cli.wav")));
}

TEST_F(RenderAudioFileTest, a_failed_export_closes_the_dialog_and_says_why) {
    EXPECT_FALSE(ExportWithProgressDialog(Request(dir.File("missing/out.wav")), nullptr));
    const auto messages = prompt.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find("missing/out.wav"), std::string::npos) << messages[0].text;
    EXPECT_EQ(messages[0].caption, "");
    EXPECT_EQ(messages[0].type & MB_TYPEMASK, MB_OK);
    EXPECT_EQ(messages[0].owner, nullptr);  // the box has no owner, not even the dialog's parent
}

TEST_F(RenderAudioFileTest, the_work_reports_its_outcome_and_progress_ends_at_100) {
    RenderJob job;
    job.request = Request(dir.File("no-window.wav"));
    // Without a window the progress messages go nowhere, and the work still completes.
    EXPECT_EQ(RenderAudioFile(nullptr, &job), 0u);
    EXPECT_TRUE(job.succeeded);
    EXPECT_TRUE(job.error.empty());
    job.request.audio_path = dir.File("absent.wav");
    EXPECT_EQ(RenderAudioFile(nullptr, &job), 1u);
    EXPECT_FALSE(job.succeeded);
    EXPECT_NE(job.error.find("absent.wav"), std::string::npos);
}

TEST_F(RenderAudioFileTest, the_window_gets_rising_percentages_and_one_final_100) {
    ProgressRecorder window;
    RenderJob job;
    job.request = Request(dir.File("progress.wav"));
    ASSERT_EQ(RenderAudioFile(window.Handle(), &job), 0u);
    const std::vector<int>& got = window.percents;
    ASSERT_GE(got.size(), 3u);
    EXPECT_EQ(got.back(), 100);
    for (size_t i = 0; i + 1 < got.size(); ++i) {
        EXPECT_GE(got[i], 0) << "message " << i;
        EXPECT_LT(got[i], 100) << "message " << i << " of " << got.size();
        EXPECT_LE(got[i], got[i + 1]) << "message " << i;
    }
    EXPECT_GE(std::set<int>(got.begin(), got.end()).size(), 3u);  // progress moved on the way
}

TEST_F(RenderAudioFileTest, a_dialog_that_cannot_start_says_why_instead_of_an_empty_box) {
    // Off the user-interface thread the dialog cannot open, so the export never runs.
    bool rendered = true;
    std::thread([&] {
        rendered = ExportWithProgressDialog(Request(dir.File("x.wav")), nullptr);
    }).join();
    EXPECT_FALSE(rendered);
    const auto messages = prompt.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(
        messages[0].text.rfind("The audio file could not be rendered: the progress window", 0), 0u)
        << messages[0].text;
    EXPECT_EQ(messages[0].type & MB_ICONMASK, MB_ICONERROR);
}

}  // namespace
