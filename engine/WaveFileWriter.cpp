#include "engine/WaveFileWriter.h"

WaveFileWriter::~WaveFileWriter() {
    Close();
}

bool WaveFileWriter::Create(const char* path, uint16_t channels, uint32_t samples_per_sec,
                            uint16_t bits_per_sample) {
    Close();
    m_failed = false;
    m_format.wFormatTag = WAVE_FORMAT_PCM;
    m_format.nChannels = channels;
    m_format.nSamplesPerSec = samples_per_sec;
    m_format.nBlockAlign = static_cast<WORD>(channels * bits_per_sample / 8);
    m_format.nAvgBytesPerSec = m_format.nBlockAlign * samples_per_sec;
    m_format.wBitsPerSample = bits_per_sample;
    m_format.cbSize = sizeof(WAVEFORMATEX);

    m_file = mmioOpenA(path, nullptr, MMIO_CREATE | MMIO_WRITE | MMIO_ALLOCBUF);
    if (!m_file) return false;
    m_riff = {};
    m_riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    m_sub = {};
    m_sub.ckid = mmioFOURCC('f', 'm', 't', ' ');
    m_sub.cksize = sizeof(WAVEFORMATEX);
    const bool ok = mmioCreateChunk(m_file, &m_riff, MMIO_CREATERIFF) == MMSYSERR_NOERROR &&
                    mmioCreateChunk(m_file, &m_sub, 0) == MMSYSERR_NOERROR &&
                    mmioWrite(m_file, reinterpret_cast<const char*>(&m_format), sizeof m_format) ==
                        static_cast<LONG>(sizeof m_format) &&
                    mmioAscend(m_file, &m_sub, 0) == MMSYSERR_NOERROR;
    m_sub = {};
    m_sub.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (!ok || mmioCreateChunk(m_file, &m_sub, 0) != MMSYSERR_NOERROR) {
        Close();
        return false;
    }
    return true;
}

bool WaveFileWriter::Write(const void* bytes, uint32_t count) {
    if (!m_file || m_failed) return false;
    const auto* p = static_cast<const char*>(bytes);
    while (count > 0) {
        const LONG piece = static_cast<LONG>(count > 0x40000000u ? 0x40000000u : count);
        if (mmioWrite(m_file, p, piece) != piece) {
            m_failed = true;
            return false;
        }
        p += piece;
        count -= static_cast<uint32_t>(piece);
    }
    return true;
}

bool WaveFileWriter::Close() {
    if (!m_file) return true;
    bool ok = !m_failed;
    ok = mmioAscend(m_file, &m_sub, 0) == MMSYSERR_NOERROR && ok;
    ok = mmioAscend(m_file, &m_riff, 0) == MMSYSERR_NOERROR && ok;
    ok = mmioClose(m_file, 0) == MMSYSERR_NOERROR && ok;
    m_file = nullptr;
    return ok;
}
