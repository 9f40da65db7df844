#include "platform/media/detector/DetectedMediaType.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/com/objbase.h"
#include "platform/media/amvideo.h"
#include "platform/media/uuids.h"

namespace {

constexpr WORD kRgb32Bits = 32;
constexpr WORD kPcmBits = 16;
constexpr double kUnitsPerSecond = 10'000'000.0;

DWORD SaturatedDword(uint64_t value) {
    return static_cast<DWORD>(std::min<uint64_t>(value, std::numeric_limits<DWORD>::max()));
}

LONG Dimension(int value) {
    return std::max(value, 0);
}

void* AllocateFormat(AM_MEDIA_TYPE* type, size_t size) {
    void* block = CoTaskMemAlloc(size);
    if (!block) return nullptr;
    std::memset(block, 0, size);
    type->pbFormat = static_cast<BYTE*>(block);
    type->cbFormat = static_cast<ULONG>(size);
    return block;
}

HRESULT FillVideo(const ProbedStream& stream, AM_MEDIA_TYPE* type) {
    auto* info = static_cast<VIDEOINFOHEADER*>(AllocateFormat(type, sizeof(VIDEOINFOHEADER)));
    if (!info) return E_OUTOFMEMORY;
    const LONG width = Dimension(stream.width);
    const LONG height = Dimension(stream.height);
    const uint64_t image_size = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4;
    info->AvgTimePerFrame = AverageTimePerFrame(stream);
    BITMAPINFOHEADER& header = info->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as an RGB picture is by default
    header.biPlanes = 1;
    header.biBitCount = kRgb32Bits;
    header.biCompression = BI_RGB;
    header.biSizeImage = SaturatedDword(image_size);
    if (info->AvgTimePerFrame > 0) {
        const double bits_per_second = static_cast<double>(image_size) * 8 * kUnitsPerSecond /
                                       static_cast<double>(info->AvgTimePerFrame);
        info->dwBitRate = SaturatedDword(static_cast<uint64_t>(
            std::min(bits_per_second, static_cast<double>(std::numeric_limits<DWORD>::max()))));
    }
    type->majortype = MEDIATYPE_Video;
    type->subtype = MEDIASUBTYPE_RGB32;
    type->formattype = FORMAT_VideoInfo;
    type->bFixedSizeSamples = TRUE;
    type->lSampleSize = header.biSizeImage;
    return S_OK;
}

HRESULT FillAudio(const ProbedStream& stream, AM_MEDIA_TYPE* type) {
    auto* format = static_cast<WAVEFORMATEX*>(AllocateFormat(type, sizeof(WAVEFORMATEX)));
    if (!format) return E_OUTOFMEMORY;
    const WORD channels = static_cast<WORD>(std::clamp(stream.channels, 0, 0xFFFF / 2));
    format->wFormatTag = WAVE_FORMAT_PCM;
    format->nChannels = channels;
    format->nSamplesPerSec = static_cast<DWORD>(std::max(stream.sample_rate, 0));
    format->wBitsPerSample = kPcmBits;
    format->nBlockAlign = static_cast<WORD>(channels * (kPcmBits / 8));
    format->nAvgBytesPerSec =
        SaturatedDword(static_cast<uint64_t>(format->nSamplesPerSec) * format->nBlockAlign);
    format->cbSize = 0;
    type->majortype = MEDIATYPE_Audio;
    type->subtype = MEDIASUBTYPE_PCM;
    type->formattype = FORMAT_WaveFormatEx;
    type->bFixedSizeSamples = TRUE;
    type->lSampleSize = format->nBlockAlign;
    return S_OK;
}

}  // namespace

REFERENCE_TIME AverageTimePerFrame(const ProbedStream& stream) {
    if (stream.frame_rate_num <= 0 || stream.frame_rate_den <= 0) return 0;
    return static_cast<REFERENCE_TIME>(std::llround(kUnitsPerSecond * stream.frame_rate_den /
                                                    static_cast<double>(stream.frame_rate_num)));
}

HRESULT FillDetectedMediaType(const ProbedStream& stream, AM_MEDIA_TYPE* type) {
    *type = AM_MEDIA_TYPE{};
    return stream.kind == ProbedStream::Kind::Video ? FillVideo(stream, type)
                                                    : FillAudio(stream, type);
}
