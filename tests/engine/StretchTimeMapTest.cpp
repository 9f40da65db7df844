#include "engine/StretchTimeMap.h"
#ifdef TKV_HAVE_RUBBERBAND
#include "engine/RubberBandExport.h"
#endif

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/AudioExport.h"
#include "engine/StretchEvent.h"
#include "engine/StretchedWaveStream.h"
#include "tests/engine/ClickTrack.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

constexpr uint32_t kRate = 44100;

struct EventAt {
    float movie_pos;
    float stretch;
};

// An event list made the process's one list for the test's life.
class EventList {
public:
    explicit EventList(const std::vector<EventAt>& events) {
        for (const EventAt& e : events)
            new StretchEvent(e.movie_pos, e.stretch, &m_head);
        SetCurrentEventList(&m_head);
    }
    ~EventList() {
        SetCurrentEventList(nullptr);
        delete m_head;
    }
    StretchEvent* Head() const { return m_head; }

private:
    StretchEvent* m_head = nullptr;
};

class StretchTimeMapTest : public ::testing::Test {
protected:
    StretchTimeMap MapOf(const std::vector<int16_t>& samples, uint16_t channels, float offset,
                         const EventList& events) {
        WavFileBuilder().Channels(channels).Samples(samples).Write(dir.File("in.wav"));
        StretchedWaveStream stream(StretchedWaveStream::Role::Private);
        EXPECT_TRUE(stream.Open(dir.File("in.wav").c_str()));
        stream.SetOffset(offset);
        StretchTimeMap map;
        EXPECT_TRUE(map.Build(stream, events.Head()));
        return map;
    }

    TempDir dir;
};

TEST_F(StretchTimeMapTest, pieces_follow_the_paquet_map_with_offset_and_events) {
    EventList events({{2.0f, 25.0f}, {4.0f, -20.0f}});
    const StretchTimeMap map = MapOf(std::vector<int16_t>(kRate * 2 * 10), 2, 0.5f, events);
    EXPECT_EQ(map.SilenceFrames(), 22050);
    EXPECT_EQ(map.SkippedFrames(), 0);
    ASSERT_EQ(map.Pieces().size(), 3u);
    // The event at 2.0 s is played 1.5 s into the WAV; the next one 2.0 s x 1.25 later.
    EXPECT_EQ(map.Pieces()[0].source_begin, 0);
    EXPECT_EQ(map.Pieces()[1].source_begin, 66150);
    EXPECT_EQ(map.Pieces()[2].source_begin, 66150 + 110250);
    EXPECT_FLOAT_EQ(map.Pieces()[1].stretch, 25.0f);
    // Each boundary lands where the stream's map starts its paquet (virtual byte - header).
    for (const StretchEvent* e = events.Head(); e; e = e->m_next) {
        EXPECT_NEAR(map.OutputFrameOf((e->SignedRealBytePos() - 44) / 4),
                    (e->m_virtual_byte_pos - 44) / 4.0, 1.0);
    }
    EXPECT_NEAR(map.OutputFrames(), 22050 + 66150 + 88200 + (441000 - 176400) / 0.8, 1.0);
    EXPECT_EQ(map.RubberBandTimeMap(), "66150 66150\n176400 154350\n441000 485100\n");
    EXPECT_NEAR(map.RubberBandDuration(), 485100.0 / kRate, 1e-9);
    // A stretched piece is read from half of atempo's window before its start to a whole
    // window past its end, and cut to its mapped length.
    EXPECT_NE(map.FfmpegFilterScript().find(
                  "[in1]atrim=start_sample=65126:end_sample=178448,asetpts=PTS-STARTPTS,"
                  "atempo=1.25,apad=whole_len=88200,atrim=end_sample=88200[piece1];"),
              std::string::npos)
        << map.FfmpegFilterScript();
}

TEST_F(StretchTimeMapTest, negative_offset_skips_the_start_and_slow_stretches_chain_atempo) {
    EventList events({{1.0f, -80.0f}});
    const StretchTimeMap map = MapOf(std::vector<int16_t>(kRate * 4), 1, -1.0f, events);
    EXPECT_EQ(map.SilenceFrames(), 0);
    EXPECT_EQ(map.SkippedFrames(), 44100);
    ASSERT_EQ(map.Pieces().size(), 2u);
    EXPECT_EQ(map.Pieces()[0].source_begin, 44100);
    EXPECT_DOUBLE_EQ(map.Pieces()[0].output_begin, 0.0);
    EXPECT_EQ(map.RubberBandTimeMap(), "88200 88200\n176400 529200\n");
    EXPECT_EQ(map.FfmpegFilterScript(),
              "[0:a]asplit=2[in0][in1];\n"
              "[in0]atrim=start_sample=44100:end_sample=88200,asetpts=PTS-STARTPTS,"
              "apad=whole_len=44100,atrim=end_sample=44100[piece0];\n"
              // atempo is fed from its lead: half a window (1024 frames) per instance, each
              // at the pace of those before it.
              "[in1]atrim=start_sample=86408:end_sample=176400,asetpts=PTS-STARTPTS,"
              "atempo=0.5,atempo=0.5,atempo=0.8,apad=whole_len=441000,atrim=end_sample=441000"
              "[piece1];\n"
              "[piece0][piece1]concat=n=2:v=0:a=1[out]\n");
}

TEST_F(StretchTimeMapTest, events_inside_the_silence_apply_from_the_first_sample) {
    // Both paquets start before the WAV does: the stream plays the silence, then the WAV at
    // the later one's tempo.
    EventList events({{0.5f, 100.0f}, {1.0f, 50.0f}});
    const StretchTimeMap map = MapOf(std::vector<int16_t>(kRate * 4), 1, 2.0f, events);
    ASSERT_EQ(map.Pieces().size(), 1u);
    EXPECT_FLOAT_EQ(map.Pieces()[0].stretch, 50.0f);
    EXPECT_DOUBLE_EQ(map.Pieces()[0].output_begin, 88200.0);
    const std::string script = map.FfmpegFilterScript();
    EXPECT_NE(script.find("adelay=delays=88200S:all=1[out]"), std::string::npos);
    // The first piece has no WAV before it: its lead is silence, and a window past its end
    // is read where the WAV has it.
    EXPECT_NE(script.find("atrim=start_sample=0:end_sample=176400,asetpts=PTS-STARTPTS,"
                          "adelay=delays=1024S:all=1,atempo=1.5,"),
              std::string::npos)
        << script;
}

// The rendered stream against the map: every click of the source where the map puts it.
struct RenderCase {
    const char* name;
    float offset;
    std::vector<EventAt> events;
};

class StretchTimeMapRenderTest : public StretchTimeMapTest,
                                 public ::testing::WithParamInterface<RenderCase> {};

// The worst distance, in frames, between a click of the rendered file and where the map puts
// it (clicks the processor may still hold at the end are passed over).
double WorstClick(const StretchTimeMap& map, const std::vector<double>& clicks,
                  const std::vector<int16_t>& out) {
    double worst = 0.0;
    for (double click : clicks) {
        if (click < map.SkippedFrames()) continue;
        const double expected = map.OutputFrameOf(click);
        if (expected + kRate * 0.1 > out.size()) continue;
        const double found = click_track::FindOnset(out, expected, kRate * 0.05);
        if (found < 0.0) return kRate;  // lost
        worst = std::max(worst, std::abs(found - expected));
    }
    return worst;
}

TEST_P(StretchTimeMapRenderTest, every_engine_puts_every_click_where_the_map_says) {
    std::vector<double> clicks;
    const std::vector<int16_t> samples = click_track::Make(kRate, 9.0, 0.25, 0.5, &clicks);
    EventList events(GetParam().events);
    const StretchTimeMap map = MapOf(samples, 1, GetParam().offset, events);
    const ExportRequest request{dir.File("in.wav"), dir.File("out.wav"), GetParam().offset};
    AudioExport soundtouch(request);
    ASSERT_TRUE(soundtouch.Run(nullptr)) << soundtouch.ErrorMessage();
    const double worst =
        WorstClick(map, clicks, click_track::ReadFirstChannel(request.output_path, 1));
    // SoundTouch places each sequence within its seek window, and stretches what it still
    // holds at a boundary at the new tempo: up to about 25 ms, where a wrong map is off by
    // a stretch of hundreds of milliseconds.
    EXPECT_LT(worst, kRate * 0.030) << "worst " << worst / kRate * 1000 << " ms";
#ifdef TKV_HAVE_RUBBERBAND
    RubberBandExport rubberband(request);
    ASSERT_TRUE(rubberband.Run(nullptr)) << rubberband.ErrorMessage();
    const double rb_worst =
        WorstClick(map, clicks, click_track::ReadFirstChannel(request.output_path, 1));
    EXPECT_LT(rb_worst, kRate * 0.030) << "rubberband worst " << rb_worst / kRate * 1000 << " ms";
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StretchTimeMapRenderTest,
    ::testing::Values(RenderCase{"three_events_positive_offset",
                                 0.3f,
                                 {{2.0f, 20.0f}, {4.0f, -15.0f}, {6.0f, 8.0f}}},
                      RenderCase{"negative_offset", -0.6f, {{1.5f, -10.0f}, {3.5f, 12.0f}}},
                      RenderCase{"event_inside_silence", 1.0f, {{0.5f, 25.0f}, {3.0f, -5.0f}}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
