#include "app/ProjectFile.h"

#include <vector>

#include <gtest/gtest.h>

#include "engine/StretchEvent.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

class ProjectFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& content) {
        const std::string path = dir.File("project.tkv");
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
        return path;
    }
    std::string Text(const std::string& path) {
        const std::vector<uint8_t> bytes = ReadFileBytes(path);
        return std::string(bytes.begin(), bytes.end());
    }
    void TearDown() override { delete head; }

    TempDir dir;
    ProjectFile project;
    StretchEvent* head = nullptr;
};

TEST_F(ProjectFileTest, saves_paths_offset_and_events_in_list_order_with_crlf) {
    new StretchEvent(75.25f, -2.5f, &head);
    new StretchEvent(0.0f, 0.0f, &head);
    project.m_video_path = "D:\\clips\\scene 12.mpg";
    project.m_audio_path = "D:\\clips\\scene12_fr.wav";
    project.m_output_path = "D:\\clips\\scene12_out.wav";
    project.m_initial_offset = 1.52f;
    project.TakeEvents(head);
    const std::string path = dir.File("saved");  // no extension is added
    ASSERT_TRUE(project.Save(path));
    EXPECT_EQ(Text(path),
              "D:\\clips\\scene 12.mpg\r\nD:\\clips\\scene12_fr.wav\r\n"
              "D:\\clips\\scene12_out.wav\r\n1.520000\r\n0.000000\r\n0.000000\r\n"
              "-2.500000\r\n75.250000\r\n");
}

TEST_F(ProjectFileTest, no_events_gives_four_lines_and_loads_an_empty_list) {
    project.m_initial_offset = -0.25f;
    const std::string path = dir.File("empty.tkv");
    ASSERT_TRUE(project.Save(path));
    EXPECT_EQ(Text(path), "\r\n\r\n\r\n-0.250000\r\n");
    ProjectFile loaded;
    ASSERT_TRUE(loaded.Load(path));
    EXPECT_TRUE(loaded.m_events.empty());
    EXPECT_FLOAT_EQ(loaded.m_initial_offset, -0.25f);
}

TEST_F(ProjectFileTest, events_load_sorted_and_equal_positions_keep_file_order) {
    ASSERT_TRUE(project.Load(Write("m\na\no\n0\n1\n9\n2\n3\n3\n3\n4\n3\n5\n0.5\n")));
    project.BuildEventList(&head);
    std::vector<std::pair<float, float>> order;
    for (StretchEvent* e = head; e; e = e->m_next)
        order.push_back({e->m_movie_pos, e->m_tempo});
    const std::vector<std::pair<float, float>> expected = {
        {0.5f, 5.0f}, {3.0f, 2.0f}, {3.0f, 3.0f}, {3.0f, 4.0f}, {9.0f, 1.0f}};
    EXPECT_EQ(order, expected);
}

TEST_F(ProjectFileTest, a_lone_stretch_line_is_dropped_and_blank_pairs_are_events) {
    ASSERT_TRUE(project.Load(Write("m\r\na\r\no\r\n1.5\r\n3.25\r\n12.5\r\n\r\n\r\n7\r\n")));
    EXPECT_EQ(project.m_video_path, "m");
    EXPECT_EQ(project.m_output_path, "o");
    ASSERT_EQ(project.m_events.size(), 2u);
    EXPECT_FLOAT_EQ(project.m_events[0].tempo, 3.25f);
    EXPECT_FLOAT_EQ(project.m_events[0].movie_pos, 12.5f);
    EXPECT_EQ(project.m_events[1].tempo, 0.0f);
    EXPECT_EQ(project.m_events[1].movie_pos, 0.0f);
}

TEST_F(ProjectFileTest, lf_and_crlf_files_load_the_same) {
    ProjectFile crlf;
    ProjectFile lf;
    ASSERT_TRUE(crlf.Load(Write("v\r\nw\r\nx\r\n2\r\n10\r\n1\r\n")));
    ASSERT_TRUE(lf.Load(Write("v\nw\nx\n2\n10\n1\n")));
    EXPECT_EQ(crlf.m_audio_path, lf.m_audio_path);
    EXPECT_EQ(crlf.m_initial_offset, lf.m_initial_offset);
    ASSERT_EQ(lf.m_events.size(), 1u);
    EXPECT_EQ(crlf.m_events[0].tempo, lf.m_events[0].tempo);
}

TEST_F(ProjectFileTest, a_short_or_missing_file_is_handled) {
    ASSERT_TRUE(project.Load(Write("only.mpg\n")));
    EXPECT_EQ(project.m_video_path, "only.mpg");
    EXPECT_EQ(project.m_audio_path, "");
    EXPECT_EQ(project.m_initial_offset, 0.0f);
    EXPECT_TRUE(project.m_events.empty());
    EXPECT_FALSE(project.Load(dir.File("none.tkv")));
    EXPECT_FALSE(project.Save(dir.File("no/such/folder.tkv")));
}

TEST_F(ProjectFileTest, values_round_trip_to_six_decimals) {
    new StretchEvent(12.5f, 3.25f, &head);
    new StretchEvent(1.0f / 3.0f, -0.0000004f, &head);
    project.TakeEvents(head);
    const std::string path = dir.File("round.tkv");
    ASSERT_TRUE(project.Save(path));
    ProjectFile loaded;
    ASSERT_TRUE(loaded.Load(path));
    ASSERT_EQ(loaded.m_events.size(), 2u);
    EXPECT_FLOAT_EQ(loaded.m_events[0].movie_pos, 0.333333f);
    EXPECT_EQ(loaded.m_events[0].tempo, 0.0f);
    EXPECT_FLOAT_EQ(loaded.m_events[1].tempo, 3.25f);
}

TEST_F(ProjectFileTest, a_path_of_4094_characters_keeps_every_line_in_place) {
    // 4,094 characters and CR fill the 4,096-byte line buffer; the LF must not make a line.
    project.m_video_path = std::string(4094, 'v');
    project.m_audio_path = std::string(4094, 'a');
    project.m_output_path = "out.wav";
    project.m_initial_offset = 2.5f;
    project.m_events = {{-3.0f, 1.0f}};
    const std::string path = dir.File("long.tkv");
    ASSERT_TRUE(project.Save(path));
    ProjectFile loaded;
    ASSERT_TRUE(loaded.Load(path));
    EXPECT_EQ(loaded.m_video_path, project.m_video_path);
    EXPECT_EQ(loaded.m_audio_path, project.m_audio_path);
    EXPECT_EQ(loaded.m_output_path, "out.wav");
    EXPECT_FLOAT_EQ(loaded.m_initial_offset, 2.5f);
    ASSERT_EQ(loaded.m_events.size(), 1u);
    EXPECT_FLOAT_EQ(loaded.m_events[0].tempo, -3.0f);
}

}  // namespace
