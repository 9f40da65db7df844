#include "platform/media/splitter/StreamDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

StreamDecoder::~StreamDecoder() {
    avcodec_free_context(&m_context);
}

bool StreamDecoder::Open(const AVStream* stream) {
    avcodec_free_context(&m_context);
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) return false;
    m_context = avcodec_alloc_context3(codec);
    if (!m_context) return false;
    if (avcodec_parameters_to_context(m_context, stream->codecpar) < 0) {
        avcodec_free_context(&m_context);
        return false;
    }
    m_context->pkt_timebase = stream->time_base;
    if (avcodec_open2(m_context, codec, nullptr) < 0) {
        avcodec_free_context(&m_context);
        return false;
    }
    return true;
}

int StreamDecoder::Send(const AVPacket* packet) {
    if (!m_context) return AVERROR(EINVAL);
    return avcodec_send_packet(m_context, packet);
}

int StreamDecoder::Receive(AVFrame* frame) {
    if (!m_context) return AVERROR_EOF;
    return avcodec_receive_frame(m_context, frame);
}

void StreamDecoder::Flush() {
    if (m_context) avcodec_flush_buffers(m_context);
}
