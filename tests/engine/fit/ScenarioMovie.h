// A movie file whose sound is a fit scenario's movie sound: an AVI (MJPEG with 16-bit PCM at
// the scenario's rate) as long as the scenario. Order of use: after DubScenario::Make.
#pragma once

#include <string>

#include "tests/engine/fit/DubScenario.h"

// Writes the movie to `path` with the sound on `channels` channels; false with `error` set
// when FFmpeg cannot make it.
bool MakeScenarioMovie(const DubScenario& scenario, const std::string& path, int channels,
                       std::string* error);
