// The movie's side of a fit: decodes the movie's sound through the media framework — a graph
// of "File Source (Async.)", the movie splitter and a MovieSoundSink on the splitter's sound
// pin (the pictures are left unconnected, so they are not decoded) — run without a clock, so
// it goes as fast as it decodes, into SoundFeatures at the fitting rate. Reports progress by
// the stream time reached against the movie's duration; a raised cancel flag stops the graph.
// Order of use: construct, Read once. Runs on the calling thread (the graph's threads work
// meanwhile); initialises COM for its own use.
#pragma once

#include <string>

#include "engine/fit/SoundFeatures.h"

class FitProgress;

class MovieFeatureReader {
public:
    // False when the movie cannot be used (Error() says why, for the user) or when cancelled.
    bool Read(const std::string& path, FitProgress& progress, SoundFeatures* features);
    const std::string& Error() const { return m_error; }

private:
    bool Fail(const std::string& path, const std::string& why);

    std::string m_error;
};
