#include "platform/media/filters/AudioPlayback.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace {

constexpr int64_t kUnits = 10000000;  // 100 ns units in a second
constexpr int32_t kUnity = 65536;
// The ring holds half a second: enough to ride over a late streaming thread.
constexpr int kRingDivisor = 2;
// How often a Write waiting for room looks again; the callback never signals (no locks there).
constexpr auto kWritePoll = std::chrono::milliseconds(5);

int64_t SteadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int32_t GainFromHundredthsDb(long level) {
    if (level <= -10000) return 0;
    return static_cast<int32_t>(std::lround(std::pow(10.0, level / 2000.0) * kUnity));
}

}  // namespace

AudioPlayback::AudioPlayback() {
    m_anchor_ns = SteadyNanoseconds();
    m_anchor_time = m_anchor_ns / 100;
}

AudioPlayback::~AudioPlayback() {
    Close();
}

bool AudioPlayback::Open(const AudioDeviceFormat& format) {
    if (m_device && m_format.rate == format.rate && m_format.channels == format.channels &&
        m_format.bits == format.bits) {
        return true;
    }
    Close();
    if (!IsPlayableAudioFormat(format)) return false;
    m_format = format;
    m_frame_bytes = format.channels * format.bits / 8;
    m_silence = format.bits == 8 ? 0x80 : 0;
    if (!m_ring.Allocate(static_cast<size_t>(format.rate / kRingDivisor) * m_frame_bytes,
                         static_cast<size_t>(m_frame_bytes))) {
        return false;
    }
    m_data_frames = 0;
    m_lead_frames = 0;
    m_idle_fills = 0;
    UpdateGains();
    m_device = AudioDevice::Open(format, &AudioPlayback::Fill, this);
    if (!m_device) {
        m_ring.Release();
        return false;
    }
    AllowWrites();
    return true;
}

void AudioPlayback::Close() {
    CancelWrites();
    if (m_device) Pause();
    {
        std::lock_guard<std::mutex> lock(m_write_mutex);
        m_device.reset();  // joins the device's thread
        m_ring.Release();
    }
    m_format = AudioDeviceFormat();
}

void AudioPlayback::Start(int64_t lead_silence_frames) {
    if (!m_device) return;
    {
        std::lock_guard<std::mutex> lock(m_clock_mutex);
        if (m_started) return;
        const int64_t now = SteadyNanoseconds();
        m_anchor_time = ClockTimeLocked(now);
        m_anchor_frames = m_frames_given.load();
        // Until the first callback the clock holds still at the anchor.
        Publish({m_anchor_frames, now, 0});
        m_lead_frames = std::max<int64_t>(0, lead_silence_frames);
        m_started = true;
    }
    m_device->Start();
}

void AudioPlayback::Pause() {
    if (!m_device) return;
    m_device->Pause();
    std::lock_guard<std::mutex> lock(m_clock_mutex);
    if (!m_started) return;
    const int64_t now = SteadyNanoseconds();
    m_anchor_time = ClockTimeLocked(now);
    m_anchor_ns = now;
    m_started = false;
    m_lead_frames = 0;
}

bool AudioPlayback::Write(const uint8_t* data, size_t size) {
    std::unique_lock<std::mutex> lock(m_write_mutex);
    while (size > 0) {
        if (m_cancelled || !m_device) return false;
        const size_t taken = m_ring.Write(data, size);
        data += taken;
        size -= taken;
        if (size > 0) {
            m_space.wait_for(lock, kWritePoll, [this] { return m_cancelled || m_ring.Free() > 0; });
        }
    }
    return true;
}

void AudioPlayback::CancelWrites() {
    {
        std::lock_guard<std::mutex> lock(m_write_mutex);
        m_cancelled = true;
    }
    m_space.notify_all();
}

void AudioPlayback::AllowWrites() {
    std::lock_guard<std::mutex> lock(m_write_mutex);
    m_cancelled = false;
}

void AudioPlayback::Discard() {
    std::lock_guard<std::mutex> lock(m_write_mutex);
    if (!m_device) return;
    m_device->Lock();
    m_ring.Clear();
    m_data_frames = 0;
    m_lead_frames = 0;
    m_idle_fills = 0;
    m_device->Unlock();
}

bool AudioPlayback::IsDrained() const {
    return m_ring.Queued() < static_cast<size_t>(std::max(1, m_frame_bytes)) &&
           m_lead_frames.load() == 0 && m_idle_fills.load() > 0;
}

void AudioPlayback::Fill(void* self, uint8_t* buffer, int bytes) {
    static_cast<AudioPlayback*>(self)->FillBuffer(buffer, bytes);
}

void AudioPlayback::FillBuffer(uint8_t* buffer, int bytes) {
    const int64_t frames = m_frame_bytes > 0 ? bytes / m_frame_bytes : 0;
    const int64_t before = m_frames_given.load(std::memory_order_relaxed);
    Publish({before, SteadyNanoseconds(), frames});
    m_frames_given.store(before + frames, std::memory_order_relaxed);

    const int64_t lead = std::min(m_lead_frames.load(), frames);
    const size_t lead_bytes = static_cast<size_t>(lead * m_frame_bytes);
    std::memset(buffer, m_silence, lead_bytes);
    if (lead > 0) m_lead_frames.fetch_sub(lead);

    uint8_t* data = buffer + lead_bytes;
    const size_t room = static_cast<size_t>(bytes) - lead_bytes;
    const size_t got = m_ring.Read(data, room);
    ApplyGain(data, got);
    std::memset(data + got, m_silence, room - got);
    m_data_frames.fetch_add(static_cast<int64_t>(got) / m_frame_bytes);
    if (got == 0 && lead == 0) {
        m_idle_fills.fetch_add(1);
    } else {
        m_idle_fills.store(0);
    }
}

void AudioPlayback::ApplyGain(uint8_t* data, size_t bytes) const {
    const int32_t left = m_gain_left.load(std::memory_order_relaxed);
    const int32_t right = m_gain_right.load(std::memory_order_relaxed);
    if (left == kUnity && right == kUnity) return;  // plays the bytes exactly as given
    const bool stereo = m_format.channels == 2;
    if (m_format.bits == 8) {
        for (size_t i = 0; i < bytes; ++i) {
            const int32_t gain = stereo && (i % 2) ? right : left;
            const int64_t centred = static_cast<int64_t>(data[i]) - 128;
            data[i] =
                static_cast<uint8_t>(std::clamp<int64_t>(centred * gain / kUnity, -128, 127) + 128);
        }
        return;
    }
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        const int32_t gain = stereo && ((i / 2) % 2) ? right : left;
        const auto sample = static_cast<int16_t>(data[i] | (data[i + 1] << 8));
        const auto scaled = static_cast<int32_t>(
            std::clamp<int64_t>(int64_t{sample} * gain / kUnity, -32768, 32767));
        data[i] = static_cast<uint8_t>(scaled & 0xFF);
        data[i + 1] = static_cast<uint8_t>((scaled >> 8) & 0xFF);
    }
}

void AudioPlayback::SetVolume(long volume) {
    m_volume = std::clamp(volume, -10000L, 0L);
    UpdateGains();
}

void AudioPlayback::SetBalance(long balance) {
    m_balance = std::clamp(balance, -10000L, 10000L);
    UpdateGains();
}

void AudioPlayback::UpdateGains() {
    const long volume = m_volume.load();
    const long balance = m_balance.load();
    // A positive balance turns the left side down, a negative one the right side.
    m_gain_left = GainFromHundredthsDb(volume - std::max(0L, balance));
    m_gain_right = GainFromHundredthsDb(volume + std::min(0L, balance));
    if (m_format.channels != 2) m_gain_right = m_gain_left.load();
}

void AudioPlayback::Publish(const Snapshot& snapshot) {
    const uint32_t sequence = m_sequence.load(std::memory_order_relaxed);
    m_sequence.store(sequence + 1, std::memory_order_relaxed);
    // Release stores of the fields (not a fence) keep the odd count before them, in a way
    // ThreadSanitizer follows too; on x86 they cost nothing more.
    m_snap_before.store(snapshot.frames_before, std::memory_order_release);
    m_snap_ns.store(snapshot.callback_ns, std::memory_order_release);
    m_snap_frames.store(snapshot.frames, std::memory_order_release);
    m_sequence.store(sequence + 2, std::memory_order_release);
}

AudioPlayback::Snapshot AudioPlayback::ReadSnapshot() const {
    Snapshot snapshot;
    for (;;) {
        const uint32_t first = m_sequence.load(std::memory_order_acquire);
        snapshot.frames_before = m_snap_before.load(std::memory_order_acquire);
        snapshot.callback_ns = m_snap_ns.load(std::memory_order_acquire);
        snapshot.frames = m_snap_frames.load(std::memory_order_acquire);
        if ((first & 1) == 0 && m_sequence.load(std::memory_order_relaxed) == first) {
            return snapshot;
        }
    }
}

int64_t AudioPlayback::ClockTimeLocked(int64_t now_ns) const {
    if (!m_started || m_format.rate <= 0) return m_anchor_time + (now_ns - m_anchor_ns) / 100;
    const Snapshot snapshot = ReadSnapshot();
    const int64_t rate = m_format.rate;
    const int64_t span_ns = snapshot.frames * 1000000000 / rate;
    const int64_t since_ns = std::clamp<int64_t>(now_ns - snapshot.callback_ns, 0, span_ns);
    const int64_t frames = snapshot.frames_before - m_anchor_frames;
    return m_anchor_time + frames / rate * kUnits + frames % rate * kUnits / rate + since_ns / 100;
}

int64_t AudioPlayback::ClockTime() {
    std::lock_guard<std::mutex> lock(m_clock_mutex);
    return ClockTimeLocked(SteadyNanoseconds());
}
