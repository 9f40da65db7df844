#include "app/ProjectFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "app/ProjectText.h"
#include "engine/StretchEvent.h"
#include "engine/TemporaryOutputFile.h"

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

// Records why a save failed (EIO when the library left no reason) and reports the failure.
bool Failed(int reason, int* error) {
    *error = reason != 0 ? reason : EIO;
    return false;
}

std::string ReadHeaderLine(std::FILE* file) {
    char buffer[kHeaderLineSize] = "";
    return ReadLine(buffer, sizeof buffer, file) ? buffer : "";
}

}  // namespace

bool ProjectFile::Save(const std::string& path, int* error) const {
    int failure = 0;
    const bool saved = Write(path, &failure);
    if (error) *error = saved ? 0 : failure;
    return saved;
}

// The lines go to a temporary file beside the target, which replaces the target only once
// every byte is on disk: a full disk or a vanished folder leaves the previous project whole.
bool ProjectFile::Write(const std::string& path, int* error) const {
    TemporaryOutputFile temporary(path);
    errno = 0;
    if (!temporary.Reserve()) return Failed(temporary.Error(), error);
    std::FILE* raw = std::fopen(temporary.Path().c_str(), "wb");
    if (!raw) return Failed(errno, error);
    bool ok = WriteLine(raw, m_video_path) && WriteLine(raw, m_audio_path) &&
              WriteLine(raw, m_output_path) &&
              WriteLine(raw, FormatProjectNumber(m_initial_offset));
    for (const Event& e : m_events) {
        ok = ok && WriteLine(raw, FormatProjectNumber(e.tempo)) &&
             WriteLine(raw, FormatProjectNumber(e.movie_pos));
    }
    ok = ok && std::fflush(raw) == 0 && ::fsync(::fileno(raw)) == 0 && !std::ferror(raw);
    const int write_error = errno;
    const bool closed = std::fclose(raw) == 0;
    if (!ok) return Failed(write_error, error);
    if (!closed) return Failed(errno, error);
    if (!temporary.Commit()) return Failed(temporary.Error(), error);
    return true;
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
    // Each event is placed from the one before it: files are mostly in ascending order, so
    // a long project loads in linear time.
    StretchEvent* previous = nullptr;
    for (const Event& e : m_events) {
        auto* event = new StretchEvent(e.movie_pos, e.tempo, nullptr);
        event->Link(head, previous);
        previous = event;
    }
}
