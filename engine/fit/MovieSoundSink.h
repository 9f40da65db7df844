// The end of the graph that decodes a movie's sound for a fit: a filter with one input pin
// that takes 16-bit PCM and hands it, with the gaps its time stamps show filled by silence,
// to a PcmFeatureBuilder. It renders nothing and waits for no clock, so a graph without a
// clock runs as fast as the movie decodes.
// Order of use: construct, connect the splitter's sound pin to Pin(), then SetBuilder (the
// connection's format tells which), run the graph, WaitForEnd; stop the graph before Finish.
// Threading: Receive and EndOfStream on the splitter's streaming thread; the control thread
// reads Position(), Failed() and waits, without the filter lock.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "engine/fit/MovieSoundSinkPin.h"
#include "engine/fit/PcmFeatureBuilder.h"
#include "platform/media/base/CBaseFilter.h"
#include "platform/sync/CCritSec.h"

class MovieSoundSink : public CBaseFilter {
public:
    MovieSoundSink();
    ~MovieSoundSink() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override;
    MovieSoundSinkPin* Pin() { return m_pin.get(); }

    // Where the samples go; set while stopped.
    void SetBuilder(PcmFeatureBuilder* builder) { m_builder = builder; }
    // True once the stream has ended (or failed), within `timeout`.
    bool WaitForEnd(std::chrono::milliseconds timeout);
    // Stream time reached by the samples taken so far, in 100 ns units.
    int64_t Position() const { return m_position.load(); }
    bool Failed() const { return m_failed.load(); }

    // ---- for the pin (streaming thread) ----
    HRESULT Take(IMediaSample* sample);
    void End();

private:
    CCritSec m_filter_lock;
    std::unique_ptr<MovieSoundSinkPin> m_pin;
    PcmFeatureBuilder* m_builder = nullptr;
    uint64_t m_frames = 0;  // frames given to the builder, silence included
    std::atomic<int64_t> m_position{0};
    std::atomic<bool> m_failed{false};
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_end = false;
};
