// A movie file whose sound is a fit scenario's movie sound: an AVI (MJPEG with 16-bit PCM at
// the scenario's rate) as long as the scenario. Order of use: after DubScenario::Make.
#pragma once

#include <string>

#include "tests/engine/fit/DubScenario.h"

// Writes the movie to `path` with the sound on `channels` channels; false with `error` set
// when FFmpeg cannot make it.
bool MakeScenarioMovie(const DubScenario& scenario, const std::string& path, int channels,
                       std::string* error);

// The scenario made in `folder` (DubScenario::Make) with its movie as `folder`/movie.avi, mono:
// the paths of the movie and of the dub WAV; false with `error` set when either fails.
bool MakeScenarioFiles(DubScenario& scenario, const std::string& folder, std::string* movie,
                       std::string* wav, std::string* error);
