// Where a container's last packets end, for files whose container only estimates its
// duration (an MPEG program stream whose last pictures carry no time stamp): the movie
// splitter plays to there, and the media detector reports the same length.
// Threading: the caller's, on a context no other thread uses.
#pragma once

#include <cstdint>
#include <functional>

struct AVFormatContext;

// The end of the last packet, among the streams `counted` accepts, in the file's last MiB, in
// AV_TIME_BASE units from `start` (AV_TIME_BASE units); 0 when the tail cannot be read. The
// context is left positioned in the tail: seek before reading on.
int64_t LastPacketEnd(AVFormatContext* context, int64_t start,
                      const std::function<bool(int stream)>& counted);
