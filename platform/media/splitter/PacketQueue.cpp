#include "platform/media/splitter/PacketQueue.h"

extern "C" {
#include <libavcodec/packet.h>
}

PacketQueue::~PacketQueue() {
    Clear();
}

bool PacketQueue::Push(AVPacket* packet) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] {
        return m_stopped || m_closed || (m_bytes < kMaxBytes && m_packets.size() < kMaxPackets);
    });
    if (m_stopped) return false;
    if (m_closed) {
        av_packet_unref(packet);
        return true;
    }
    AVPacket* held = av_packet_alloc();
    if (!held) return false;
    av_packet_move_ref(held, packet);
    m_bytes += static_cast<size_t>(held->size);
    m_packets.push_back(held);
    m_changed.notify_all();
    return true;
}

void PacketQueue::MarkEnd() {
    std::lock_guard lock(m_mutex);
    m_end = true;
    m_changed.notify_all();
}

PacketQueue::Popped PacketQueue::Pop(AVPacket* packet) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_stopped || !m_packets.empty() || m_end; });
    if (m_stopped) return Popped::Stopped;
    if (m_packets.empty()) return Popped::End;
    AVPacket* held = m_packets.front();
    m_packets.pop_front();
    m_bytes -= static_cast<size_t>(held->size);
    av_packet_move_ref(packet, held);
    av_packet_free(&held);
    m_changed.notify_all();
    return Popped::Packet;
}

void PacketQueue::Stop() {
    std::lock_guard lock(m_mutex);
    m_stopped = true;
    m_changed.notify_all();
}

void PacketQueue::Close() {
    std::lock_guard lock(m_mutex);
    m_closed = true;
    m_changed.notify_all();
}

bool PacketQueue::IsClosed() const {
    std::lock_guard lock(m_mutex);
    return m_closed;
}

void PacketQueue::Reset() {
    std::lock_guard lock(m_mutex);
    Clear();
    m_end = m_stopped = m_closed = false;
}

void PacketQueue::Clear() {
    for (AVPacket* held : m_packets)
        av_packet_free(&held);
    m_packets.clear();
    m_bytes = 0;
}
