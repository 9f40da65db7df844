#include "bench/MovieSound.h"

#include <cstdint>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "tests/support/WavFileBuilder.h"

namespace {

constexpr int kRate = 44100;

struct FormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct ResamplerFreer {
    void operator()(SwrContext* context) const { swr_free(&context); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

// Converts every frame the decoder has ready and appends it to `samples`.
bool Drain(AVCodecContext* decoder, SwrContext* resampler, AVFrame* frame,
           std::vector<int16_t>* samples) {
    while (avcodec_receive_frame(decoder, frame) == 0) {
        const int room = swr_get_out_samples(resampler, frame->nb_samples);
        std::vector<int16_t> out(static_cast<size_t>(room) * 2);
        auto* dst = reinterpret_cast<uint8_t*>(out.data());
        const int got =
            swr_convert(resampler, &dst, room, const_cast<const uint8_t**>(frame->extended_data),
                        frame->nb_samples);
        if (got < 0) return false;
        samples->insert(samples->end(), out.begin(), out.begin() + got * 2);
    }
    return true;
}

}  // namespace

bool WriteMovieSoundAsWav(const std::string& movie, const std::string& wav, std::string* error) {
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, movie.c_str(), nullptr, nullptr) < 0) {
        *error = "cannot open " + movie;
        return false;
    }
    std::unique_ptr<AVFormatContext, FormatCloser> format(opened);
    const AVCodec* codec = nullptr;
    const int stream =
        avformat_find_stream_info(format.get(), nullptr) < 0
            ? -1
            : av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (stream < 0 || !codec) {
        *error = "no sound stream in " + movie;
        return false;
    }
    std::unique_ptr<AVCodecContext, CodecFreer> decoder(avcodec_alloc_context3(codec));
    if (!decoder ||
        avcodec_parameters_to_context(decoder.get(), format->streams[stream]->codecpar) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        *error = "cannot decode the sound of " + movie;
        return false;
    }
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    SwrContext* made = nullptr;
    if (swr_alloc_set_opts2(&made, &stereo, AV_SAMPLE_FMT_S16, kRate, &decoder->ch_layout,
                            decoder->sample_fmt, decoder->sample_rate, 0, nullptr) < 0 ||
        swr_init(made) < 0) {
        swr_free(&made);
        *error = "cannot convert the sound of " + movie;
        return false;
    }
    std::unique_ptr<SwrContext, ResamplerFreer> resampler(made);
    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    std::vector<int16_t> samples;
    bool ok = frame && packet;
    while (ok && av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == stream) {
            ok = avcodec_send_packet(decoder.get(), packet.get()) >= 0 &&
                 Drain(decoder.get(), resampler.get(), frame.get(), &samples);
        }
        av_packet_unref(packet.get());
    }
    ok = ok && avcodec_send_packet(decoder.get(), nullptr) >= 0 &&
         Drain(decoder.get(), resampler.get(), frame.get(), &samples);
    if (!ok || samples.empty()) {
        *error = "the sound of " + movie + " does not decode";
        return false;
    }
    WavFileBuilder().Channels(2).Rate(kRate).Samples(std::move(samples)).Write(wav);
    return true;
}
