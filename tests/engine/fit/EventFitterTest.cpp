// Whole fits of dubs the tests make (DubScenario): the movie's sound and a WAV made from the
// same background through our own export, each with its own dialogue at -6 dB. The truth is
// the export's map; the fit must meet it within 20 ms over 95 % of the movie.
#include "engine/fit/EventFitter.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/engine/fit/DubScenario.h"
#include "tests/support/TempDir.h"

namespace {

constexpr double kPal = (25.0 / 23.976 - 1.0) * 100.0;  // percent

FitResult FitDub(DubScenario& scenario, const FitControl& control = {}) {
    TempDir dir;
    std::string error;
    EXPECT_TRUE(scenario.Make(dir.Path().string(), &error)) << error;
    return EventFitter::Fit(Resampled(scenario.movie, scenario.rate, EventFitter::kFitRate),
                            Resampled(scenario.dub, scenario.rate, EventFitter::kFitRate),
                            EventFitter::kFitRate, control);
}

struct DubCase {
    std::string name;
    std::function<void(DubScenario&)> make;
    std::function<void(const FitResult&)> check;  // beyond the 20 ms rule
};

std::string CaseName(const testing::TestParamInfo<DubCase>& info) {
    return info.param.name;
}

class EventFitterDubTest : public testing::TestWithParam<DubCase> {};

TEST_P(EventFitterDubTest, recovers_the_time_map_within_20_ms_over_95_percent_of_the_movie) {
    DubScenario scenario;
    GetParam().make(scenario);
    const FitResult result = FitDub(scenario);
    ASSERT_TRUE(result.Fitted()) << result.reason;
    EXPECT_GE(scenario.ShareWithin(result, 0.020), 0.95);
    EXPECT_GT(result.coverage, 0.5);
    EXPECT_GE(result.residual, 0.0);
    EXPECT_LT(result.residual, 0.010);
    GetParam().check(result);
}

INSTANTIATE_TEST_SUITE_P(
    Dubs, EventFitterDubTest,
    testing::Values(DubCase{"constant_offset", [](DubScenario& s) { s.offset = 2.5; },
                            [](const FitResult& r) {
                                // The WAV runs 2.5 s ahead: an offset alone, no event.
                                EXPECT_NEAR(r.offset, -2.5, 0.005);
                                EXPECT_TRUE(r.events.empty());
                            }},
                    DubCase{"pal_speed_up",
                            [](DubScenario& s) {
                                s.offset = -0.4;
                                s.events = {{0.0, kPal}};
                            },
                            [](const FitResult& r) {
                                // One stretch for the whole movie, undoing 25 / 23.976 within 0.01
                                // %.
                                ASSERT_EQ(r.events.size(), 1u);
                                const double factor =
                                    (1.0 + r.events[0].stretch / 100.0) * (1.0 + kPal / 100.0);
                                EXPECT_NEAR(factor, 1.0, 1e-4);
                            }},
                    DubCase{"three_events_of_different_signs",
                            [](DubScenario& s) {
                                s.seconds = 90;
                                s.offset = -1.2;
                                s.events = {{15.0, 3.0}, {40.0, -2.5}, {65.0, 1.5}};
                            },
                            [](const FitResult& r) {
                                ASSERT_EQ(r.events.size(), 3u);
                                EXPECT_LT(r.events[0].stretch, 0.0f);
                                EXPECT_GT(r.events[1].stretch, 0.0f);
                                EXPECT_LT(r.events[2].stretch, 0.0f);
                            }},
                    DubCase{"a_scene_the_movie_lost",
                            [](DubScenario& s) {
                                s.offset = 0.8;
                                s.lost_at = 27.0;
                                s.lost_seconds = 10.0;
                            },
                            [](const FitResult& r) {
                                // A short fast stretch over the lost scene, then normal speed
                                // again.
                                ASSERT_EQ(r.events.size(), 2u);
                                EXPECT_NEAR(r.events[0].movie_pos, 27.0, 0.5);
                                EXPECT_GT(r.events[0].stretch, 1000.0f);
                                EXPECT_LT(r.events[1].movie_pos - r.events[0].movie_pos, 1.0f);
                                EXPECT_EQ(r.events[1].stretch, 0.0f);
                            }},
                    DubCase{"a_wav_that_starts_later_and_is_stretched",
                            [](DubScenario& s) {
                                s.offset = -5.0;
                                s.events = {{0.0, kPal}};
                            },
                            [](const FitResult& r) {
                                // The leading silence is the offset, and the stretch starts where
                                // it ends: the stream plays the WAV from its first sample after the
                                // silence.
                                EXPECT_NEAR(r.offset, 5.0, 0.01);
                                ASSERT_EQ(r.events.size(), 1u);
                                EXPECT_EQ(r.events[0].movie_pos, r.offset);
                            }}),
    CaseName);

TEST(EventFitterTest, refuses_two_unrelated_sounds) {
    DubScenario scenario;
    scenario.unrelated = true;
    const FitResult result = FitDub(scenario);
    EXPECT_EQ(result.outcome, FitOutcome::NothingShared);
    EXPECT_EQ(result.reason, "the two sounds share nothing recognisable");
}

TEST(EventFitterTest, refuses_sounds_too_short_to_fit) {
    const std::vector<float> sound(9 * EventFitter::kFitRate, 0.1f);
    const std::vector<float> long_sound(60 * EventFitter::kFitRate, 0.1f);
    EXPECT_EQ(EventFitter::Fit(sound, long_sound, EventFitter::kFitRate, {}).outcome,
              FitOutcome::TooShort);
    EXPECT_EQ(EventFitter::Fit(long_sound, sound, EventFitter::kFitRate, {}).outcome,
              FitOutcome::TooShort);
}

TEST(EventFitterTest, reports_rising_progress_to_100_and_stops_when_cancelled) {
    DubScenario scenario;
    scenario.offset = 1.0;
    std::vector<int> percentages;
    const FitResult fitted = FitDub(scenario, {[&](int p) { percentages.push_back(p); }, {}});
    ASSERT_TRUE(fitted.Fitted()) << fitted.reason;
    ASSERT_FALSE(percentages.empty());
    EXPECT_TRUE(std::is_sorted(percentages.begin(), percentages.end()));
    EXPECT_EQ(std::adjacent_find(percentages.begin(), percentages.end()), percentages.end());
    EXPECT_EQ(percentages.back(), 100);

    std::atomic<bool> cancel{false};
    int last = -1;
    const FitResult cancelled = FitDub(scenario, {[&](int p) {
                                                      last = p;
                                                      if (p >= 40) cancel = true;
                                                  },
                                                  &cancel});
    EXPECT_EQ(cancelled.outcome, FitOutcome::Cancelled);
    EXPECT_LT(last, 100);
}

}  // namespace
