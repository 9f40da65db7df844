// Multimedia file I/O: buffered files navigated as RIFF chunks, with the Win32 names, flags,
// result codes and semantics. Offsets passed through the API are 32-bit like on Windows;
// inside, positions are 64-bit and every chunk size read from a file is bounds-checked, so
// a size that lies never leads outside the file or the caller's buffer.
// Threading: a handle is used by one thread at a time.
#pragma once

#include "platform/WinTypes.h"

class MmioFile;
using HMMIO = MmioFile*;
using MMRESULT = UINT;

struct MMCKINFO {
    FOURCC ckid = 0;
    DWORD cksize = 0;
    FOURCC fccType = 0;
    DWORD dwDataOffset = 0;  // first byte of the data (for RIFF and LIST: of the form type)
    DWORD dwFlags = 0;
};
using LPMMCKINFO = MMCKINFO*;

struct MMIOINFO {
    DWORD dwFlags = 0;
    UINT wErrorRet = 0;  // set by mmioOpenA when it fails
};
using LPMMIOINFO = MMIOINFO*;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MMIOERR_BASE = 256;
constexpr MMRESULT MMIOERR_FILENOTFOUND = MMIOERR_BASE + 1;
constexpr MMRESULT MMIOERR_OUTOFMEMORY = MMIOERR_BASE + 2;
constexpr MMRESULT MMIOERR_CANNOTOPEN = MMIOERR_BASE + 3;
constexpr MMRESULT MMIOERR_CANNOTCLOSE = MMIOERR_BASE + 4;
constexpr MMRESULT MMIOERR_CANNOTREAD = MMIOERR_BASE + 5;
constexpr MMRESULT MMIOERR_CANNOTWRITE = MMIOERR_BASE + 6;
constexpr MMRESULT MMIOERR_CANNOTSEEK = MMIOERR_BASE + 7;
constexpr MMRESULT MMIOERR_CHUNKNOTFOUND = MMIOERR_BASE + 9;
constexpr MMRESULT MMIOERR_PATHNOTFOUND = MMIOERR_BASE + 11;
constexpr MMRESULT MMIOERR_ACCESSDENIED = MMIOERR_BASE + 12;

constexpr DWORD MMIO_READ = 0x00000000;
constexpr DWORD MMIO_WRITE = 0x00000001;
constexpr DWORD MMIO_READWRITE = 0x00000002;
constexpr DWORD MMIO_RWMODE = 0x00000003;
constexpr DWORD MMIO_CREATE = 0x00001000;
constexpr DWORD MMIO_PARSE = 0x00000100;
constexpr DWORD MMIO_DELETE = 0x00000200;
constexpr DWORD MMIO_EXIST = 0x00004000;
constexpr DWORD MMIO_ALLOCBUF = 0x00010000;
constexpr DWORD MMIO_DENYWRITE = 0x00000020;
constexpr DWORD MMIO_DIRTY = 0x10000000;

constexpr UINT MMIO_FINDCHUNK = 0x0010;
constexpr UINT MMIO_FINDRIFF = 0x0020;
constexpr UINT MMIO_FINDLIST = 0x0040;
constexpr UINT MMIO_CREATERIFF = 0x0020;
constexpr UINT MMIO_CREATELIST = 0x0040;

#ifndef SEEK_SET
#define SEEK_SET 0
#define SEEK_CUR 1
#define SEEK_END 2
#endif

constexpr FOURCC FOURCC_RIFF = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC FOURCC_LIST = mmioFOURCC('L', 'I', 'S', 'T');

HMMIO mmioOpenA(LPCSTR path, LPMMIOINFO info, DWORD flags);
MMRESULT mmioClose(HMMIO h, UINT flags);
LONG mmioRead(HMMIO h, HPSTR dst, LONG count);
LONG mmioWrite(HMMIO h, const char* src, LONG count);
LONG mmioSeek(HMMIO h, LONG offset, int origin);
MMRESULT mmioDescend(HMMIO h, LPMMCKINFO ck, const MMCKINFO* parent, UINT flags);
MMRESULT mmioAscend(HMMIO h, LPMMCKINFO ck, UINT flags);
MMRESULT mmioCreateChunk(HMMIO h, LPMMCKINFO ck, UINT flags);
