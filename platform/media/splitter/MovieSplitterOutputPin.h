// MovieSplitterOutputPin: one decoded stream of the movie ("Video" as 32-bit RGB in
// FORMAT_VideoInfo, "Audio" as 16-bit PCM in FORMAT_WaveFormatEx). Its delivery thread takes
// the stream's packets from its queue, decodes them and delivers samples timed from the
// segment's start: pictures wholly before the start are dropped, sound is cut at the exact
// sample, and what lies past the stop ends the stream. The first sample of each segment is
// marked as a discontinuity; sound is delivered gapless from there.
// It answers IMediaSeeking; a change of position goes to the filter, which seeks the movie
// once for all its pins.
// Order of use: made by the filter once the movie is open; connect; StartDelivery /
// StopDelivery from the filter while it is active.
// Threading: connection and seeking under the filter lock; the delivery thread takes no
// lock of the filter.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "platform/media/base/CBaseOutputPin.h"
#include "platform/media/base/CMediaType.h"
#include "platform/media/base/CSourceSeeking.h"
#include "platform/media/splitter/AudioConverter.h"
#include "platform/media/splitter/PacketQueue.h"
#include "platform/media/splitter/StreamDecoder.h"
#include "platform/media/splitter/VideoConverter.h"

class MovieSplitterFilter;
struct AVFrame;

// What a pin needs to know of its stream.
struct SplitterStream {
    int index = -1;
    bool video = true;
    int time_base_num = 1;  // the stream's timestamps, in seconds per unit
    int time_base_den = 1;
    REFERENCE_TIME origin = 0;  // the movie's start, in media time
};

class MovieSplitterOutputPin : public CBaseOutputPin, public CSourceSeeking {
public:
    MovieSplitterOutputPin(MovieSplitterFilter* filter, CCritSec* lock, const std::u16string& name,
                           const SplitterStream& stream, const CMediaType& type,
                           REFERENCE_TIME duration);
    ~MovieSplitterOutputPin() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

    int StreamIndex() const { return m_stream.index; }
    PacketQueue& Queue() { return m_queue; }
    // Prepares the decoder; false when the stream cannot be decoded.
    bool OpenDecoder(const struct AVStream* stream);

    // ---- the filter's calls ----
    void SetSegment(REFERENCE_TIME start, REFERENCE_TIME stop);
    // Sends NewSegment and starts the thread on the current segment.
    HRESULT StartDelivery();
    // Stops the queue and waits for the thread.
    void StopDelivery();

protected:
    HRESULT ChangeStart() override;
    HRESULT ChangeStop() override;

private:
    void DeliveryThread();
    // Decodes what the decoder gives; false when delivery must end.
    bool DeliverDecoded(AVFrame* frame);
    // S_OK to go on, S_FALSE when the stream has passed its stop, a failure when downstream
    // refused.
    HRESULT DeliverFrame(const AVFrame* frame);
    HRESULT DeliverPicture(const AVFrame* frame);
    HRESULT DeliverSound(const AVFrame* frame);
    HRESULT DeliverSoundBytes(const uint8_t* bytes, size_t size);
    HRESULT DeliverSample(const uint8_t* bytes, size_t size, REFERENCE_TIME start,
                          REFERENCE_TIME stop);
    // A frame's time in media time; false when it has none.
    bool FrameTime(const AVFrame* frame, REFERENCE_TIME* time) const;
    // Where a picture starts: its own time, kept in step with the pictures before it.
    bool PictureTime(const AVFrame* frame, REFERENCE_TIME* start) const;
    REFERENCE_TIME FrameDuration() const;
    int SampleRate() const;
    long SoundChunkBytes() const;

    MovieSplitterFilter* const m_splitter;
    const SplitterStream m_stream;
    const CMediaType m_type;
    StreamDecoder m_decoder;
    std::unique_ptr<VideoConverter> m_video;
    std::unique_ptr<AudioConverter> m_audio;
    PacketQueue m_queue;
    std::thread m_thread;

    // The segment being delivered; set only while the thread is stopped.
    REFERENCE_TIME m_segment_start = 0;
    REFERENCE_TIME m_segment_stop = 0;
    // Delivery thread state.
    bool m_discontinuity = true;
    REFERENCE_TIME m_next_picture_time = 0;  // where the last picture ended
    int m_pictures_to_key_frame = 0;         // while > 0, pictures before a key frame are skipped
    bool m_sound_started = false;
    int64_t m_sound_frames = 0;           // sound frames delivered since m_sound_origin
    REFERENCE_TIME m_sound_origin = 0;    // media time of the segment's first sound sample
    std::vector<uint8_t> m_sound_buffer;  // converted sound, reused
};
