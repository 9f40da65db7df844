// The second render engine: the same map as the stretched stream (StretchTimeMap), rendered
// through the Rubber Band library, offline, with the pitch kept. Its standard engine is the
// one used: the finer engine strays from a key-frame map by up to 90 ms (measured on clicks),
// where this one stays within 10 ms. The output has the stream's leading silence and every
// source frame where the map puts it; unlike the stream it also plays out the last samples.
// Built only when the library is found.
//
// Order of use: make the event list the process's current one, construct, Run (blocks: the
// library studies the whole source, then stretches it). One thread.
#pragma once

#include <cstdint>
#include <string>

#include "engine/AudioExport.h"
#include "engine/StretchExport.h"

class StretchTimeMap;

class RubberBandExport : public StretchExport {
public:
    explicit RubberBandExport(ExportRequest request);

    bool Run(const Progress& progress) override;
    const std::string& ErrorMessage() const override { return m_error; }
    uint64_t FramesWritten() const { return m_frames_written; }

private:
    bool Render(const Progress& progress);
    bool Fail(std::string message);

    const ExportRequest m_request;
    std::string m_error;
    uint64_t m_frames_written = 0;
};
