#include "engine/SourceWaveReader.h"

#include <algorithm>
#include <cstring>

#include "engine/TimeStretcher.h"

namespace {

constexpr uint32_t kMaxDataLength = 0x7FFFFFFF;
constexpr uint32_t kMinSampleRate = 1000;
constexpr uint32_t kMaxSampleRate = 768000;
constexpr uint32_t kMinFormatSize = 16;
constexpr uint32_t kExtensibleFormatSize = 40;
constexpr size_t kSubFormatOffset = 24;

// KSDATAFORMAT_SUBTYPE_PCM, {00000001-0000-0010-8000-00AA00389B71}, as stored in a file.
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool IsPcmTag(const uint8_t* chunk, uint32_t size, WORD tag) {
    if (tag == WAVE_FORMAT_PCM) return true;
    return tag == WAVE_FORMAT_EXTENSIBLE && size >= kExtensibleFormatSize &&
           std::memcmp(chunk + kSubFormatOffset, kPcmSubFormat, sizeof kPcmSubFormat) == 0;
}

bool IsStretchable(const WAVEFORMATEX& f) {
    return f.wBitsPerSample == 16 && f.nChannels >= 1 &&
           f.nChannels <= TimeStretcher::kMaxChannels && f.nBlockAlign == f.nChannels * 2 &&
           f.nSamplesPerSec >= kMinSampleRate && f.nSamplesPerSec <= kMaxSampleRate;
}

}  // namespace

SourceWaveReader::~SourceWaveReader() {
    Close();
}

bool SourceWaveReader::Open(const char* path) {
    Close();
    m_error = OpenError::None;
    m_file = mmioOpenA(path, nullptr, MMIO_READ | MMIO_ALLOCBUF);
    if (!m_file) return Fail(OpenError::CannotOpen);
    MMCKINFO riff;
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(m_file, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR) {
        return Fail(OpenError::NotWave);
    }
    if (!ReadFormat(riff) || !FindData(riff)) return false;
    m_position = m_data_offset;
    return true;
}

bool SourceWaveReader::Fail(OpenError error) {
    Close();
    m_error = error;
    return false;
}

bool SourceWaveReader::ReadFormat(const MMCKINFO& riff) {
    MMCKINFO fmt;
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(m_file, &fmt, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) {
        return Fail(OpenError::NotWave);
    }
    if (fmt.cksize < kMinFormatSize) return Fail(OpenError::UnsupportedFormat);
    // Read what the checks need (an extensible record's sub-format) and no more.
    uint8_t chunk[kExtensibleFormatSize] = {};
    const uint32_t wanted = std::min(fmt.cksize, kExtensibleFormatSize);
    if (mmioRead(m_file, reinterpret_cast<HPSTR>(chunk), static_cast<LONG>(wanted)) !=
        static_cast<LONG>(wanted)) {
        return Fail(OpenError::NotWave);
    }
    std::memcpy(&m_format, chunk, sizeof m_format);
    m_format.cbSize = sizeof m_format;
    if (!IsPcmTag(chunk, wanted, m_format.wFormatTag) || !IsStretchable(m_format)) {
        return Fail(OpenError::UnsupportedFormat);
    }
    if (mmioAscend(m_file, &fmt, 0) != MMSYSERR_NOERROR) return Fail(OpenError::NotWave);
    return true;
}

bool SourceWaveReader::FindData(const MMCKINFO& riff) {
    MMCKINFO data;
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(m_file, &data, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) {
        return Fail(OpenError::NotWave);
    }
    if (data.cksize > kMaxDataLength) return Fail(OpenError::TooLong);
    const LONG offset = mmioSeek(m_file, 0, SEEK_CUR);
    if (offset < 0) return Fail(OpenError::CannotOpen);
    m_data_len = data.cksize;
    m_data_offset = static_cast<uint32_t>(offset);
    const LONG file_end = mmioSeek(m_file, 0, SEEK_END);
    m_data_end = static_cast<int64_t>(m_data_offset) + m_data_len;
    if (file_end >= 0) m_data_end = std::min<int64_t>(m_data_end, file_end);
    if (mmioSeek(m_file, offset, SEEK_SET) != offset) return Fail(OpenError::CannotOpen);
    return true;
}

void SourceWaveReader::Close() {
    if (m_file) mmioClose(m_file, 0);
    m_file = nullptr;
    m_format = {};
    m_data_len = 0;
    m_data_offset = 0;
    m_data_end = 0;
    m_position = 0;
}

int64_t SourceWaveReader::Position() const {
    return m_position;
}

bool SourceWaveReader::SeekTo(uint32_t offset) {
    if (!m_file || offset > 0x7FFFFFFF) return false;
    if (mmioSeek(m_file, static_cast<LONG>(offset), SEEK_SET) < 0) return false;
    m_position = offset;
    return true;
}

int32_t SourceWaveReader::Read(void* dst, uint32_t count) {
    if (!m_file) return -1;
    // Chunks after the samples (tags, cue points) are not audio.
    const int64_t room = std::max<int64_t>(m_data_end - m_position, 0);
    const auto wanted = static_cast<LONG>(std::min<int64_t>({count, room, 0x7FFFFFFF}));
    if (wanted == 0) return 0;
    const LONG got = mmioRead(m_file, static_cast<HPSTR>(dst), wanted);
    if (got > 0) m_position += got;
    return got;
}
