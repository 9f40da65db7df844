#include "platform/media/splitter/VideoConverter.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

VideoConverter::VideoConverter(int width, int height) : m_width(width), m_height(height) {}

VideoConverter::~VideoConverter() {
    sws_freeContext(m_scaler);
}

bool VideoConverter::Convert(const AVFrame* frame, uint8_t* target, size_t size) {
    if (!frame || !target || size < ImageSize() || m_width <= 0 || m_height <= 0) return false;
    if (frame->width <= 0 || frame->height <= 0) return false;
    m_scaler = sws_getCachedContext(m_scaler, frame->width, frame->height,
                                    static_cast<AVPixelFormat>(frame->format), m_width, m_height,
                                    AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_scaler) return false;
    // Bottom-up: start at the last row and step backwards.
    const int stride = m_width * 4;
    uint8_t* planes[4] = {target + static_cast<size_t>(stride) * (m_height - 1), nullptr, nullptr,
                          nullptr};
    const int strides[4] = {-stride, 0, 0, 0};
    return sws_scale(m_scaler, frame->data, frame->linesize, 0, frame->height, planes, strides) ==
           m_height;
}
