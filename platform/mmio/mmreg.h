// Wave format records and tags, with the Win32 layout (packed, little-endian on disk).
#pragma once

#include "platform/WinTypes.h"

constexpr WORD WAVE_FORMAT_PCM = 0x0001;
constexpr WORD WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

#pragma pack(push, 1)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

// The first 16 bytes of the record, as a "fmt " chunk of plain PCM stores them.
constexpr DWORD kPcmFormatChunkSize = 16;
