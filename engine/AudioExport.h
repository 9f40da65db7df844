// Renders the stretched audio — leading silence of a positive offset, then the source
// stretched by the process's event list — into a new WAV file, without the media framework.
// The file is written under a temporary name in the output's folder and renamed over the
// target only when complete, so a failed export leaves any earlier file untouched.
//
// Progress: 0 to 99 as the output grows against the length the map predicts, then 100
// exactly once, at the end, whatever happened. Run blocks; call it on a worker thread. It
// uses a private stream over its own copy of the event list, taken when it is constructed, so
// the current (playback) stream, its map and the events' fields stay as they are.
// Threading: construct where the event list is edited (or with no edit under way).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/StretchEvent.h"
#include "engine/StretchExport.h"

struct ExportRequest {
    std::string audio_path;
    std::string output_path;
    float offset_seconds = 0.0f;
};

class AudioExport : public StretchExport {
public:
    static constexpr uint32_t kBlockSize = 2 * 1024 * 1024;

    explicit AudioExport(ExportRequest request);

    // True when the output file is complete; otherwise ErrorMessage() says why, for the user.
    bool Run(const Progress& progress) override;
    const std::string& ErrorMessage() const override { return m_error; }
    uint64_t BytesWritten() const { return m_bytes_written; }

private:
    bool Render(const Progress& progress);
    bool Fail(std::string message);

    struct ListDeleter {
        void operator()(StretchEvent* head) const { delete head; }  // and the events after it
    };

    const ExportRequest m_request;
    std::unique_ptr<StretchEvent, ListDeleter> m_events;  // head of the copy
    StretchEvent* m_events_head = nullptr;                // the slot the stream reads
    std::string m_error;
    uint64_t m_bytes_written = 0;
};
