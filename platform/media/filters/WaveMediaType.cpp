#include "platform/media/filters/WaveMediaType.h"

#include <algorithm>
#include <cstring>

#include "platform/media/uuids.h"
#include "platform/mmio/mmreg.h"

namespace {

constexpr size_t kRecordSize = sizeof(WAVEFORMATEX);  // 18
constexpr size_t kSubFormatAt = 24;                   // in an extensible record
constexpr uint16_t kExtensibleExtra = 22;

uint16_t Word(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t Dword(const std::vector<uint8_t>& bytes, size_t at) {
    return Word(bytes, at) | (static_cast<uint32_t>(Word(bytes, at + 2)) << 16);
}

// The record as a WAVEFORMATEX with its extra bytes, cbSize kept within what the chunk holds.
std::vector<uint8_t> CompleteRecord(const std::vector<uint8_t>& chunk) {
    std::vector<uint8_t> record(chunk.begin(), chunk.begin() + std::min(chunk.size(), kRecordSize));
    record.resize(kRecordSize, 0);
    const size_t extra_held = chunk.size() > kRecordSize ? chunk.size() - kRecordSize : 0;
    const size_t extra = std::min<size_t>(Word(record, 16), extra_held);
    record.insert(record.end(), chunk.begin() + kRecordSize,
                  chunk.begin() + static_cast<std::ptrdiff_t>(kRecordSize + extra));
    record[16] = static_cast<uint8_t>(extra);
    record[17] = static_cast<uint8_t>(extra >> 8);
    return record;
}

}  // namespace

GUID WaveMediaType::SubtypeFor(const std::vector<uint8_t>& record) {
    const uint16_t tag = Word(record, 0);
    if (tag == WAVE_FORMAT_EXTENSIBLE && Word(record, 16) >= kExtensibleExtra &&
        record.size() >= kSubFormatAt + sizeof(GUID)) {
        GUID sub_format{};
        sub_format.Data1 = Dword(record, kSubFormatAt);
        sub_format.Data2 = Word(record, kSubFormatAt + 4);
        sub_format.Data3 = Word(record, kSubFormatAt + 6);
        std::memcpy(sub_format.Data4, record.data() + kSubFormatAt + 8, 8);
        return sub_format;
    }
    // Every other tag names its subtype the same way: the tag in the first field of the
    // audio subtype base {0000xxxx-0000-0010-8000-00AA00389B71}.
    GUID subtype = MEDIASUBTYPE_PCM;
    subtype.Data1 = tag;
    return subtype;
}

bool WaveMediaType::FromFormatChunk(const std::vector<uint8_t>& chunk, CMediaType* type) {
    if (!type || chunk.size() < 16) return false;
    const std::vector<uint8_t> record = CompleteRecord(chunk);
    const uint16_t channels = Word(record, 2);
    const uint32_t rate = Dword(record, 4);
    const uint32_t avg_bytes = Dword(record, 8);
    const uint16_t block_align = Word(record, 12);
    if (channels == 0 || rate == 0 || avg_bytes == 0 || block_align == 0) return false;

    CMediaType audio(&MEDIATYPE_Audio);
    const GUID subtype = SubtypeFor(record);
    audio.SetSubtype(&subtype);
    audio.SetFormatType(&FORMAT_WaveFormatEx);
    audio.SetSampleSize(block_align);
    audio.SetTemporalCompression(FALSE);
    if (!audio.SetFormat(record.data(), static_cast<ULONG>(record.size()))) return false;
    return SUCCEEDED(type->Set(audio));
}
