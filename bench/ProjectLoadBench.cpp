// Loading a long project: the file read and its events linked into a list, for 100,000 and
// 150,000 events in ascending order with one in a hundred out of place, against linking the
// same events each from the head (the way that took minutes), on a smaller count.
#include <cmath>
#include <string>

#include <benchmark/benchmark.h>

#include "app/ProjectFile.h"
#include "engine/StretchEvent.h"
#include "tests/support/TempDir.h"

namespace {

// Mostly ascending positions, a tenth of a second apart; every hundredth goes back a second.
ProjectFile LongProject(int count) {
    ProjectFile project;
    project.m_video_path = "movie.mpg";
    project.m_audio_path = "sound.wav";
    for (int i = 0; i < count; ++i) {
        const float pos = static_cast<float>(i) * 0.1f - (i % 100 == 99 ? 1.0f : 0.0f);
        project.m_events.push_back({static_cast<float>(i % 7) - 3.0f, pos});
    }
    return project;
}

// False when the list is not in order or misses events.
bool SortedList(const StretchEvent* head, int count) {
    int n = 0;
    for (const StretchEvent* e = head; e; e = e->m_next, ++n) {
        if (e->m_next && e->m_next->m_movie_pos < e->m_movie_pos) return false;
    }
    return n == count;
}

void BM_LoadProject(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    TempDir dir;
    const std::string path = dir.File("long.tkv");
    if (!LongProject(count).Save(path)) {
        state.SkipWithError("cannot write the project");
        return;
    }
    for (auto _ : state) {
        ProjectFile project;
        StretchEvent* head = nullptr;
        if (!project.Load(path)) state.SkipWithError("cannot read the project");
        project.BuildEventList(&head);
        state.PauseTiming();
        if (!SortedList(head, count)) state.SkipWithError("the list differs");
        delete head;
        state.ResumeTiming();
    }
    state.counters["events"] = count;
}

// Each event linked by walking from the head: quadratic.
void BM_LinkFromHead(benchmark::State& state) {
    const ProjectFile project = LongProject(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        StretchEvent* head = nullptr;
        for (const ProjectFile::Event& e : project.m_events) {
            auto* event = new StretchEvent(e.movie_pos, e.tempo, nullptr);
            event->Link(&head);
        }
        state.PauseTiming();
        delete head;
        state.ResumeTiming();
    }
    state.counters["events"] = static_cast<double>(state.range(0));
}

}  // namespace

BENCHMARK(BM_LoadProject)->Arg(100000)->Arg(150000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinkFromHead)->Arg(10000)->Arg(20000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
