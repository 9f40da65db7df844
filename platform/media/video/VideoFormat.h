// VideoFormat: the picture layout of an RGB32 video type (MEDIATYPE_Video,
// MEDIASUBTYPE_RGB32, FORMAT_VideoInfo), read and checked once from the type's
// VIDEOINFOHEADER so the renderer never trusts a sample's size or a header's numbers later.
// Rows are 4 bytes a pixel with no padding; a positive biHeight stores the bottom row first.
// Example: 320 x -240 is 240 top-down rows of 1280 bytes, 307,200 bytes a picture.
// Threading: a value.
#pragma once

#include <cstdint>

#include "platform/media/amvideo.h"
#include "platform/media/base/CMediaType.h"

struct VideoFormat {
    // False for any other type, a short or missing format block, or a picture size that is
    // zero or absurd (so that sizes computed from it cannot overflow).
    static bool FromMediaType(const AM_MEDIA_TYPE& type, VideoFormat* format);

    long width = 0;
    long height = 0;  // always positive
    bool top_down = false;
    size_t stride = 0;      // bytes a row
    size_t image_size = 0;  // bytes a picture
    REFERENCE_TIME avg_time_per_frame = 0;
    DWORD bit_rate = 0;
    DWORD bit_error_rate = 0;
};
