#include "engine/StretchedWaveStream.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "engine/StretchEvent.h"
#include "platform/ui/MessageBox.h"

namespace {

std::atomic<StretchedWaveStream*> g_current_stream{nullptr};

void StoreLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void StoreLe32(uint8_t* p, uint32_t v) {
    StoreLe16(p, static_cast<uint16_t>(v));
    StoreLe16(p + 2, static_cast<uint16_t>(v >> 16));
}

}  // namespace

StretchedWaveStream* CurrentStream() {
    return g_current_stream.load();
}

void ReleaseCurrentStream(StretchedWaveStream* stream) {
    g_current_stream.compare_exchange_strong(stream, nullptr);
}

StretchedWaveStream::StretchedWaveStream(Role role)
    : m_role(role), m_out_buf(std::make_unique<uint8_t[]>(kChunkSize)) {
    if (m_role == Role::Current) g_current_stream.store(this);
}

StretchedWaveStream::~StretchedWaveStream() {
    Close();
    if (m_role == Role::Current) ReleaseCurrentStream(this);
}

StretchEvent* StretchedWaveStream::ListHead() const {
    StretchEvent** slot = m_list ? m_list : CurrentEventList();
    return slot ? *slot : nullptr;
}

bool StretchedWaveStream::Open(const char* path) {
    Close();
    m_virtual_byte_pos = 0;
    if (!m_source.Open(path)) return false;
    m_data_len = m_source.DataLength();
    m_data_offset = m_source.DataOffset();
    if (!InitProcessing()) {
        Close();
        return false;
    }
    Rewind();
    m_is_open = true;
    return true;
}

void StretchedWaveStream::ReportOpenError() const {
    if (m_role == Role::Current && m_source.LastError() == SourceWaveReader::OpenError::TooLong) {
        MessageBoxA(nullptr, "Audio file is too long !", "Opening Error", MB_OK | MB_ICONERROR);
    }
}

void StretchedWaveStream::Close() {
    m_is_open = false;
    m_source.Close();
    m_read_buf.reset();
    m_current_paquet = nullptr;
    m_out_avail = 0;
    m_out_index = 0;
}

bool StretchedWaveStream::InitProcessing() {
    const WAVEFORMATEX& src = m_source.Format();
    m_out_format.wFormatTag = WAVE_FORMAT_PCM;
    m_out_format.nChannels = src.nChannels;
    m_out_format.nSamplesPerSec = src.nSamplesPerSec;
    m_out_format.wBitsPerSample = 16;
    m_out_format.nBlockAlign = static_cast<WORD>(src.nChannels * 2);
    m_out_format.nAvgBytesPerSec = src.nSamplesPerSec * m_out_format.nBlockAlign;
    m_out_format.cbSize = sizeof(WAVEFORMATEX);

    m_read_buf = std::make_unique<uint8_t[]>(m_read_chunk);
    ResetProcessing();
    if (!m_processor.Configure(m_out_format.nSamplesPerSec, m_out_format.nChannels)) {
        return false;
    }
    m_map.Configure(m_out_format.nAvgBytesPerSec, m_out_format.nBlockAlign, m_data_offset);
    m_current_paquet = nullptr;
    must_change_tempo = true;
    SetOffset(0);
    return true;
}

void StretchedWaveStream::SetSourcePiece(uint32_t bytes) {
    // At least one frame of the widest format, so that a piece is never empty.
    m_read_chunk = std::clamp<uint32_t>(bytes, 2 * TimeStretcher::kMaxChannels, kChunkSize);
    if (m_read_buf) m_read_buf = std::make_unique<uint8_t[]>(m_read_chunk);
}

void StretchedWaveStream::ResetProcessing() {
    m_out_index = 0;
    m_out_avail = 0;
    m_processor.Clear();
}

void StretchedWaveStream::SetOffset(float seconds) {
    m_offset_seconds = seconds;
    if (!m_source.IsOpen()) return;
    offset_virtual_byte_len =
        PaquetMap::OffsetBytes(seconds, m_out_format.nSamplesPerSec, m_out_format.nBlockAlign);
    m_silence_start = kHeaderLength;
    m_silence_end = kHeaderLength + static_cast<uint32_t>(std::abs(offset_virtual_byte_len));
    m_map.SetOffsetBytes(offset_virtual_byte_len);
    BuildPaquets();
    FindCurrentPaquet();
    Seek(m_virtual_byte_pos, true);
}

void StretchedWaveStream::BuildPaquets() {
    m_map.Build(ListHead());
}

void StretchedWaveStream::FindCurrentPaquet() {
    m_current_paquet = PaquetMap::FindCurrent(ListHead(), m_virtual_byte_pos, &must_change_tempo);
}

bool StretchedWaveStream::Seek(uint32_t virtual_pos, bool force) {
    if (!m_source.IsOpen()) return false;
    if (virtual_pos == m_virtual_byte_pos && !force) return true;
    m_virtual_byte_pos = virtual_pos;
    FindCurrentPaquet();
    ResetProcessing();
    return m_source.SeekTo(m_map.RealPosition(m_current_paquet, virtual_pos));
}

bool StretchedWaveStream::Rewind() {
    return Seek(m_data_offset, false);
}

uint32_t StretchedWaveStream::GetVirtualSize() const {
    return m_data_len;
}

uint64_t StretchedWaveStream::GetExpectedOutputLength() const {
    if (!m_is_open) return 0;
    const int64_t end = m_map.VirtualPosition(ListHead(), m_source.DataEnd());
    return static_cast<uint64_t>(std::max<int64_t>(end - m_data_offset, 0));
}

uint32_t StretchedWaveStream::ReadHeader(uint8_t* dst, uint32_t count) const {
    uint8_t header[kHeaderLength];
    std::memcpy(header, "RIFF", 4);
    StoreLe32(header + 4, m_data_len + 36);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    StoreLe32(header + 16, kPcmFormatChunkSize);
    StoreLe16(header + 20, m_out_format.wFormatTag);
    StoreLe16(header + 22, m_out_format.nChannels);
    StoreLe32(header + 24, m_out_format.nSamplesPerSec);
    StoreLe32(header + 28, m_out_format.nAvgBytesPerSec);
    StoreLe16(header + 32, m_out_format.nBlockAlign);
    StoreLe16(header + 34, m_out_format.wBitsPerSample);
    std::memcpy(header + 36, "data", 4);
    StoreLe32(header + 40, m_data_len);
    const uint32_t n = std::min(kHeaderLength - m_virtual_byte_pos, count);
    std::memcpy(dst, header + m_virtual_byte_pos, n);
    return n;
}

uint32_t StretchedWaveStream::Read(void* dst, uint32_t count) {
    if (!m_is_open || !dst) return 0;
    auto* out = static_cast<uint8_t*>(dst);
    uint32_t delivered = 0;
    while (delivered < count) {
        const uint32_t wanted = count - delivered;
        if (m_virtual_byte_pos < kHeaderLength) {
            const uint32_t n = ReadHeader(out + delivered, wanted);
            delivered += n;
            if (n == wanted) {
                m_virtual_byte_pos += n;
            } else {
                Seek(m_virtual_byte_pos + n, false);  // processing starts afresh at byte 44
            }
            continue;
        }
        if (offset_virtual_byte_len > 0 && m_silence_start <= m_virtual_byte_pos &&
            m_virtual_byte_pos < m_silence_end) {
            const uint32_t n = std::min(m_silence_end - m_virtual_byte_pos, wanted);
            std::memset(out + delivered, 0, n);
            m_virtual_byte_pos += n;
            delivered += n;
            continue;
        }
        if (m_out_index == m_out_avail && !Refill()) break;
        // The virtual file cannot run past 4 GiB; a position must never wrap into the header.
        const uint32_t room = std::numeric_limits<uint32_t>::max() - m_virtual_byte_pos;
        if (room == 0) break;
        const uint32_t n = std::min({m_out_avail - m_out_index, wanted, room});
        std::memcpy(out + delivered, m_out_buf.get() + m_out_index, n);
        m_out_index += n;
        m_virtual_byte_pos += n;
        delivered += n;
    }
    return delivered;
}

bool StretchedWaveStream::Refill() {
    const uint32_t frame = m_out_format.nBlockAlign;
    const int64_t cur = m_source.Position();
    if (m_processor.NumSamples() == 0) {
        // Whole frames only: with three, five, six or seven channels the chunk is not.
        uint32_t n = m_read_chunk - m_read_chunk % frame;
        ApplyReachedPaquets(cur);
        if (m_current_paquet) {
            const int64_t boundary = m_current_paquet->SignedRealBytePos();
            if (cur < boundary && boundary <= cur + n) {
                n = static_cast<uint32_t>(boundary - cur);  // end the read at the boundary
                must_change_tempo = true;
            }
        }
        const int32_t got = m_source.Read(m_read_buf.get(), n);
        if (got <= 0) return false;
        m_processor.PutSamples(m_read_buf.get(), static_cast<uint32_t>(got) / frame);
    }
    const uint32_t frames = m_processor.ReceiveSamples(m_out_buf.get(), m_out_buf_size / frame);
    m_out_avail = frames * frame;
    m_out_index = 0;
    return true;
}

// Applies the tempo of the paquet the read has reached, then of every later paquet that
// starts at or before the read position too (two events at one movie position, a paquet the
// stretch makes empty, a paquet that starts before the first sample): such a paquet never
// meets the boundary that shortens a read, and must not hold back the ones after it.
void StretchedWaveStream::ApplyReachedPaquets(int64_t source_pos) {
    if (m_current_paquet && must_change_tempo) {
        m_processor.SetStretch(m_current_paquet->m_tempo);
        must_change_tempo = false;
        m_current_paquet = m_current_paquet->m_next;
    }
    while (m_current_paquet && m_current_paquet->SignedRealBytePos() <= source_pos) {
        m_processor.SetStretch(m_current_paquet->m_tempo);
        m_current_paquet = m_current_paquet->m_next;
    }
}
