// WaveTimeline: the arithmetic between a WAV file's sample bytes and media time. Times are in
// 100 ns units, derived from the average bytes per second; byte positions are absolute in the
// file and fall on the block grid (one block is one frame of every channel).
// Worked number: 16-bit stereo at 44,100 Hz has 4-byte blocks and 176,400 bytes a second, so
// 1.5 s (15,000,000) is 264,600 bytes after the data start.
// Threading: a value; one thread at a time.
#pragma once

#include <cstdint>

class WaveTimeline {
public:
    WaveTimeline() = default;
    WaveTimeline(int64_t data_offset, int64_t data_size, uint32_t avg_bytes_per_sec,
                 uint32_t block_align);

    bool IsValid() const { return m_avg_bytes > 0 && m_block > 0; }
    int64_t DataOffset() const { return m_offset; }
    int64_t DataEnd() const { return m_offset + m_size; }
    uint32_t BlockAlign() const { return m_block; }

    int64_t Duration() const { return TimeOfBytes(m_size); }
    // The first byte to play for a start time: on the block grid at or before it.
    int64_t StartByte(int64_t time) const;
    // The byte a stop time ends at: on the grid at or after it, at most the data end.
    int64_t StopByte(int64_t time) const;
    // How long `bytes` of samples last.
    int64_t TimeOfBytes(int64_t bytes) const;
    // A delivery buffer's size: about a quarter second of whole blocks.
    int64_t ChunkBytes() const;

private:
    // Bytes from the data start for a time, before any rounding to the grid.
    int64_t RawBytes(int64_t time, bool round_up) const;

    int64_t m_offset = 0;
    int64_t m_size = 0;
    uint32_t m_avg_bytes = 0;
    uint32_t m_block = 0;
};
