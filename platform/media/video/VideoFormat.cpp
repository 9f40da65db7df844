#include "platform/media/video/VideoFormat.h"

#include <cstring>

#include "platform/media/uuids.h"

namespace {

// Larger than any picture this renderer will be asked to show; keeps sizes in 32 bits.
constexpr LONG kMaxDimension = 16384;
constexpr size_t kBytesPerPixel = 4;

}  // namespace

bool VideoFormat::FromMediaType(const AM_MEDIA_TYPE& type, VideoFormat* format) {
    if (!IsEqualGUID(type.majortype, MEDIATYPE_Video) ||
        !IsEqualGUID(type.subtype, MEDIASUBTYPE_RGB32) ||
        !IsEqualGUID(type.formattype, FORMAT_VideoInfo) || !type.pbFormat ||
        type.cbFormat < sizeof(VIDEOINFOHEADER)) {
        return false;
    }
    VIDEOINFOHEADER info;
    std::memcpy(&info, type.pbFormat, sizeof(info));  // the block need not be aligned
    const BITMAPINFOHEADER& header = info.bmiHeader;
    if (header.biBitCount != 32 || header.biCompression != BI_RGB) return false;
    if (header.biWidth <= 0 || header.biWidth > kMaxDimension) return false;
    if (header.biHeight == 0 || header.biHeight < -kMaxDimension ||
        header.biHeight > kMaxDimension) {
        return false;
    }
    format->width = header.biWidth;
    format->height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    format->top_down = header.biHeight < 0;
    format->stride = static_cast<size_t>(format->width) * kBytesPerPixel;
    format->image_size = format->stride * static_cast<size_t>(format->height);
    format->avg_time_per_frame = info.AvgTimePerFrame > 0 ? info.AvgTimePerFrame : 0;
    format->bit_rate = info.dwBitRate;
    format->bit_error_rate = info.dwBitErrorRate;
    return true;
}
