// Video format records with their Win32 layouts: the bitmap header and the VIDEOINFOHEADER
// (and its second version) that a FORMAT_VideoInfo / FORMAT_VideoInfo2 format block holds.
// Audio formats use WAVEFORMATEX (FORMAT_WaveFormatEx), declared with the RIFF services.
#pragma once

#include "platform/WinTypes.h"
#include "platform/media/strmif.h"
#include "platform/media/wtypes.h"
#include "platform/mmio/mmreg.h"

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // positive: rows bottom-up
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "Win32 layout");
using PBITMAPINFOHEADER = BITMAPINFOHEADER*;
using LPBITMAPINFOHEADER = BITMAPINFOHEADER*;

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct VIDEOINFOHEADER {
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;  // 100 ns per frame: 400,000 for 25 frames a second
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER) == 88, "Win32 layout");

struct VIDEOINFOHEADER2 {
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    DWORD dwInterlaceFlags;
    DWORD dwCopyProtectFlags;
    DWORD dwPictAspectRatioX;
    DWORD dwPictAspectRatioY;
    DWORD dwControlFlags;
    DWORD dwReserved2;
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER2) == 112, "Win32 layout");

// The byte count of one picture in a DIB: rows padded to 4 bytes.
constexpr DWORD DIBSIZE(const BITMAPINFOHEADER& header) {
    const DWORD row = ((static_cast<DWORD>(header.biWidth) * header.biBitCount + 31) & ~31u) / 8;
    const LONG height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    return row * static_cast<DWORD>(height);
}
