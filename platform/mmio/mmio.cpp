// The mmio* functions over MmioFile. Chunk navigation follows Win32: a descent leaves the file
// at the chunk's data (after the form type of a RIFF or LIST chunk); an ascent leaves it after
// the chunk and its pad byte, and first fixes up the size of a chunk this handle created.
#include "platform/mmio/mmio.h"

#include <cstring>
#include <limits>

#include "platform/mmio/MmioFile.h"

namespace {

constexpr int64_t kChunkHeaderSize = 8;
constexpr int64_t kMaxDword = std::numeric_limits<DWORD>::max();

MmioFile::Mode ModeFromFlags(DWORD flags) {
    DWORD access = flags & MMIO_RWMODE;
    if (flags & MMIO_CREATE) {
        return access == MMIO_READWRITE ? MmioFile::Mode::CreateReadWrite : MmioFile::Mode::Create;
    }
    if (access == MMIO_WRITE) return MmioFile::Mode::Write;
    if (access == MMIO_READWRITE) return MmioFile::Mode::ReadWrite;
    return MmioFile::Mode::Read;
}

DWORD LoadDword(const unsigned char* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
           (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24);
}

void StoreDword(unsigned char* p, DWORD v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

bool WriteAll(HMMIO h, const unsigned char* bytes, int64_t count) {
    return h->Write(bytes, count) == count;
}

bool WriteDwordAt(HMMIO h, int64_t position, DWORD value) {
    unsigned char bytes[4];
    StoreDword(bytes, value);
    return h->Seek(position, SEEK_SET) >= 0 && WriteAll(h, bytes, 4);
}

int64_t PaddedSize(int64_t size) {
    return size + (size & 1);
}

struct ChunkSearch {
    FOURCC ckid = 0;
    FOURCC fccType = 0;
    bool match_id = false;
    bool match_type = false;
};

ChunkSearch SearchFromFlags(const MMCKINFO& ck, UINT flags) {
    ChunkSearch search;
    if (flags & MMIO_FINDRIFF) {
        search = {FOURCC_RIFF, ck.fccType, true, true};
    } else if (flags & MMIO_FINDLIST) {
        search = {FOURCC_LIST, ck.fccType, true, true};
    } else if (flags & MMIO_FINDCHUNK) {
        search = {ck.ckid, 0, true, false};
    }
    return search;
}

bool HasFormType(FOURCC id) {
    return id == FOURCC_RIFF || id == FOURCC_LIST;
}

}  // namespace

HMMIO mmioOpenA(LPCSTR path, LPMMIOINFO info, DWORD flags) {
    auto fail = [info](UINT error) -> HMMIO {
        if (info) info->wErrorRet = error;
        return nullptr;
    };
    if (!path) return fail(MMSYSERR_INVALPARAM);
    if (flags & (MMIO_PARSE | MMIO_DELETE | MMIO_EXIST)) return fail(MMSYSERR_NOTSUPPORTED);
    unsigned error = MMSYSERR_NOERROR;
    auto file = MmioFile::Open(path, ModeFromFlags(flags), &error);
    if (!file) return fail(error);
    if (info) info->wErrorRet = MMSYSERR_NOERROR;
    return file.release();
}

MMRESULT mmioClose(HMMIO h, UINT /*flags*/) {
    if (!h) return MMSYSERR_INVALHANDLE;
    bool ok = h->Close();
    delete h;
    return ok ? MMSYSERR_NOERROR : MMIOERR_CANNOTWRITE;
}

LONG mmioRead(HMMIO h, HPSTR dst, LONG count) {
    if (!h || count < 0 || (!dst && count > 0)) return -1;
    return static_cast<LONG>(h->Read(dst, count));
}

LONG mmioWrite(HMMIO h, const char* src, LONG count) {
    if (!h || count < 0 || (!src && count > 0)) return -1;
    return static_cast<LONG>(h->Write(src, count));
}

LONG mmioSeek(HMMIO h, LONG offset, int origin) {
    if (!h) return -1;
    int64_t before = h->Position();
    int64_t position = h->Seek(offset, origin);
    if (position > std::numeric_limits<LONG>::max()) {
        h->Seek(before, SEEK_SET);  // not expressible to the caller: refuse the move
        return -1;
    }
    return static_cast<LONG>(position);
}

MMRESULT mmioDescend(HMMIO h, LPMMCKINFO ck, const MMCKINFO* parent, UINT flags) {
    if (!h) return MMSYSERR_INVALHANDLE;
    if (!ck) return MMSYSERR_INVALPARAM;
    const ChunkSearch search = SearchFromFlags(*ck, flags);
    const int64_t end = parent ? static_cast<int64_t>(parent->dwDataOffset) + parent->cksize
                               : std::numeric_limits<int64_t>::max();
    for (;;) {
        const int64_t start = h->Position();
        if (start > end - kChunkHeaderSize) return MMIOERR_CHUNKNOTFOUND;
        unsigned char header[12];
        if (h->Read(header, kChunkHeaderSize) != kChunkHeaderSize) return MMIOERR_CHUNKNOTFOUND;
        const FOURCC id = LoadDword(header);
        const DWORD size = LoadDword(header + 4);
        FOURCC type = 0;
        if (HasFormType(id)) {
            if (h->Read(header + 8, 4) != 4) return MMIOERR_CHUNKNOTFOUND;
            type = LoadDword(header + 8);
        }
        const bool id_ok = !search.match_id || id == search.ckid;
        const bool type_ok = !search.match_type || type == search.fccType;
        if (id_ok && type_ok) {
            const int64_t data_offset = start + kChunkHeaderSize;
            if (data_offset > kMaxDword) return MMIOERR_CHUNKNOTFOUND;
            ck->ckid = id;
            ck->cksize = size;
            ck->fccType = type;
            ck->dwDataOffset = static_cast<DWORD>(data_offset);
            ck->dwFlags = 0;
            return MMSYSERR_NOERROR;
        }
        const int64_t next = start + kChunkHeaderSize + PaddedSize(size);
        if (next > end || h->Seek(next, SEEK_SET) < 0) return MMIOERR_CHUNKNOTFOUND;
    }
}

MMRESULT mmioAscend(HMMIO h, LPMMCKINFO ck, UINT /*flags*/) {
    if (!h) return MMSYSERR_INVALHANDLE;
    if (!ck) return MMSYSERR_INVALPARAM;
    if (ck->dwFlags & MMIO_DIRTY) {
        const int64_t written = h->Position() - ck->dwDataOffset;
        if (written < 0 || written > kMaxDword) return MMIOERR_CANNOTSEEK;
        const DWORD size = static_cast<DWORD>(written);
        if (size != ck->cksize) {
            if (!WriteDwordAt(h, static_cast<int64_t>(ck->dwDataOffset) - 4, size)) {
                return MMIOERR_CANNOTWRITE;
            }
            ck->cksize = size;
        }
        if (size & 1) {
            const unsigned char pad = 0;
            if (h->Seek(static_cast<int64_t>(ck->dwDataOffset) + size, SEEK_SET) < 0 ||
                !WriteAll(h, &pad, 1)) {
                return MMIOERR_CANNOTWRITE;
            }
        }
        ck->dwFlags &= ~MMIO_DIRTY;
    }
    const int64_t after = static_cast<int64_t>(ck->dwDataOffset) + PaddedSize(ck->cksize);
    return h->Seek(after, SEEK_SET) < 0 ? MMIOERR_CANNOTSEEK : MMSYSERR_NOERROR;
}

MMRESULT mmioCreateChunk(HMMIO h, LPMMCKINFO ck, UINT flags) {
    if (!h) return MMSYSERR_INVALHANDLE;
    if (!ck) return MMSYSERR_INVALPARAM;
    if (flags & MMIO_CREATERIFF) ck->ckid = FOURCC_RIFF;
    if (flags & MMIO_CREATELIST) ck->ckid = FOURCC_LIST;
    const int64_t start = h->Position();
    if (start + kChunkHeaderSize > kMaxDword) return MMIOERR_CANNOTWRITE;
    unsigned char header[12];
    StoreDword(header, ck->ckid);
    StoreDword(header + 4, ck->cksize);
    int64_t header_size = kChunkHeaderSize;
    if (HasFormType(ck->ckid)) {
        StoreDword(header + 8, ck->fccType);
        header_size += 4;
    }
    if (!WriteAll(h, header, header_size)) return MMIOERR_CANNOTWRITE;
    ck->dwDataOffset = static_cast<DWORD>(start + kChunkHeaderSize);
    ck->dwFlags = MMIO_DIRTY;
    return MMSYSERR_NOERROR;
}
