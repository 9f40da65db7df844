// A project: the movie, source WAV and export WAV paths, the initial offset and the events,
// stored one value per line with CR LF line ends and no header:
//   movie path / audio path / output path / offset / then stretch and position per event.
// Paths are kept byte for byte as given. Saving writes events in list order; loading
// recreates them through the event list, which keeps equal positions in file order.
#pragma once

#include <string>
#include <vector>

class StretchEvent;

class ProjectFile {
public:
    struct Event {
        float tempo;
        float movie_pos;
    };

    // Writes a temporary file beside `path` and renames it over `path` once complete. False
    // when it cannot be created or written completely, the file at `path` then unchanged;
    // `error`, if given, gets the reason as an errno value (0 on success).
    bool Save(const std::string& path, int* error = nullptr) const;
    // False when the file cannot be opened. Missing header lines read as empty paths and
    // an offset of 0; a stretch line without its position line is dropped.
    bool Load(const std::string& path);

    void TakeEvents(const StretchEvent* head);       // replaces m_events by the list's events
    void BuildEventList(StretchEvent** head) const;  // inserts m_events into the list

    std::string m_video_path;
    std::string m_audio_path;
    std::string m_output_path;
    float m_initial_offset = 0.0f;
    std::vector<Event> m_events;

private:
    bool Write(const std::string& path, int* error) const;
};
