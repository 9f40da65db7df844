#include "platform/media/splitter/AudioConverter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

AudioConverter::AudioConverter(int rate, int channels) : m_rate(rate), m_channels(channels) {}

AudioConverter::~AudioConverter() {
    swr_free(&m_resampler);
}

void AudioConverter::Reset() {
    swr_free(&m_resampler);
    m_in_format = -1;
}

bool AudioConverter::Configure(const AVFrame* frame) {
    const uint64_t mask =
        frame->ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? frame->ch_layout.u.mask : 0;
    if (m_resampler && frame->format == m_in_format && frame->sample_rate == m_in_rate &&
        frame->ch_layout.nb_channels == m_in_channels && mask == m_in_mask) {
        return true;
    }
    swr_free(&m_resampler);
    AVChannelLayout in_layout{};
    AVChannelLayout out_layout{};
    if (av_channel_layout_copy(&in_layout, &frame->ch_layout) < 0) return false;
    if (in_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_uninit(&in_layout);
        av_channel_layout_default(&in_layout, frame->ch_layout.nb_channels);
    }
    av_channel_layout_default(&out_layout, m_channels);
    const int made = swr_alloc_set_opts2(&m_resampler, &out_layout, AV_SAMPLE_FMT_S16, m_rate,
                                         &in_layout, static_cast<AVSampleFormat>(frame->format),
                                         frame->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in_layout);
    av_channel_layout_uninit(&out_layout);
    if (made < 0 || swr_init(m_resampler) < 0) {
        swr_free(&m_resampler);
        return false;
    }
    m_in_format = frame->format;
    m_in_rate = frame->sample_rate;
    m_in_channels = frame->ch_layout.nb_channels;
    m_in_mask = mask;
    return true;
}

bool AudioConverter::Convert(const AVFrame* frame, std::vector<uint8_t>* out) {
    if (!frame || frame->nb_samples <= 0 || frame->sample_rate <= 0 || m_rate <= 0 ||
        m_channels <= 0 || !Configure(frame)) {
        return false;
    }
    const int capacity = swr_get_out_samples(m_resampler, frame->nb_samples);
    if (capacity <= 0) return false;
    const size_t old_size = out->size();
    out->resize(old_size + static_cast<size_t>(capacity) * BlockAlign());
    uint8_t* target = out->data() + old_size;
    const int converted =
        swr_convert(m_resampler, &target, capacity,
                    const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    if (converted < 0) {
        out->resize(old_size);
        return false;
    }
    out->resize(old_size + static_cast<size_t>(converted) * BlockAlign());
    return true;
}
