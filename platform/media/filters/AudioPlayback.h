// AudioPlayback: the audio renderer's engine without any framework type: the device, the ring
// between the streaming thread and the device callback, the volume, and the playback clock.
//
// The clock (ClockTime, 100 ns units) follows the device while it plays: the frames it has
// taken, divided by the rate, plus the time since its last callback, capped at that callback's
// frames so it never runs ahead of the sound. While the device is paused or closed it follows
// the system's steady clock, so it never stands still for the graph. Both parts join without
// a jump at Start and Pause.
// Worked number: at 48,000 Hz a callback of 960 frames advances the clock by 200,000 (20 ms).
//
// Order of use: Open (device paused), Write from the streaming thread, Start (with the frames
// of silence to play first) / Pause, CancelWrites + Discard to flush, AllowWrites after;
// Close or destroy.
// Threading: Write on the streaming thread; control calls on one control thread; ClockTime
// from any thread; the device callback takes no lock, allocates nothing and never waits.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/media/filters/AudioDevice.h"
#include "platform/media/filters/AudioRingBuffer.h"

class AudioPlayback {
public:
    AudioPlayback();
    ~AudioPlayback();
    AudioPlayback(const AudioPlayback&) = delete;
    AudioPlayback& operator=(const AudioPlayback&) = delete;

    // Opens the device for `format` (kept when already open with it), paused, with writes
    // allowed. False when the format cannot be played.
    bool Open(const AudioDeviceFormat& format);
    void Close();
    bool IsOpen() const { return m_device != nullptr; }
    bool IsHardware() const { return m_device && m_device->IsHardware(); }
    const AudioDeviceFormat& Format() const { return m_format; }

    void Start(int64_t lead_silence_frames);
    void Pause();

    // Queues all of `size` bytes, waiting for room as the device plays. False when the writes
    // were cancelled (or no device is open); part of the data may then be queued.
    bool Write(const uint8_t* data, size_t size);
    void CancelWrites();
    void AllowWrites();
    // Drops everything queued and not yet played. Call with writes cancelled.
    void Discard();

    // Frames of data (not silence) the device has taken since the last Discard.
    int64_t FramesPlayed() const { return m_data_frames.load(); }
    // Nothing left to play, and the device has gone through a whole buffer since the last data.
    bool IsDrained() const;

    int64_t ClockTime();

    // 1/100 dB, -10000 (silence) to 0; balance -10000 (left only) to 10000 (right only).
    void SetVolume(long volume);
    void SetBalance(long balance);
    long Volume() const { return m_volume.load(); }
    long Balance() const { return m_balance.load(); }

private:
    // What the last callback saw, published with a sequence count (even when complete) so
    // that the clock reads a consistent set without a lock.
    struct Snapshot {
        int64_t frames_before = 0;
        int64_t callback_ns = 0;
        int64_t frames = 0;
    };

    static void Fill(void* self, uint8_t* buffer, int bytes);
    void FillBuffer(uint8_t* buffer, int bytes);
    void ApplyGain(uint8_t* data, size_t bytes) const;
    void UpdateGains();
    void Publish(const Snapshot& snapshot);
    Snapshot ReadSnapshot() const;
    // Under m_clock_mutex.
    int64_t ClockTimeLocked(int64_t now_ns) const;

    AudioDeviceFormat m_format;
    int m_frame_bytes = 0;
    uint8_t m_silence = 0;
    std::unique_ptr<AudioDevice> m_device;
    AudioRingBuffer m_ring;

    // The streaming side.
    std::mutex m_write_mutex;  // held while a Write copies; Discard takes it
    std::condition_variable m_space;
    std::atomic<bool> m_cancelled{false};

    // Written by the callback, read anywhere.
    std::atomic<int64_t> m_frames_given{0};  // every frame handed to the device
    std::atomic<int64_t> m_data_frames{0};
    std::atomic<int64_t> m_lead_frames{0};  // set while the device is paused
    std::atomic<int> m_idle_fills{0};
    std::atomic<uint32_t> m_sequence{0};
    std::atomic<int64_t> m_snap_before{0};
    std::atomic<int64_t> m_snap_ns{0};
    std::atomic<int64_t> m_snap_frames{0};

    // Gains in 1/65536, per channel of a stereo pair (both the same otherwise).
    std::atomic<long> m_volume{0};
    std::atomic<long> m_balance{0};
    std::atomic<int32_t> m_gain_left{65536};
    std::atomic<int32_t> m_gain_right{65536};

    // The clock's anchor: where the current way of counting started.
    std::mutex m_clock_mutex;
    bool m_started = false;
    int64_t m_anchor_time = 0;
    int64_t m_anchor_ns = 0;
    int64_t m_anchor_frames = 0;
};
