#include "tests/support/MovieFileMaker.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/samplefmt.h>
}

namespace {

constexpr int kPcmFrameSamples = 1024;
constexpr double kToneHz = 440.0;

struct CodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct OutputFree {
    void operator()(AVFormatContext* context) const {
        if (!(context->oformat->flags & AVFMT_NOFILE)) avio_closep(&context->pb);
        avformat_free_context(context);
    }
};

using CodecContext = std::unique_ptr<AVCodecContext, CodecContextFree>;
using Frame = std::unique_ptr<AVFrame, FrameFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;
using Output = std::unique_ptr<AVFormatContext, OutputFree>;

struct Track {
    CodecContext codec;
    AVStream* stream = nullptr;
    Frame frame;
    int64_t next_pts = 0;
    int64_t end_pts = 0;
    bool flushed = false;
};

bool Fail(std::string* error, const std::string& what) {
    *error = what;
    return false;
}

bool OpenTrack(AVFormatContext* output, AVCodecContext* codec, Track* track, std::string* error) {
    if (output->oformat->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(codec, nullptr, nullptr) < 0) return Fail(error, "codec refuses to open");
    track->stream = avformat_new_stream(output, nullptr);
    if (!track->stream) return Fail(error, "no stream");
    if (avcodec_parameters_from_context(track->stream->codecpar, codec) < 0) {
        return Fail(error, "codec parameters");
    }
    track->stream->time_base = codec->time_base;
    track->frame.reset(av_frame_alloc());
    return track->frame != nullptr || Fail(error, "no frame");
}

bool AddVideo(AVFormatContext* output, const MovieRecipe& recipe, Track* track,
              std::string* error) {
    const AVCodec* encoder = avcodec_find_encoder(recipe.video);
    if (!encoder) return Fail(error, "no video encoder");
    track->codec.reset(avcodec_alloc_context3(encoder));
    AVCodecContext* codec = track->codec.get();
    if (!codec) return Fail(error, "no video context");
    codec->width = recipe.width;
    codec->height = recipe.height;
    codec->time_base = AVRational{recipe.rate_den, recipe.rate_num};
    codec->framerate = AVRational{recipe.rate_num, recipe.rate_den};
    codec->pix_fmt = recipe.video == AV_CODEC_ID_MJPEG ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P;
    codec->gop_size = recipe.key_frame_every;
    codec->bit_rate = 400000;
    if (!OpenTrack(output, codec, track, error)) return false;
    track->stream->avg_frame_rate = codec->framerate;
    track->end_pts = recipe.frames;
    AVFrame* frame = track->frame.get();
    frame->format = codec->pix_fmt;
    frame->width = codec->width;
    frame->height = codec->height;
    return av_frame_get_buffer(frame, 0) >= 0 || Fail(error, "no picture buffer");
}

// 16-bit interleaved where the encoder takes it, else its first format (AAC and Vorbis take
// only planar float).
AVSampleFormat SampleFormatFor(const AVCodec* encoder) {
    const AVSampleFormat* formats = encoder->sample_fmts;
    if (!formats) return AV_SAMPLE_FMT_S16;
    for (const AVSampleFormat* format = formats; *format != AV_SAMPLE_FMT_NONE; ++format) {
        if (*format == AV_SAMPLE_FMT_S16) return AV_SAMPLE_FMT_S16;
    }
    return formats[0];
}

bool AddAudio(AVFormatContext* output, const MovieRecipe& recipe, Track* track,
              std::string* error) {
    const AVCodec* encoder = avcodec_find_encoder(recipe.audio);
    if (!encoder) return Fail(error, "no audio encoder");
    track->codec.reset(avcodec_alloc_context3(encoder));
    AVCodecContext* codec = track->codec.get();
    if (!codec) return Fail(error, "no audio context");
    codec->sample_fmt = SampleFormatFor(encoder);
    codec->sample_rate = recipe.sample_rate;
    av_channel_layout_default(&codec->ch_layout, recipe.channels);
    codec->time_base = AVRational{1, recipe.sample_rate};
    codec->bit_rate = 128000;
    if (!OpenTrack(output, codec, track, error)) return false;
    track->end_pts = static_cast<int64_t>(recipe.frames) * recipe.sample_rate * recipe.rate_den /
                     recipe.rate_num;
    AVFrame* frame = track->frame.get();
    frame->format = codec->sample_fmt;
    frame->sample_rate = codec->sample_rate;
    frame->nb_samples = codec->frame_size > 0 ? codec->frame_size : kPcmFrameSamples;
    if (av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout) < 0) {
        return Fail(error, "channel layout");
    }
    return av_frame_get_buffer(frame, 0) >= 0 || Fail(error, "no sound buffer");
}

constexpr int kClickMilliseconds = 10;

uint8_t Luma(const MovieRecipe& recipe, int64_t index) {
    if (recipe.flash_every > 0) return recipe.IsFlash(index) ? 235 : 16;
    return static_cast<uint8_t>(16 + (index * 37) % 220);
}

void PaintPicture(AVFrame* frame, uint8_t luma) {
    for (int y = 0; y < frame->height; ++y) {
        std::fill_n(frame->data[0] + y * frame->linesize[0], frame->width, luma);
    }
    for (int plane = 1; plane < 3; ++plane) {
        for (int y = 0; y < frame->height / 2; ++y) {
            std::fill_n(frame->data[plane] + y * frame->linesize[plane], frame->width / 2, 128);
        }
    }
}

// A flashing movie's sound: a loud burst at the start of each flash picture, else a faint hum.
int16_t ClickSample(const MovieRecipe& recipe, int64_t sample) {
    const int64_t frame =
        sample * recipe.rate_num / (int64_t{recipe.sample_rate} * recipe.rate_den);
    const int64_t frame_start =
        (frame * recipe.sample_rate * recipe.rate_den + recipe.rate_num - 1) / recipe.rate_num;
    const int64_t into = sample - frame_start;
    if (!recipe.IsFlash(frame) || into >= recipe.sample_rate * kClickMilliseconds / 1000) {
        // A faint hum, so that the sound's first sample can be told from a device's silence.
        return static_cast<int16_t>(
            300 * std::sin(2 * std::numbers::pi * 60.0 * sample / recipe.sample_rate + 1.0));
    }
    return static_cast<int16_t>(
        20000 * std::sin(2 * std::numbers::pi * 1000.0 * into / recipe.sample_rate));
}

// One sample of one channel, in the frame's own format (16-bit, 32-bit or float, interleaved
// or planar).
void PutSample(AVFrame* frame, int index, int channel, int channels, int16_t value) {
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const bool planar = av_sample_fmt_is_planar(format);
    uint8_t* base = frame->data[planar ? channel : 0];
    const int at = planar ? index : index * channels + channel;
    switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_FLT:
            reinterpret_cast<float*>(base)[at] = static_cast<float>(value) / 32768.0f;
            break;
        case AV_SAMPLE_FMT_S32:
            reinterpret_cast<int32_t*>(base)[at] = int32_t{value} * 65536;
            break;
        default:
            reinterpret_cast<int16_t*>(base)[at] = value;
            break;
    }
}

void FillSound(AVFrame* frame, int64_t first_sample, const MovieRecipe& recipe) {
    const int channels = recipe.channels;
    for (int i = 0; i < frame->nb_samples; ++i) {
        const double t = static_cast<double>(first_sample + i) / frame->sample_rate;
        const auto value =
            recipe.sound ? static_cast<int16_t>(
                               std::clamp(recipe.sound(first_sample + i), -1.0f, 1.0f) * 32767.0f)
            : recipe.flash_every > 0
                ? ClickSample(recipe, first_sample + i)
                : static_cast<int16_t>(8000 * std::sin(2 * std::numbers::pi * kToneHz * t));
        for (int c = 0; c < channels; ++c)
            PutSample(frame, i, c, channels, value);
    }
}

bool Drain(AVFormatContext* output, Track* track, AVPacket* packet, std::string* error) {
    for (;;) {
        const int received = avcodec_receive_packet(track->codec.get(), packet);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return true;
        if (received < 0) return Fail(error, "encoding failed");
        av_packet_rescale_ts(packet, track->codec->time_base, track->stream->time_base);
        packet->stream_index = track->stream->index;
        if (av_interleaved_write_frame(output, packet) < 0) return Fail(error, "muxing failed");
    }
}

// Encodes the track's next frame, or flushes the encoder once the track is done.
bool Step(AVFormatContext* output, Track* track, const MovieRecipe& recipe, AVPacket* packet,
          std::string* error) {
    AVCodecContext* codec = track->codec.get();
    AVFrame* frame = nullptr;
    if (track->next_pts < track->end_pts) {
        frame = track->frame.get();
        if (av_frame_make_writable(frame) < 0) return Fail(error, "frame not writable");
        if (codec->codec_type == AVMEDIA_TYPE_VIDEO) {
            PaintPicture(frame, Luma(recipe, track->next_pts));
        } else {
            FillSound(frame, track->next_pts, recipe);
        }
        frame->pts = track->next_pts;
        track->next_pts += codec->codec_type == AVMEDIA_TYPE_VIDEO ? 1 : frame->nb_samples;
    } else {
        track->flushed = true;
    }
    if (avcodec_send_frame(codec, frame) < 0) return Fail(error, "encoder refuses a frame");
    return Drain(output, track, packet, error);
}

// The track that is behind in time, among those not yet flushed; null when all are.
Track* NextTrack(Track* video, Track* audio) {
    const bool video_left = video->codec && !video->flushed;
    const bool audio_left = audio->codec && !audio->flushed;
    if (video_left && audio_left) {
        return av_compare_ts(video->next_pts, video->codec->time_base, audio->next_pts,
                             audio->codec->time_base) <= 0
                   ? video
                   : audio;
    }
    if (video_left) return video;
    return audio_left ? audio : nullptr;
}

}  // namespace

MovieRecipe MovieRecipe::Mpeg() {
    return MovieRecipe{};
}

MovieRecipe MovieRecipe::Avi() {
    MovieRecipe recipe;
    recipe.container = "avi";
    recipe.video = AV_CODEC_ID_MJPEG;
    recipe.audio = AV_CODEC_ID_PCM_S16LE;
    return recipe;
}

bool MovieFileMaker::Make(const std::string& path, const MovieRecipe& recipe, std::string* error) {
    // Encoders report their statistics on stderr; a failure is reported through `error`.
    av_log_set_level(AV_LOG_ERROR);
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, recipe.container.c_str(), path.c_str()) < 0) {
        return Fail(error, "no muxer");
    }
    Output output(raw);
    Track video;
    Track audio;
    if (recipe.video != AV_CODEC_ID_NONE && !AddVideo(raw, recipe, &video, error)) return false;
    if (recipe.audio != AV_CODEC_ID_NONE && !AddAudio(raw, recipe, &audio, error)) return false;
    if (avio_open(&raw->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return Fail(error, "cannot write");
    if (avformat_write_header(raw, nullptr) < 0) return Fail(error, "header refused");
    Packet packet(av_packet_alloc());
    if (!packet) return Fail(error, "no packet");
    while (Track* track = NextTrack(&video, &audio)) {
        if (!Step(raw, track, recipe, packet.get(), error)) return false;
    }
    return av_write_trailer(raw) >= 0 || Fail(error, "trailer refused");
}
