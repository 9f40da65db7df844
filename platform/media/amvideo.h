// Video format records with their Win32 layouts: the bitmap header and the VIDEOINFOHEADER
// (and its second version) that a FORMAT_VideoInfo / FORMAT_VideoInfo2 format block holds.
// Audio formats use WAVEFORMATEX (FORMAT_WaveFormatEx), declared with the RIFF services.
// Also the video renderer's quality figures (IQualProp).
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

inline constexpr GUID IID_IQualProp = MakeGuid("1BD0ECB0-F8E2-11CE-AAC6-0020AF0B99A3");

// A video renderer's playback figures since it last started: frames dropped and drawn, the
// frame rate in frames per 100 seconds, and times in milliseconds (jitter: the spread of the
// gaps between frames; sync offset: how late frames are shown, averaged and its spread).
struct IQualProp : public IUnknown {
    virtual HRESULT get_FramesDroppedInRenderer(int* frames) = 0;
    virtual HRESULT get_FramesDrawn(int* frames) = 0;
    virtual HRESULT get_AvgFrameRate(int* rate) = 0;
    virtual HRESULT get_Jitter(int* jitter) = 0;
    virtual HRESULT get_AvgSyncOffset(int* average) = 0;
    virtual HRESULT get_DevSyncOffset(int* deviation) = 0;
};

TKV_DECLARE_IID(IQualProp, IID_IQualProp);
