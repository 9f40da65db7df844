#include "platform/media/detector/ContainerEnd.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

int64_t LastPacketEnd(AVFormatContext* context, int64_t start,
                      const std::function<bool(int stream)>& counted) {
    constexpr int64_t kEndScanBytes = 1 << 20;
    const int64_t size = avio_size(context->pb);
    if (size <= 0) return 0;
    if (av_seek_frame(context, -1, std::max<int64_t>(0, size - kEndScanBytes), AVSEEK_FLAG_BYTE) <
        0) {
        return 0;
    }
    int64_t end = 0;
    AVPacket* packet = av_packet_alloc();
    while (packet && av_read_frame(context, packet) >= 0) {
        const int64_t stamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        const int index = packet->stream_index;
        if (stamp != AV_NOPTS_VALUE && index >= 0 &&
            static_cast<unsigned>(index) < context->nb_streams && counted(index)) {
            const AVStream* stream = context->streams[index];
            const int64_t last = stamp + std::max<int64_t>(packet->duration, 0);
            end = std::max(end, av_rescale_q(last, stream->time_base, AV_TIME_BASE_Q) - start);
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    return end;
}
