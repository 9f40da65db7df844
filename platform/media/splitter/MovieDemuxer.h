// MovieDemuxer: a movie opened with FFmpeg's demuxers over an IAsyncReader. It lists the
// video and audio streams a decoder exists for, tells the movie's length, reads packets in
// file order and seeks to the key frame at or before a time. Times are media times (100 ns
// units) counted from the movie's own start, so the first picture of a movie whose clock
// starts at 0.5 s is at 0.
// Order of use: Open, then ReadPacket / Seek; Close (or destruction) ends it.
// Threading: one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/media/detector/MovieProbe.h"
#include "platform/media/splitter/AsyncReaderIo.h"
#include "platform/media/strmif.h"

struct AVFormatContext;
struct AVPacket;
struct AVStream;

class MovieDemuxer {
public:
    MovieDemuxer();
    ~MovieDemuxer();
    MovieDemuxer(const MovieDemuxer&) = delete;
    MovieDemuxer& operator=(const MovieDemuxer&) = delete;

    // VFW_E_INVALID_FILE_FORMAT when no demuxer takes the bytes, VFW_E_UNSUPPORTED_STREAM when
    // it holds no video or audio stream that can be decoded.
    HRESULT Open(IAsyncReader* reader);
    void Close();
    bool IsOpen() const { return m_context != nullptr; }

    // Indexes of the streams worth a pin, in file order.
    const std::vector<int>& PlayableStreams() const { return m_playable; }
    const AVStream* Stream(int index) const;
    REFERENCE_TIME Duration() const;
    // Where the movie's clock starts, in media time; stream timestamps are counted from there.
    REFERENCE_TIME StartTime() const;
    // What the media detector would report of a stream; false for one no pin carries.
    bool Describe(int index, ProbedStream* probed) const;

    // 0, AVERROR_EOF at the end, another negative code on a read error.
    int ReadPacket(AVPacket* packet);
    // To the key frames a second or more before `position` (the start when none is before it).
    bool Seek(REFERENCE_TIME position);

private:
    bool FindPlayableStreams();
    // The end of the last packet near the end of the file, in media time (0 when unknown), for
    // containers whose length is only estimated from the first timestamps found.
    REFERENCE_TIME ScanEndTime();
    bool IsPlayable(int index) const;

    std::unique_ptr<AsyncReaderIo> m_io;
    AVFormatContext* m_context = nullptr;
    std::vector<int> m_playable;
    int64_t m_start_time = 0;  // AV_TIME_BASE units
    REFERENCE_TIME m_duration = 0;
    int64_t m_data_start = -1;  // the byte where the demuxer began reading packets
};
