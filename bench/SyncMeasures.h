// What the real-time playback benchmarks share: the process's CPU time, and picture against
// sound on a flashing movie (tests/support/MovieFileMaker): the clicks found in what SDL's disk
// driver wrote, the flashes found in the video renderer's presentation log, and the two set
// against each other. Times are stream times in 100 ns units unless a name says otherwise.
// Order of use: play to the end with the disk driver capturing, read the renderer's log while
// the graph exists, then compare once the device is closed (closing completes the capture).
// Threading: any one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct IBaseFilter;

// User plus system CPU seconds this process has used so far.
double CpuSeconds();

// The clicks in 16-bit stereo 44.1 kHz device output: the first loud sample after at least
// 0.1 s of quiet, counted from the first sample that is not 0 (the device writes zeros before
// the run starts, and the movie hums between clicks).
std::vector<double> ClickTimes(const std::vector<uint8_t>& capture);

struct Flash {
    size_t number;  // 0 for frame 0, 1 for frame `rate` ...
    double shown_at;
};

// When the video renderer showed each flash picture (frames 0, rate, 2 * rate ...) while
// running, counting frames from the first picture it got; empty when `video_renderer` keeps no
// log. A flash shown only as the still picture of a paused graph is left out.
std::vector<Flash> FlashTimes(IBaseFilter* video_renderer, int rate);

// The frames the video renderer dropped; -1 when it does not say.
int DroppedFrames(IBaseFilter* video_renderer);

struct PictureAgainstSound {
    size_t pairs = 0;
    double mean_ms = 0;   // picture after sound > 0
    double worst_ms = 0;  // the largest in size, with its sign
};

// Pairs flash number n with the n-th click.
PictureAgainstSound ComparePictureToSound(const std::vector<Flash>& flashes,
                                          const std::vector<double>& clicks);

// Sets a real-time benchmark's process up before its QApplication: Qt offscreen (unless a
// platform is chosen), the registry in `folder`, and SDL's disk driver writing what the
// device plays to the file it returns (in `folder`).
std::string UseBenchEnvironment(const std::string& folder);
