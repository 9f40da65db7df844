// Makes WAV files for tests, well-formed or deliberately broken: any format record, extra
// chunks before or after the samples, a form type or a data size that lies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class WavFileBuilder {
public:
    WavFileBuilder& Channels(uint16_t channels);
    WavFileBuilder& Rate(uint32_t rate);
    WavFileBuilder& Bits(uint16_t bits);
    WavFileBuilder& Tag(uint16_t tag);
    WavFileBuilder& BlockAlign(uint16_t block_align);
    // An extensible record (40-byte chunk) whose sub-format is PCM or, when false, float.
    WavFileBuilder& Extensible(bool pcm_sub_format);
    WavFileBuilder& FormatChunkSize(uint32_t size);  // pads or cuts the record
    WavFileBuilder& FormType(const std::string& fourcc);
    WavFileBuilder& Samples(std::vector<int16_t> samples);
    WavFileBuilder& RawData(std::vector<uint8_t> data);
    WavFileBuilder& ChunkBeforeData(const std::string& fourcc, std::vector<uint8_t> body);
    WavFileBuilder& ChunkAfterData(const std::string& fourcc, std::vector<uint8_t> body);
    WavFileBuilder& DeclaredDataSize(uint32_t size);  // the data chunk's size field
    WavFileBuilder& OmitFormat();
    WavFileBuilder& OmitData();

    std::vector<uint8_t> Bytes() const;
    void Write(const std::string& path) const;

private:
    struct Chunk {
        std::string id;
        std::vector<uint8_t> body;
    };
    std::vector<uint8_t> FormatRecord() const;

    uint16_t m_tag = 1;
    uint16_t m_channels = 2;
    uint32_t m_rate = 44100;
    uint16_t m_bits = 16;
    int m_block_align = -1;
    bool m_extensible = false;
    bool m_extensible_pcm = true;
    int64_t m_format_size = -1;
    std::string m_form_type = "WAVE";
    std::vector<uint8_t> m_data;
    std::vector<Chunk> m_before;
    std::vector<Chunk> m_after;
    int64_t m_declared_data_size = -1;
    bool m_omit_format = false;
    bool m_omit_data = false;
};

// A deterministic, music-like test signal (a few tones and noise), interleaved.
std::vector<int16_t> TestSignal(uint32_t frames, uint16_t channels, uint32_t rate,
                                uint32_t seed = 1);
std::vector<uint8_t> ReadFileBytes(const std::string& path);
