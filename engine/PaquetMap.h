// The stretch map: where each event's paquet starts in the virtual file and in the source,
// and where any virtual position lies in the source. Plain arithmetic on the event list; it
// writes only the events' derived fields.
//
// Units: byte positions. Virtual positions count the 44-byte header; source positions are
// file offsets and share that numbering (with no event and no offset, virtual byte v is
// source byte v). A worked number: at 44,100 Hz stereo (A = 176,400 bytes/s), an event at
// 2.0 s starts at virtual byte 44 + 352,800 = 352,844.
#pragma once

#include <cstdint>

class StretchEvent;

class PaquetMap {
public:
    static constexpr uint32_t kHeaderLength = 44;

    // A = average bytes per second; frames of `block_align` bytes; samples from `data_offset`.
    void Configure(uint32_t avg_bytes_per_sec, uint32_t block_align, uint32_t data_offset);
    // Bytes of offset for `seconds` of audio: truncated toward zero to whole frames, saturated.
    static int32_t OffsetBytes(float seconds, uint32_t sample_rate, uint32_t block_align);
    void SetOffsetBytes(int32_t offset_bytes) { m_offset_bytes = offset_bytes; }

    // Computes every event's paquet from the list as it stands.
    void Build(StretchEvent* head) const;
    // The last event whose paquet starts at or before v; else the head, not yet in force.
    static StretchEvent* FindCurrent(StretchEvent* head, uint32_t v, bool* in_force);
    // The source offset to read virtual position v from, with `current` the paquet in force.
    uint32_t RealPosition(const StretchEvent* current, uint32_t v) const;
    // The inverse: the virtual position at which source offset `source_pos` is played.
    int64_t VirtualPosition(const StretchEvent* head, int64_t source_pos) const;

private:
    int64_t VirtualStart(float movie_pos) const;

    uint32_t m_avg_bytes_per_sec = 1;
    uint32_t m_block_align = 1;
    uint32_t m_data_offset = kHeaderLength;
    int32_t m_offset_bytes = 0;
};
