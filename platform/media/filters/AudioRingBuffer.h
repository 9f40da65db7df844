// AudioRingBuffer: the bytes between the audio renderer's Receive and the device callback.
// One producer (the streaming thread) writes, one consumer (the device callback) reads; no
// lock is taken and nothing is allocated after Allocate, so the callback never waits.
// Order of use: Allocate (stopped), then Write / Read from their own threads; Clear only while
// both sides are held off (the renderer holds the receive lock and the device lock).
// Reads come in whole frames of `block_align` bytes, so the channels never slip even when a
// write ends in the middle of a frame.
// Threading: Write on one thread, Read on one other thread; the counters may be read anywhere.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

class AudioRingBuffer {
public:
    // Capacity is rounded up to whole frames. False when the sizes make no sense.
    bool Allocate(size_t capacity, size_t block_align);
    void Release();

    // Copies as much of `data` as fits; returns the bytes taken.
    size_t Write(const uint8_t* data, size_t size);
    // Copies up to `size` bytes, in whole frames; returns the bytes given.
    size_t Read(uint8_t* data, size_t size);
    void Clear();

    size_t Capacity() const { return m_buffer.size(); }
    size_t Queued() const;
    size_t Free() const { return Capacity() - Queued(); }
    size_t BlockAlign() const { return m_block_align; }

private:
    std::vector<uint8_t> m_buffer;
    size_t m_block_align = 1;
    // Running byte counts; their difference is what is queued.
    std::atomic<uint64_t> m_written{0};
    std::atomic<uint64_t> m_read{0};
};
