// Writes a PCM WAV file: a RIFF "WAVE" form with an 18-byte "fmt " chunk (extra size 18) and
// a "data" chunk whose size, like the RIFF size, is fixed up on Close.
// Order of use: Create, Write any number of times, Close. One thread at a time.
#pragma once

#include <cstdint>
#include <string>

#include "platform/mmio/mmio.h"
#include "platform/mmio/mmreg.h"

class WaveFileWriter {
public:
    WaveFileWriter() = default;
    ~WaveFileWriter();
    WaveFileWriter(const WaveFileWriter&) = delete;
    WaveFileWriter& operator=(const WaveFileWriter&) = delete;

    // Creates (or truncates) the file and writes everything up to the samples. On failure
    // the file is closed and false returned.
    bool Create(const char* path, uint16_t channels, uint32_t samples_per_sec,
                uint16_t bits_per_sample);
    // Appends samples; false once anything could not be written (a full disk).
    bool Write(const void* bytes, uint32_t count);
    // Fixes up the sizes and closes; false when that or any earlier write failed.
    bool Close();
    bool IsOpen() const { return m_file != nullptr; }

private:
    HMMIO m_file = nullptr;
    MMCKINFO m_riff{};
    MMCKINFO m_sub{};
    WAVEFORMATEX m_format{};
    bool m_failed = false;
};
