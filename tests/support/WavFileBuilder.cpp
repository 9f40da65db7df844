#include "tests/support/WavFileBuilder.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

void PutId(std::vector<uint8_t>& out, const std::string& id) {
    for (size_t i = 0; i < 4; ++i)
        out.push_back(i < id.size() ? static_cast<uint8_t>(id[i]) : ' ');
}

void PutChunk(std::vector<uint8_t>& out, const std::string& id, const std::vector<uint8_t>& body,
              int64_t declared = -1) {
    PutId(out, id);
    Put32(out,
          declared >= 0 ? static_cast<uint32_t>(declared) : static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() & 1) out.push_back(0);
}

}  // namespace

WavFileBuilder& WavFileBuilder::Channels(uint16_t channels) {
    m_channels = channels;
    return *this;
}
WavFileBuilder& WavFileBuilder::Rate(uint32_t rate) {
    m_rate = rate;
    return *this;
}
WavFileBuilder& WavFileBuilder::Bits(uint16_t bits) {
    m_bits = bits;
    return *this;
}
WavFileBuilder& WavFileBuilder::Tag(uint16_t tag) {
    m_tag = tag;
    return *this;
}
WavFileBuilder& WavFileBuilder::BlockAlign(uint16_t b) {
    m_block_align = b;
    return *this;
}
WavFileBuilder& WavFileBuilder::FormatChunkSize(uint32_t s) {
    m_format_size = s;
    return *this;
}
WavFileBuilder& WavFileBuilder::FormType(const std::string& f) {
    m_form_type = f;
    return *this;
}
WavFileBuilder& WavFileBuilder::OmitFormat() {
    m_omit_format = true;
    return *this;
}
WavFileBuilder& WavFileBuilder::OmitData() {
    m_omit_data = true;
    return *this;
}

WavFileBuilder& WavFileBuilder::Extensible(bool pcm_sub_format) {
    m_extensible = true;
    m_extensible_pcm = pcm_sub_format;
    m_tag = 0xFFFE;
    return *this;
}

WavFileBuilder& WavFileBuilder::Samples(std::vector<int16_t> samples) {
    m_data.resize(samples.size() * 2);
    if (!samples.empty()) std::memcpy(m_data.data(), samples.data(), m_data.size());
    return *this;
}

WavFileBuilder& WavFileBuilder::RawData(std::vector<uint8_t> data) {
    m_data = std::move(data);
    return *this;
}

WavFileBuilder& WavFileBuilder::ChunkBeforeData(const std::string& id, std::vector<uint8_t> b) {
    m_before.push_back({id, std::move(b)});
    return *this;
}

WavFileBuilder& WavFileBuilder::ChunkAfterData(const std::string& id, std::vector<uint8_t> b) {
    m_after.push_back({id, std::move(b)});
    return *this;
}

WavFileBuilder& WavFileBuilder::DeclaredDataSize(uint32_t size) {
    m_declared_data_size = size;
    return *this;
}

std::vector<uint8_t> WavFileBuilder::FormatRecord() const {
    const uint16_t block_align = m_block_align >= 0
                                     ? static_cast<uint16_t>(m_block_align)
                                     : static_cast<uint16_t>(m_channels * m_bits / 8);
    std::vector<uint8_t> f;
    Put16(f, m_tag);
    Put16(f, m_channels);
    Put32(f, m_rate);
    Put32(f, m_rate * block_align);
    Put16(f, block_align);
    Put16(f, m_bits);
    if (m_extensible) {
        Put16(f, 22);
        Put16(f, m_bits);
        Put32(f, 0);  // channel mask
        const uint8_t pcm[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        f.insert(f.end(), pcm, pcm + 16);
        if (!m_extensible_pcm) f[24] = 0x03;  // IEEE float
    }
    if (m_format_size >= 0) f.resize(static_cast<size_t>(m_format_size), 0xEE);
    return f;
}

std::vector<uint8_t> WavFileBuilder::Bytes() const {
    std::vector<uint8_t> body;
    PutId(body, m_form_type);
    if (!m_omit_format) PutChunk(body, "fmt ", FormatRecord());
    for (const Chunk& c : m_before)
        PutChunk(body, c.id, c.body);
    if (!m_omit_data) PutChunk(body, "data", m_data, m_declared_data_size);
    for (const Chunk& c : m_after)
        PutChunk(body, c.id, c.body);
    std::vector<uint8_t> file;
    PutId(file, "RIFF");
    Put32(file, static_cast<uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

void WavFileBuilder::Write(const std::string& path) const {
    const std::vector<uint8_t> bytes = Bytes();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<int16_t> TestSignal(uint32_t frames, uint16_t channels, uint32_t rate, uint32_t seed) {
    std::vector<int16_t> samples(static_cast<size_t>(frames) * channels);
    uint32_t noise = seed * 2654435761u + 1;
    const double tones[] = {220.0, 331.0, 587.0, 1240.0};
    for (uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        for (uint16_t c = 0; c < channels; ++c) {
            double v = 0;
            for (size_t k = 0; k < 4; ++k) {
                v += 0.18 * std::sin(2 * M_PI * tones[k] * (1 + 0.01 * c) * t + seed + k);
            }
            noise = noise * 1664525u + 1013904223u;
            v += 0.05 * (static_cast<int32_t>(noise >> 16) - 32768) / 32768.0;
            samples[static_cast<size_t>(i) * channels + c] = static_cast<int16_t>(v * 32767);
        }
    }
    return samples;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
