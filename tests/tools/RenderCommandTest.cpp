#include "tools/render/RenderCommand.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ProjectFile.h"
#include "engine/AudioExport.h"
#include "engine/StretchEvent.h"
#include "tests/support/TempDir.h"
#include "tests/tools/RunCommand.h"
#include "tests/support/WavFileBuilder.h"

namespace {

class RenderCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        samples = TestSignal(44100 * 3, 2, 44100);
        WavFileBuilder().Samples(samples).Write(dir.File("voice.wav"));
        project.m_audio_path = "voice.wav";  // relative to the project's folder
        project.m_output_path = "out.wav";
        project.m_initial_offset = 0.25f;
        project.m_events = {{10.0f, 0.5f}, {-20.0f, 1.5f}, {5.0f, 2.0f}};
        project_path = dir.File("scene.tkv");
        ASSERT_TRUE(project.Save(project_path));
    }

    int Run(const std::vector<std::string>& args) {
        return RunCommand("tkv-render", RunRenderCommand, args, &stdout_text, &stderr_text);
    }

    // The export the application runs, on the same inputs.
    std::vector<uint8_t> ExportDirectly(const std::string& output) {
        StretchEvent* head = nullptr;
        project.BuildEventList(&head);
        SetCurrentEventList(&head);
        AudioExport job({dir.File("voice.wav"), output, project.m_initial_offset});
        EXPECT_TRUE(job.Run(nullptr)) << job.ErrorMessage();
        SetCurrentEventList(nullptr);
        delete head;
        return ReadFileBytes(output);
    }

    TempDir dir;
    std::vector<int16_t> samples;
    ProjectFile project;
    std::string project_path;
    std::string stdout_text;
    std::string stderr_text;
};

TEST_F(RenderCommandTest, renders_the_project_to_its_output_with_the_application_export) {
    ASSERT_EQ(Run({project_path}), kRenderOk) << stderr_text;
    EXPECT_EQ(stderr_text, "");  // not a terminal: no progress bar
    const std::vector<uint8_t> rendered = ReadFileBytes(dir.File("out.wav"));
    ASSERT_GT(rendered.size(), 46u + 44100u);
    EXPECT_EQ(rendered, ExportDirectly(dir.File("direct.wav")));
}

TEST_F(RenderCommandTest, an_output_given_on_the_command_line_wins) {
    ASSERT_EQ(Run({"-o", dir.File("other.wav"), project_path}), kRenderOk) << stderr_text;
    EXPECT_FALSE(ReadFileBytes(dir.File("other.wav")).empty());
    EXPECT_TRUE(ReadFileBytes(dir.File("out.wav")).empty());
    ASSERT_EQ(Run({project_path, "--output=" + dir.File("third.wav")}), kRenderOk);
    EXPECT_EQ(ReadFileBytes(dir.File("third.wav")), ReadFileBytes(dir.File("other.wav")));
}

TEST_F(RenderCommandTest, failures_are_one_line_naming_the_file) {
    EXPECT_EQ(Run({dir.File("none.tkv")}), kRenderFailed);
    EXPECT_NE(stderr_text.find("none.tkv"), std::string::npos);
    EXPECT_EQ(std::count(stderr_text.begin(), stderr_text.end(), '\n'), 1);

    project.m_audio_path = "missing.wav";
    ASSERT_TRUE(project.Save(project_path));
    EXPECT_EQ(Run({project_path}), kRenderFailed);
    EXPECT_NE(stderr_text.find("missing.wav"), std::string::npos) << stderr_text;
    EXPECT_EQ(std::count(stderr_text.begin(), stderr_text.end(), '\n'), 1);

    project.m_audio_path = "voice.wav";
    project.m_output_path = "";
    ASSERT_TRUE(project.Save(project_path));
    EXPECT_EQ(Run({project_path}), kRenderFailed);
    EXPECT_NE(stderr_text.find("-o"), std::string::npos) << stderr_text;

    EXPECT_EQ(Run({project_path, "-o", dir.File("no/folder/out.wav")}), kRenderFailed);
    EXPECT_NE(stderr_text.find("no/folder/out.wav"), std::string::npos) << stderr_text;
}

TEST_F(RenderCommandTest, an_engine_message_becomes_the_reason) {
    WavFileBuilder().Samples({1, 2}).DeclaredDataSize(0x90000000u).Write(dir.File("voice.wav"));
    EXPECT_EQ(Run({project_path}), kRenderFailed);
    EXPECT_NE(stderr_text.find("Audio file is too long !"), std::string::npos) << stderr_text;
    EXPECT_NE(stderr_text.find("voice.wav"), std::string::npos) << stderr_text;
    EXPECT_EQ(std::count(stderr_text.begin(), stderr_text.end(), '\n'), 1);
}

TEST_F(RenderCommandTest, usage_errors_and_help) {
    EXPECT_EQ(Run({}), kRenderUsageError);
    EXPECT_EQ(Run({"--bogus", project_path}), kRenderUsageError);
    EXPECT_NE(stderr_text.find("--bogus"), std::string::npos);
    EXPECT_EQ(Run({project_path, "-o"}), kRenderUsageError);
    EXPECT_EQ(Run({project_path, project_path}), kRenderUsageError);
    EXPECT_EQ(Run({"--help"}), kRenderOk);
    EXPECT_NE(stdout_text.find("Usage: tkv-render"), std::string::npos);
}

TEST_F(RenderCommandTest, the_installed_program_exits_with_the_status) {
    const std::string command =
        std::string(TKV_RENDER_BINARY) + " '" + project_path + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kRenderOk);
    EXPECT_FALSE(ReadFileBytes(dir.File("out.wav")).empty());
    const int failed =
        std::system((std::string(TKV_RENDER_BINARY) + " /nonexistent.tkv 2>/dev/null").c_str());
    ASSERT_TRUE(WIFEXITED(failed));
    EXPECT_EQ(WEXITSTATUS(failed), kRenderFailed);
}

}  // namespace
