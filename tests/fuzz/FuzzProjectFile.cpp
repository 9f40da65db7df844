// The project reader on arbitrary bytes: any file loads; its events build a list in
// position order; saved and loaded again it keeps its offset's sign and its events.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/ProjectFile.h"
#include "engine/StretchEvent.h"
#include "tests/fuzz/FuzzFile.h"

namespace {

// One folder for the whole run, for the saved copies.
const std::string& SaveFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/tkv-fuzz-project-XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        std::atexit([] { rmdir(SaveFolder().c_str()); });
        return std::string(pattern);
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzFile input(data, size);
    ProjectFile project;
    if (!project.Load(input.Path())) std::abort();  // a readable file always loads

    StretchEvent* events = nullptr;
    project.BuildEventList(&events);
    size_t count = 0;
    for (const StretchEvent* e = events; e; e = e->m_next, ++count)
        if (e->m_next && e->m_next->m_movie_pos < e->m_movie_pos) std::abort();
    if (count != project.m_events.size()) std::abort();
    project.TakeEvents(events);
    delete events;

    const std::string copy = SaveFolder() + "/copy.tkv";
    if (!project.Save(copy)) std::abort();
    ProjectFile again;
    const bool loaded = again.Load(copy);
    std::remove(copy.c_str());
    if (!loaded || again.m_events.size() != project.m_events.size() ||
        again.m_video_path != project.m_video_path || again.m_audio_path != project.m_audio_path ||
        again.m_output_path != project.m_output_path) {
        std::fprintf(stderr, "the saved project reads back differently\n");
        std::abort();
    }
    return 0;
}
