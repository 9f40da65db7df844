// A movie's own sound as a WAV: its first sound stream decoded by FFmpeg and written as 16-bit
// stereo 44.1 kHz PCM, the way a user would export it to re-time it. The benchmarks play it
// through the stretched chain in place of the movie's sound.
// Threading: any thread.
#pragma once

#include <string>

// False, with the reason in `error`, when the movie has no sound that FFmpeg can decode.
bool WriteMovieSoundAsWav(const std::string& movie, const std::string& wav, std::string* error);
