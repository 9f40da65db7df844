// PacketQueue: the compressed packets of one stream on their way from the demuxing thread to
// the stream's delivery thread. Bounded by bytes, so a movie cannot fill memory; the bound is
// loose, because the demuxer feeds every stream in file order and a full queue holds up the
// others.
// Order of use: Reset before streaming; Push ... MarkEnd from the demuxer; Pop from the
// delivery thread; Stop wakes both sides for good (until the next Reset); Close tells the
// demuxer the consumer needs no more (its stream has passed the stop time).
// Threading: any threads.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

struct AVPacket;

class PacketQueue {
public:
    enum class Popped { Packet, End, Stopped };

    PacketQueue() = default;
    ~PacketQueue();
    PacketQueue(const PacketQueue&) = delete;
    PacketQueue& operator=(const PacketQueue&) = delete;

    // Takes the packet's data (leaving it blank); waits while the queue is full. False once
    // stopped. A closed queue drops the packet and answers true.
    bool Push(AVPacket* packet);
    void MarkEnd();
    // Moves the next packet into `packet`; waits for one, the end or a stop.
    Popped Pop(AVPacket* packet);
    void Stop();
    void Close();
    bool IsClosed() const;
    // Empty, open and not stopped.
    void Reset();

private:
    void Clear();

    static constexpr size_t kMaxBytes = 32u << 20;
    static constexpr size_t kMaxPackets = 4096;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<AVPacket*> m_packets;
    size_t m_bytes = 0;
    bool m_end = false;
    bool m_stopped = false;
    bool m_closed = false;
};
