#include "engine/PaquetMap.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "engine/StretchEvent.h"
#include "engine/StretchMath.h"

namespace {

// Paquet starts are stored in 32 bits; keep them where alignment cannot leave that range.
constexpr int64_t kMinRealPos = std::numeric_limits<int32_t>::min() + 64;
constexpr int64_t kMaxRealPos = std::numeric_limits<int32_t>::max();
constexpr int64_t kMaxSeekPos = std::numeric_limits<int32_t>::max();

}  // namespace

void PaquetMap::Configure(uint32_t avg_bytes_per_sec, uint32_t block_align, uint32_t data_offset) {
    m_avg_bytes_per_sec = std::max<uint32_t>(avg_bytes_per_sec, 1);
    m_block_align = std::max<uint32_t>(block_align, 1);
    m_data_offset = data_offset;
}

int32_t PaquetMap::OffsetBytes(float seconds, uint32_t sample_rate, uint32_t block_align) {
    const long double bytes = static_cast<long double>(sample_rate) * seconds * block_align;
    int32_t offset = SaturateCast<int32_t>(bytes);
    if (offset == std::numeric_limits<int32_t>::min()) offset += 1;  // |offset| must fit
    if (block_align > 1) offset -= offset % static_cast<int32_t>(block_align);
    return offset;
}

int64_t PaquetMap::VirtualStart(float movie_pos) const {
    const double v = kHeaderLength + static_cast<double>(m_avg_bytes_per_sec) * movie_pos;
    // An event before the movie's start (or NaN) applies from the first data byte.
    return std::max<int64_t>(SaturateCast<uint32_t>(v), kHeaderLength);
}

void PaquetMap::Build(StretchEvent* head) const {
    for (StretchEvent* e = head; e; e = e->m_next) {
        const int64_t v = VirtualStart(e->m_movie_pos);
        int64_t r;
        if (const StretchEvent* p = e->m_prev) {
            const int64_t delta = v - p->m_virtual_byte_pos;
            const float destretched = DestretchedBytes(delta, p->m_tempo);
            r = SaturateCast<int64_t>(static_cast<double>(p->SignedRealBytePos()) +
                                      static_cast<double>(destretched));
        } else {
            r = v - m_offset_bytes;
        }
        r = std::clamp(r, kMinRealPos, kMaxRealPos);
        e->m_audio_pos = static_cast<float>(static_cast<double>(r - m_data_offset) /
                                            static_cast<double>(m_avg_bytes_per_sec));
        const int64_t aligned_r = AlignDown(r, m_data_offset, m_block_align);
        e->m_real_byte_pos = static_cast<uint32_t>(static_cast<int32_t>(aligned_r));
        e->m_virtual_byte_pos = static_cast<uint32_t>(AlignDown(v, kHeaderLength, m_block_align));
    }
}

StretchEvent* PaquetMap::FindCurrent(StretchEvent* head, uint32_t v, bool* in_force) {
    StretchEvent* found = nullptr;
    for (StretchEvent* e = head; e; e = e->m_next) {
        if (e->m_virtual_byte_pos <= v) found = e;
    }
    if (in_force) *in_force = found != nullptr;
    return found ? found : head;
}

int64_t PaquetMap::VirtualPosition(const StretchEvent* head, int64_t source_pos) const {
    const StretchEvent* paquet = nullptr;
    for (const StretchEvent* e = head; e; e = e->m_next) {
        if (e->SignedRealBytePos() <= source_pos) paquet = e;
    }
    if (!paquet) return source_pos + m_offset_bytes;
    const double factor = static_cast<double>(ClampStretch(paquet->m_tempo)) / 100.0 + 1.0;
    return paquet->m_virtual_byte_pos +
           SaturateCast<int64_t>(static_cast<double>(source_pos - paquet->SignedRealBytePos()) /
                                 factor);
}

uint32_t PaquetMap::RealPosition(const StretchEvent* current, uint32_t v) const {
    int64_t r;
    if (current && v >= current->m_virtual_byte_pos) {
        const float destretched =
            DestretchedBytes(v - current->m_virtual_byte_pos, current->m_tempo);
        r = SaturateCast<int64_t>(static_cast<double>(current->SignedRealBytePos()) +
                                  static_cast<double>(destretched));
    } else {
        r = static_cast<int64_t>(v) - m_offset_bytes;
    }
    // Anything that maps before the first sample starts at the first sample.
    r = std::max<int64_t>(r, m_data_offset);
    r = AlignDown(r, m_data_offset, m_block_align);
    return static_cast<uint32_t>(std::min(r, kMaxSeekPos));
}
