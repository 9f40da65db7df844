// A render of the stretched audio to a WAV file by one engine: the default one on the
// stretched stream (AudioExport), or another that replays the same map (RubberBandExport).
//
// Progress: whole percentages, 100 exactly once at the end whatever happened. Run blocks;
// call it on a worker thread. Errors come back in the user's words through ErrorMessage.
#pragma once

#include <functional>
#include <string>

class StretchExport {
public:
    using Progress = std::function<void(int percent)>;

    virtual ~StretchExport() = default;
    // True when the output file is complete.
    virtual bool Run(const Progress& progress) = 0;
    virtual const std::string& ErrorMessage() const = 0;
};
