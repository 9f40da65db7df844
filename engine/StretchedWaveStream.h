// The source WAV, time-stretched by the process's event list, as a virtual WAV file that can
// be read from any byte: a 44-byte header, leading silence for a positive offset, then
// 16-bit PCM made on demand by the time-stretch processor.
//
// Order of use: construct, Open, SetOffset (whenever the offset or the event list changed),
// then Seek and Read in any order; Close or destroy. A stream constructed as the current one
// is what CurrentStream() returns until another is constructed or it is destroyed. A failed
// Open tells the user nothing: ReportOpenError does, once every lock is released.
//
// Threading: no lock of its own. Open, Read, Seek and SetOffset must not overlap, and edits
// of the event list must not overlap a call that walks it (SetOffset, Seek, Read).
#pragma once

#include <cstdint>
#include <memory>

#include "engine/PaquetMap.h"
#include "engine/SourceWaveReader.h"
#include "engine/TimeStretcher.h"
#include "platform/mmio/mmreg.h"

class StretchEvent;

class StretchedWaveStream {
public:
    enum class Role { Current, Private };

    // A Private stream (an export's) neither becomes nor clears the current stream, and tells
    // the user nothing itself: its caller reads GetOpenError.
    explicit StretchedWaveStream(Role role = Role::Current);
    virtual ~StretchedWaveStream();
    StretchedWaveStream(const StretchedWaveStream&) = delete;
    StretchedWaveStream& operator=(const StretchedWaveStream&) = delete;

    // Reads the list whose head slot is given instead of the process's one (null: that one
    // again). The export's stream reads its own copy, so that the positions it derives never
    // reach the events the playback stream and the window read.
    void SetEventList(StretchEvent** head) { m_list = head; }
    bool Open(const char* path);
    // After a failed Open, for the playback stream: tells the user what they must act on
    // ("Audio file is too long !"). Call it holding no lock: the box runs an event loop.
    void ReportOpenError() const;
    void Close();
    // Bytes delivered; fewer than asked only once the source has ended.
    uint32_t Read(void* dst, uint32_t count);
    // Makes virtual_pos current and restarts processing there (not when already there,
    // unless forced). False when the source cannot be positioned.
    bool Seek(uint32_t virtual_pos, bool force);
    bool Rewind();  // to the first sample
    // Takes the offset and rebuilds the map from the event list; processing restarts.
    void SetOffset(float seconds);
    uint32_t GetVirtualSize() const;  // the source's data size, as the header declares
    // About how many bytes Read yields from Rewind to the end, by the current map.
    uint64_t GetExpectedOutputLength() const;

    bool IsOpen() const { return m_is_open; }
    SourceWaveReader::OpenError GetOpenError() const { return m_source.LastError(); }
    uint16_t GetChannels() const { return m_out_format.nChannels; }
    uint32_t GetSampleRate() const { return m_out_format.nSamplesPerSec; }
    uint16_t GetBlockAlign() const { return m_out_format.nBlockAlign; }
    uint32_t GetDataOffset() const { return m_data_offset; }
    const WAVEFORMATEX& GetOutputFormat() const { return m_out_format; }
    float GetOffset() const { return m_offset_seconds; }
    int32_t GetOffsetBytes() const { return offset_virtual_byte_len; }
    uint32_t GetPosition() const { return m_virtual_byte_pos; }
    int64_t GetSourcePosition() const { return m_source.Position(); }  // file offset
    int64_t GetSourceEnd() const { return m_source.DataEnd(); }        // file offset

    // How much source one refill stretches at most. At -95 % a piece yields twenty times its
    // length, so a small piece keeps every read short; the output does not depend on it.
    // Tests compare against whole-chunk pieces.
    void SetSourcePiece(uint32_t bytes);

    static constexpr uint32_t kHeaderLength = PaquetMap::kHeaderLength;
    static constexpr uint32_t kChunkSize = 102400;  // the output buffer, and the largest piece
    static constexpr uint32_t kSourcePiece = 4096;

private:
    StretchEvent* ListHead() const;
    bool InitProcessing();
    void ResetProcessing();
    void BuildPaquets();
    void FindCurrentPaquet();
    uint32_t ReadHeader(uint8_t* dst, uint32_t count) const;
    bool Refill();
    void ApplyReachedPaquets(int64_t source_pos);

    const Role m_role;
    StretchEvent** m_list = nullptr;
    SourceWaveReader m_source;
    TimeStretcher m_processor;
    PaquetMap m_map;
    bool m_is_open = false;
    uint32_t m_data_len = 0;
    uint32_t m_data_offset = 0;

    WAVEFORMATEX m_out_format{};
    uint32_t m_virtual_byte_pos = 0;
    float m_offset_seconds = 0;
    int32_t offset_virtual_byte_len = 0;
    uint32_t m_silence_start = kHeaderLength;
    uint32_t m_silence_end = kHeaderLength;
    StretchEvent* m_current_paquet = nullptr;
    bool must_change_tempo = false;

    uint32_t m_read_chunk = kSourcePiece;
    std::unique_ptr<uint8_t[]> m_read_buf;
    const uint32_t m_out_buf_size = kChunkSize;
    std::unique_ptr<uint8_t[]> m_out_buf;
    uint32_t m_out_avail = 0;
    uint32_t m_out_index = 0;
};

// The playback stream: the most recently constructed current stream, or null.
StretchedWaveStream* CurrentStream();
// Makes CurrentStream() null if it is `stream`; another current stream stays current.
void ReleaseCurrentStream(StretchedWaveStream* stream);
