// The user's WAV file under a stretched stream: opens and checks it, keeps its format and
// the place of its samples, and reads samples sequentially from any source offset.
// Only 16-bit PCM with 1 to 8 channels is accepted (plain or extensible format records).
// One thread at a time.
#pragma once

#include <cstdint>

#include "platform/mmio/mmio.h"
#include "platform/mmio/mmreg.h"

class SourceWaveReader {
public:
    enum class OpenError { None, CannotOpen, NotWave, UnsupportedFormat, TooLong };

    SourceWaveReader() = default;
    ~SourceWaveReader();
    SourceWaveReader(const SourceWaveReader&) = delete;
    SourceWaveReader& operator=(const SourceWaveReader&) = delete;

    // Opens and parses the file, leaving it at the first sample; closes what was open first.
    // On failure LastError() says why; nothing is shown to the user here.
    bool Open(const char* path);
    OpenError LastError() const { return m_error; }
    void Close();
    bool IsOpen() const { return m_file != nullptr; }

    // The format chunk's first 18 bytes, with the extra-size field set to 18.
    const WAVEFORMATEX& Format() const { return m_format; }
    uint32_t DataLength() const { return m_data_len; }
    uint32_t DataOffset() const { return m_data_offset; }
    // Where the samples really end: the data chunk's end, or the file's when it is shorter.
    int64_t DataEnd() const { return m_data_end; }

    int64_t Position() const;
    bool SeekTo(uint32_t offset);
    // Reads from the current offset, never past the end of the data chunk (nor the file):
    // bytes read, 0 at the end, -1 on an error.
    int32_t Read(void* dst, uint32_t count);

private:
    bool ReadFormat(const MMCKINFO& riff);
    bool FindData(const MMCKINFO& riff);
    bool Fail(OpenError error);

    HMMIO m_file = nullptr;
    WAVEFORMATEX m_format{};
    uint32_t m_data_len = 0;
    uint32_t m_data_offset = 0;
    int64_t m_data_end = 0;
    int64_t m_position = 0;
    OpenError m_error = OpenError::None;
};
