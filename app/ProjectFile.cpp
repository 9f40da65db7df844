#include "app/ProjectFile.h"

#include <cstdio>
#include <memory>

#include "app/ProjectText.h"
#include "engine/StretchEvent.h"

namespace {

constexpr int kHeaderLineSize = 4096;
constexpr int kEventLineSize = 1024;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool WriteLine(std::FILE* file, const std::string& text) {
    return std::fputs(text.c_str(), file) >= 0 && std::fputs("\r\n", file) >= 0;
}

std::string ReadHeaderLine(std::FILE* file) {
    char buffer[kHeaderLineSize] = "";
    return ReadLine(buffer, sizeof buffer, file) ? buffer : "";
}

}  // namespace

bool ProjectFile::Save(const std::string& path) const {
    std::FILE* raw = std::fopen(path.c_str(), "wb");
    if (!raw) return false;
    bool ok = WriteLine(raw, m_video_path) && WriteLine(raw, m_audio_path) &&
              WriteLine(raw, m_output_path) &&
              WriteLine(raw, FormatProjectNumber(m_initial_offset));
    for (const Event& e : m_events) {
        ok = ok && WriteLine(raw, FormatProjectNumber(e.tempo)) &&
             WriteLine(raw, FormatProjectNumber(e.movie_pos));
    }
    ok = !std::ferror(raw) && ok;
    return std::fclose(raw) == 0 && ok;
}

bool ProjectFile::Load(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    m_events.clear();
    m_video_path = ReadHeaderLine(file.get());
    m_audio_path = ReadHeaderLine(file.get());
    m_output_path = ReadHeaderLine(file.get());
    m_initial_offset = ReadProjectNumber(ReadHeaderLine(file.get()).c_str());
    char stretch[kEventLineSize];
    char position[kEventLineSize];
    while (ReadLine(stretch, sizeof stretch, file.get()) &&
           ReadLine(position, sizeof position, file.get())) {
        m_events.push_back({ReadProjectNumber(stretch), ReadProjectNumber(position)});
    }
    return true;
}

void ProjectFile::TakeEvents(const StretchEvent* head) {
    m_events.clear();
    for (const StretchEvent* e = head; e; e = e->m_next) {
        m_events.push_back({e->m_tempo, e->m_movie_pos});
    }
}

void ProjectFile::BuildEventList(StretchEvent** head) const {
    for (const Event& e : m_events)
        new StretchEvent(e.movie_pos, e.tempo, head);
}
