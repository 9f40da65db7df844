// The graph manager on the framework's own graph: adding, counting and removing filters (a
// filter that brings another in as it leaves counts as not removed), connecting pin to pin
// with its messages, reconnecting and disconnecting, seeking in 100 ns units, a stop that
// rewinds, the duration, and a movie's frame rate from the media detector.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/grapheditor/GraphEditorFixture.h"
#include "tests/grapheditor/ProbeFilter.h"
#include "tests/platform/media/support/TestSinkFilter.h"
#include "tests/platform/media/support/TestSourceFilter.h"
#include "tests/support/MovieFileMaker.h"

namespace {

class GraphManagerTest : public GraphEditorTest {
protected:
    // A source connected to nothing yet and a sink, both in the graph.
    void MakeSourceAndSink() {
        CMediaType stream(&MEDIATYPE_Stream);
        stream.SetSubtype(&MEDIASUBTYPE_WAVE);
        m_source = new TestSourceFilter(stream);
        source = Added(ComPtr<IBaseFilter>(m_source).Get(), u"Source");
        sink = Added(ComPtr<IBaseFilter>(new TestSinkFilter(MEDIATYPE_Stream)).Get(), u"Sink");
        output = source->OutputPin(0);
        input = sink->InputPin(0);
        ASSERT_TRUE(output && input);
    }

    void TearDown() override {
        source.reset();
        sink.reset();
        GraphEditorTest::TearDown();
    }

    std::string MakeMovie(const std::string& name, const MovieRecipe& recipe) {
        std::string error;
        const std::string path = dir.File(name);
        EXPECT_TRUE(MovieFileMaker::Make(path, recipe, &error)) << error;
        return path;
    }

    TestSourceFilter* m_source = nullptr;
    std::unique_ptr<FilterItem> source;
    std::unique_ptr<FilterItem> sink;
    PinItem* output = nullptr;
    PinItem* input = nullptr;
};

TEST_F(GraphManagerTest, add_filter_gives_the_item_the_name_the_graph_chose) {
    EXPECT_EQ(graph.DurationSeconds(), 0.0) << "an empty graph has no duration to give";
    const auto first = WrapFilter(Entry("Probe", CLSID_ProbeFilter), MakeProbe({}).Get());
    const auto second = WrapFilter(Entry("Probe", CLSID_ProbeFilter), MakeProbe({}).Get());
    ASSERT_TRUE(graph.AddFilter(first.get()) && graph.AddFilter(second.get()));
    EXPECT_EQ(graph.CountFilters(), 2);
    // Neither had a name of its own: each now carries the one the graph made up.
    for (const FilterItem* item : {first.get(), second.get()}) {
        const std::u16string name(item->Name(), item->Name() + std::strlen(item->Name()));
        ComPtr<IBaseFilter> found;
        ASSERT_EQ(graph.GraphBuilder()->FindFilterByName(name.c_str(), found.GetAddressOf()), S_OK);
        EXPECT_EQ(found.Get(), item->BaseFilter());
    }
    EXPECT_STRNE(first->Name(), second->Name());
    EXPECT_FALSE(graph.AddFilter(first.get())) << "already in the graph";
    EXPECT_FALSE(graph.AddFilter(nullptr));
    EXPECT_EQ(graph.CountFilters(), 2);
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(GraphManagerTest, remove_filter_needs_the_count_to_drop_by_exactly_one) {
    struct Case {
        const char* what;
        bool add;
        bool companion;
        bool removed;
        int left;
    };
    const Case cases[] = {
        {"a filter of the graph", true, false, true, 1},
        {"a filter the graph does not hold", false, false, false, 1},
        {"a filter that brings another in as it leaves", true, true, false, 2},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        ASSERT_TRUE(graph.ReleaseAll() && graph.Create(nullptr));
        RecordingUserPrompt messages;
        ASSERT_EQ(graph.GraphBuilder()->AddFilter(MakeProbe({}).Get(), u"Bystander"), S_OK);
        ProbeFilter* typed = nullptr;
        const auto item =
            WrapFilter(Entry("Probe", CLSID_ProbeFilter), MakeProbe({}, &typed).Get());
        if (test.companion) typed->SetCompanion(MakeProbe({}));
        if (test.add) {
            ASSERT_EQ(graph.GraphBuilder()->AddFilter(item->BaseFilter(), u"Clingy"), S_OK);
            ASSERT_TRUE(item->RefreshName());
        }
        EXPECT_EQ(graph.RemoveFilter(item.get()), test.removed);
        EXPECT_EQ(graph.CountFilters(), test.left);
        if (test.removed) {
            EXPECT_TRUE(messages.Messages().empty());
            EXPECT_STREQ(item->Name(), "") << "the item learns it has left";
        } else {
            ASSERT_EQ(messages.Messages().size(), 1u);
            EXPECT_EQ(messages.Messages()[0].text, "Unable to remove filter");
            EXPECT_EQ(messages.Messages()[0].caption, test.add ? "Clingy" : "");
            EXPECT_EQ(messages.Messages()[0].type, MB_OK);
        }
    }
}

TEST_F(GraphManagerTest, connect_pins_reports_the_input_pin_first_then_the_output_then_refusal) {
    MakeSourceAndSink();
    struct Case {
        const char* what;
        PinItem* output;
        PinItem* input;
        bool connected;
        Texts messages;
    };
    const Case cases[] = {
        {"both absent", nullptr, nullptr, false, {"Input Pin Empty"}},
        {"no input", output, nullptr, false, {"Input Pin Empty"}},
        {"no output", nullptr, input, false, {"Output Pin Empty"}},
        {"wrong way round", input, output, false, {"Connection failed"}},
        {"output to input", output, input, true, {}},
        {"already connected", output, input, false, {"Connection failed"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        RecordingUserPrompt messages;
        EXPECT_EQ(graph.ConnectPins(test.output, test.input, nullptr), test.connected);
        Texts texts;
        for (const auto& message : messages.Messages()) {
            texts.push_back(message.text);
            EXPECT_EQ(message.caption, "");
            EXPECT_EQ(message.type, MB_OK);
        }
        EXPECT_EQ(texts, test.messages);
    }
}

TEST_F(GraphManagerTest, reconnect_and_disconnect_act_on_the_pin_given) {
    MakeSourceAndSink();
    EXPECT_FALSE(graph.ReconnectPin(input)) << "nothing to reconnect";
    EXPECT_EQ(MessageTexts(), Texts{"Reconnection failed"});
    ASSERT_TRUE(graph.ConnectPins(output, input, nullptr));
    EXPECT_TRUE(graph.ReconnectPin(input));
    EXPECT_TRUE(input->QueryConnection(nullptr) && output->QueryConnection(nullptr));

    EXPECT_TRUE(graph.DisconnectPin(input));
    EXPECT_FALSE(input->QueryConnection(nullptr));
    EXPECT_TRUE(output->QueryConnection(nullptr)) << "only the pin given lets go";
    EXPECT_TRUE(graph.DisconnectPin(output));
    EXPECT_FALSE(graph.DisconnectPin(nullptr));
    EXPECT_EQ(MessageTexts(), Texts{"Reconnection failed"}) << "disconnecting is silent";
}

TEST_F(GraphManagerTest, seek_to_seconds_cuts_toward_zero_in_100ns_units) {
    MakeSourceAndSink();
    m_source->OutputPin()->duration = std::numeric_limits<LONGLONG>::max();
    ASSERT_TRUE(graph.ConnectPins(output, input, nullptr));
    const struct {
        double seconds;
        LONGLONG units;
    } cases[] = {
        {1.23456789, 12'345'678}, {2.0, 20'000'000},
        {0.00000019, 1},          {1e300, std::numeric_limits<LONGLONG>::max()},
        {std::nan(""), 0},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.seconds);
        m_source->OutputPin()->positions_set.clear();
        EXPECT_TRUE(graph.SeekToSeconds(test.seconds));
        EXPECT_EQ(m_source->OutputPin()->positions_set, std::vector<LONGLONG>{test.units});
    }
}

TEST_F(GraphManagerTest, a_rendered_movie_has_its_duration_and_a_stop_rewinds_it) {
    EXPECT_FALSE(graph.RenderFile(dir.File("missing.mpg").c_str()));
    MovieRecipe recipe = MovieRecipe::Avi();
    recipe.frames = 50;  // two seconds
    ASSERT_TRUE(graph.RenderFile(MakeMovie("movie.avi", recipe).c_str()));
    EXPECT_NEAR(graph.DurationSeconds(), 2.0, 0.05);

    ASSERT_TRUE(graph.Pause());
    ASSERT_TRUE(graph.SeekToSeconds(1.5));
    LONGLONG position = 0;
    ASSERT_EQ(graph.MediaSeeking()->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 15'000'000);
    ASSERT_TRUE(graph.Stop());
    ASSERT_EQ(graph.MediaSeeking()->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 0);
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(GraphManagerTest, video_frame_rate_comes_from_the_video_stream_only) {
    MovieRecipe ntsc = MovieRecipe::Avi();
    ntsc.rate_num = 30000;
    ntsc.rate_den = 1001;
    MovieRecipe sound_only = MovieRecipe::Mpeg();
    sound_only.video = AV_CODEC_ID_NONE;
    const struct {
        const char* what;
        std::string path;
        bool found;
        float rate;
    } cases[] = {
        {"mpeg at 25", MakeMovie("movie.mpg", MovieRecipe::Mpeg()), true, 25.0f},
        {"avi at 29.97", MakeMovie("ntsc.avi", ntsc), true, 30000.0f / 1001.0f},
        {"sound only", MakeMovie("sound.mpg", sound_only), false, 0.0f},
        {"no file", dir.File("missing.avi"), false, 0.0f},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        float rate = 99.0f;
        EXPECT_EQ(graph.VideoFrameRate(test.path.c_str(), &rate), test.found);
        EXPECT_NEAR(rate, test.rate, 0.01f);
        EXPECT_EQ(graph.VideoFrameRate(test.path.c_str(), nullptr), test.found);
    }
}

}  // namespace
