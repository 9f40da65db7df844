// mmio chunk descent on arbitrary bytes: every chunk the file claims is descended into,
// read and ascended from, nested RIFF and LIST forms included, and each read stays within
// what was asked.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/mmio/mmio.h"
#include "tests/fuzz/FuzzFile.h"

namespace {

constexpr int kMaxDepth = 8;
constexpr LONG kMaxRead = 1 << 16;

void Walk(HMMIO file, const MMCKINFO* parent, int depth) {
    std::vector<char> buffer;
    for (int chunks = 0; chunks < 256; ++chunks) {
        MMCKINFO chunk{};
        if (mmioDescend(file, &chunk, parent, 0) != MMSYSERR_NOERROR) return;
        if (chunk.ckid == FOURCC_RIFF || chunk.ckid == FOURCC_LIST) {
            if (depth < kMaxDepth) Walk(file, &chunk, depth + 1);
        } else {
            const LONG want = chunk.cksize < kMaxRead ? static_cast<LONG>(chunk.cksize) : kMaxRead;
            buffer.resize(static_cast<size_t>(want));
            const LONG got = mmioRead(file, buffer.data(), want);
            if (got > want) std::abort();
        }
        if (mmioAscend(file, &chunk, 0) != MMSYSERR_NOERROR) return;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzFile input(data, size);
    MMIOINFO info{};
    HMMIO file = mmioOpenA(input.Path().c_str(), &info, MMIO_READ | MMIO_ALLOCBUF);
    if (!file) return 0;
    Walk(file, nullptr, 0);

    // The way the WAV reader looks: a WAVE form, then its "fmt " and "data" chunks.
    mmioSeek(file, 0, SEEK_SET);
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) == MMSYSERR_NOERROR) {
        MMCKINFO chunk{};
        chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
        if (mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR) {
            char byte = 0;
            mmioSeek(file, static_cast<LONG>(chunk.cksize), SEEK_CUR);
            mmioRead(file, &byte, 1);
            mmioAscend(file, &chunk, 0);
        }
    }
    mmioClose(file, 0);
    return 0;
}
