#include "platform/media/splitter/MovieSplitterOutputPin.h"

#include <algorithm>
#include <cstring>

#include "platform/media/amvideo.h"
#include "platform/media/splitter/MovieSplitterFilter.h"
#include "platform/media/uuids.h"
#include "platform/mmio/mmreg.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

namespace {

constexpr AVRational kMediaTimeBase{1, 10'000'000};
// Pictures decoded ahead of the one shown; sound buffers of a tenth of a second each.
constexpr long kPictureBuffers = 4;
constexpr long kSoundBuffers = 8;
constexpr long kMinSoundChunk = 4096;
constexpr REFERENCE_TIME kDefaultFrameTime = 400'000;  // 25 frames a second
// A stop at the duration delivers to the end of the file: the length a container tells is
// often an estimate, and the last pictures must not be lost to it.
constexpr REFERENCE_TIME kNoStop = INT64_MAX / 4;
constexpr REFERENCE_TIME kNoTime = INT64_MIN;
// Pictures skipped at most while waiting for a key frame: a stream that never marks one plays.
constexpr int kMaxPicturesBeforeKeyFrame = 300;

}  // namespace

MovieSplitterOutputPin::MovieSplitterOutputPin(MovieSplitterFilter* filter, CCritSec* lock,
                                               const std::u16string& name,
                                               const SplitterStream& stream, const CMediaType& type,
                                               REFERENCE_TIME duration)
    : CBaseOutputPin("Movie splitter output pin", filter, lock, name.c_str()),
      CSourceSeeking(lock),
      m_splitter(filter),
      m_stream(stream),
      m_type(type) {
    m_duration = duration;
    m_stop = duration;
    m_segment_stop = kNoStop;
    if (stream.video) {
        const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.Format());
        const LONG height = info->bmiHeader.biHeight;
        m_video = std::make_unique<VideoConverter>(info->bmiHeader.biWidth,
                                                   height < 0 ? -height : height);
    } else {
        const auto* format = reinterpret_cast<const WAVEFORMATEX*>(type.Format());
        m_audio = std::make_unique<AudioConverter>(static_cast<int>(format->nSamplesPerSec),
                                                   format->nChannels);
    }
}

MovieSplitterOutputPin::~MovieSplitterOutputPin() {
    StopDelivery();
}

HRESULT MovieSplitterOutputPin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IMediaSeeking)) {
        return GetInterface(static_cast<IMediaSeeking*>(this), object);
    }
    return CBaseOutputPin::NonDelegatingQueryInterface(iid, object);
}

HRESULT MovieSplitterOutputPin::CheckMediaType(const CMediaType* type) {
    if (!type) return E_POINTER;
    return *type == m_type ? S_OK : S_FALSE;
}

HRESULT MovieSplitterOutputPin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (!type) return E_POINTER;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return type->Set(m_type);
}

int MovieSplitterOutputPin::SampleRate() const {
    if (m_stream.video) return 0;
    return static_cast<int>(reinterpret_cast<const WAVEFORMATEX*>(m_type.Format())->nSamplesPerSec);
}

long MovieSplitterOutputPin::SoundChunkBytes() const {
    const auto* format = reinterpret_cast<const WAVEFORMATEX*>(m_type.Format());
    const long align = std::max<long>(format->nBlockAlign, 1);
    const long tenth = static_cast<long>(format->nAvgBytesPerSec / 10);
    const long chunk = std::max(tenth, kMinSoundChunk);
    return chunk - chunk % align;
}

HRESULT MovieSplitterOutputPin::DecideBufferSize(IMemAllocator* allocator,
                                                 ALLOCATOR_PROPERTIES* request) {
    if (!allocator || !request) return E_POINTER;
    const long size = m_stream.video ? static_cast<long>(m_video->ImageSize()) : SoundChunkBytes();
    if (size <= 0) return VFW_E_TYPE_NOT_ACCEPTED;
    request->cBuffers =
        std::max(request->cBuffers, m_stream.video ? kPictureBuffers : kSoundBuffers);
    request->cbBuffer = std::max(request->cbBuffer, size);
    request->cbAlign = std::max(request->cbAlign, 1L);
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(request, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer >= size && actual.cBuffers >= 1 ? S_OK : E_FAIL;
}

bool MovieSplitterOutputPin::OpenDecoder(const AVStream* stream) {
    return m_decoder.Open(stream);
}

void MovieSplitterOutputPin::SetSegment(REFERENCE_TIME start, REFERENCE_TIME stop) {
    m_start = start;
    m_stop = stop;
    m_segment_start = start;
    m_segment_stop = stop >= m_duration ? kNoStop : stop;
}

HRESULT MovieSplitterOutputPin::ChangeStart() {
    return m_splitter->Seek(this, m_start, m_stop);
}

HRESULT MovieSplitterOutputPin::ChangeStop() {
    return m_splitter->Seek(this, m_start, m_stop);
}

HRESULT MovieSplitterOutputPin::StartDelivery() {
    StopDelivery();
    m_queue.Reset();
    m_decoder.Flush();
    if (m_audio) m_audio->Reset();
    m_discontinuity = true;
    m_sound_started = false;
    m_sound_frames = 0;
    m_next_picture_time = kNoTime;
    m_pictures_to_key_frame = kMaxPicturesBeforeKeyFrame;
    DeliverNewSegment(m_segment_start, m_stop, 1.0);
    m_thread = std::thread([this] { DeliveryThread(); });
    return S_OK;
}

void MovieSplitterOutputPin::StopDelivery() {
    m_queue.Stop();
    if (m_thread.joinable()) m_thread.join();
}

void MovieSplitterOutputPin::DeliveryThread() {
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    bool going = packet && frame;
    while (going) {
        const PacketQueue::Popped popped = m_queue.Pop(packet);
        if (popped == PacketQueue::Popped::Stopped) break;
        if (popped == PacketQueue::Popped::End) {
            m_decoder.Send(nullptr);  // drain what the decoder holds
            if (DeliverDecoded(frame)) DeliverEndOfStream();
            break;
        }
        const int sent = m_decoder.Send(packet);
        av_packet_unref(packet);
        if (sent < 0 && sent != AVERROR(EAGAIN)) continue;  // damaged data: skip it
        going = DeliverDecoded(frame);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
}

bool MovieSplitterOutputPin::DeliverDecoded(AVFrame* frame) {
    while (m_decoder.Receive(frame) == 0) {
        const HRESULT hr = DeliverFrame(frame);
        av_frame_unref(frame);
        if (hr == S_FALSE) {
            // Past the stop: nothing more is wanted from this stream.
            m_queue.Close();
            DeliverEndOfStream();
            return false;
        }
        if (FAILED(hr)) return false;
    }
    return true;
}

bool MovieSplitterOutputPin::FrameTime(const AVFrame* frame, REFERENCE_TIME* time) const {
    int64_t stamp = frame->pts;
    if (stamp == AV_NOPTS_VALUE) stamp = frame->best_effort_timestamp;
    if (stamp == AV_NOPTS_VALUE) return false;
    *time = av_rescale_q(stamp, AVRational{m_stream.time_base_num, m_stream.time_base_den},
                         kMediaTimeBase) -
            m_stream.origin;
    return true;
}

bool MovieSplitterOutputPin::PictureTime(const AVFrame* frame, REFERENCE_TIME* start) const {
    REFERENCE_TIME stamped = 0;
    const bool has_stamp = FrameTime(frame, &stamped);
    if (m_next_picture_time == kNoTime) {
        *start = stamped;
        return has_stamp;
    }
    // A stamp past the picture before's end is a gap (a dropped or skipped picture). One
    // before it cannot be: the picture's time was guessed from its decoding time (MPEG
    // program streams stamp only some pictures), and it follows the picture before.
    const bool later = has_stamp && stamped > m_next_picture_time + FrameDuration() / 2;
    *start = later ? stamped : m_next_picture_time;
    return true;
}

REFERENCE_TIME MovieSplitterOutputPin::FrameDuration() const {
    const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(m_type.Format());
    return info->AvgTimePerFrame > 0 ? info->AvgTimePerFrame : kDefaultFrameTime;
}

HRESULT MovieSplitterOutputPin::DeliverFrame(const AVFrame* frame) {
    return m_stream.video ? DeliverPicture(frame) : DeliverSound(frame);
}

HRESULT MovieSplitterOutputPin::DeliverPicture(const AVFrame* frame) {
    // After a seek the movie starts a little early, maybe amid a group of pictures: those
    // before its next key frame cannot be decoded right.
    if (m_pictures_to_key_frame > 0) {
        if (!frame->key_frame) {
            --m_pictures_to_key_frame;
            return S_OK;
        }
        m_pictures_to_key_frame = 0;
    }
    REFERENCE_TIME start = 0;
    if (!PictureTime(frame, &start)) return S_OK;  // nothing to place it by
    const REFERENCE_TIME stop = start + FrameDuration();
    m_next_picture_time = stop;
    if (start >= m_segment_stop) return S_FALSE;
    if (stop <= m_segment_start) return S_OK;  // before the sought position
    IMediaSample* sample = nullptr;
    HRESULT hr = GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* target = nullptr;
    if (FAILED(sample->GetPointer(&target)) ||
        !m_video->Convert(frame, target, static_cast<size_t>(sample->GetSize()))) {
        sample->Release();
        return S_OK;  // a picture that cannot be converted is skipped
    }
    sample->SetActualDataLength(static_cast<long>(m_video->ImageSize()));
    REFERENCE_TIME sample_start = start - m_segment_start;
    REFERENCE_TIME sample_stop = stop - m_segment_start;
    sample->SetTime(&sample_start, &sample_stop);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(m_discontinuity ? TRUE : FALSE);
    m_discontinuity = false;
    hr = Deliver(sample);
    sample->Release();
    return hr == S_OK ? S_OK : E_FAIL;
}

HRESULT MovieSplitterOutputPin::DeliverSound(const AVFrame* frame) {
    const int rate = SampleRate();
    const int align = m_audio->BlockAlign();
    m_sound_buffer.clear();
    if (!m_audio->Convert(frame, &m_sound_buffer)) return S_OK;  // undecodable: skipped
    const uint8_t* bytes = m_sound_buffer.data();
    size_t size = m_sound_buffer.size();
    if (!m_sound_started) {
        REFERENCE_TIME start = 0;
        if (!FrameTime(frame, &start)) start = m_segment_start;
        // Cut what lies before the sought position, to the sample.
        if (start < m_segment_start) {
            const int64_t skip_frames =
                av_rescale(m_segment_start - start, rate, kMediaTimeBase.den);
            const size_t skip = std::min(size, static_cast<size_t>(skip_frames) * align);
            bytes += skip;
            size -= skip;
            // The first sample kept is the one at the sought time, to the nearest sample.
            start = m_segment_start;
        }
        if (size == 0) return start >= m_segment_stop ? S_FALSE : S_OK;
        m_sound_started = true;
        m_sound_origin = start;
        m_sound_frames = 0;
    }
    return DeliverSoundBytes(bytes, size);
}

HRESULT MovieSplitterOutputPin::DeliverSoundBytes(const uint8_t* bytes, size_t size) {
    const int rate = SampleRate();
    const size_t align = static_cast<size_t>(m_audio->BlockAlign());
    const size_t chunk = static_cast<size_t>(SoundChunkBytes());
    while (size > 0) {
        const REFERENCE_TIME start =
            m_sound_origin + av_rescale(m_sound_frames, kMediaTimeBase.den, rate);
        if (start >= m_segment_stop) return S_FALSE;
        // Frames left before the stop.
        const int64_t room = av_rescale(m_segment_stop - start + kMediaTimeBase.den / rate - 1,
                                        rate, kMediaTimeBase.den);
        size_t length =
            std::min({size, chunk, static_cast<size_t>(std::max<int64_t>(room, 0)) * align});
        length -= length % align;
        if (length == 0) return S_FALSE;
        const int64_t frames = static_cast<int64_t>(length / align);
        const REFERENCE_TIME stop =
            m_sound_origin + av_rescale(m_sound_frames + frames, kMediaTimeBase.den, rate);
        const HRESULT hr =
            DeliverSample(bytes, length, start - m_segment_start, stop - m_segment_start);
        if (hr != S_OK) return FAILED(hr) ? hr : E_FAIL;
        m_sound_frames += frames;
        bytes += length;
        size -= length;
    }
    return S_OK;
}

HRESULT MovieSplitterOutputPin::DeliverSample(const uint8_t* bytes, size_t size,
                                              REFERENCE_TIME start, REFERENCE_TIME stop) {
    IMediaSample* sample = nullptr;
    HRESULT hr = GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* target = nullptr;
    if (FAILED(sample->GetPointer(&target)) || static_cast<long>(size) > sample->GetSize()) {
        sample->Release();
        return E_FAIL;
    }
    std::memcpy(target, bytes, size);
    sample->SetActualDataLength(static_cast<long>(size));
    sample->SetTime(&start, &stop);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(m_discontinuity ? TRUE : FALSE);
    m_discontinuity = false;
    hr = Deliver(sample);
    sample->Release();
    return hr;
}
