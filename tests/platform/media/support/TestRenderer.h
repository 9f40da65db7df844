// TestRenderer: a CBaseRenderer that accepts one major type (GUID_NULL: any) and records each
// rendered sample: its bytes, start time and the stream time at which it was rendered (when
// the renderer has a clock). The base class does all the timing; this only records.
// Threading: DoRenderSample on the upstream thread; the accessors lock.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/media/base/CBaseRenderer.h"

struct RenderedSample {
    std::vector<BYTE> data;
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stream_time = -1;  // -1 without a clock
};

class TestRenderer : public CBaseRenderer {
public:
    explicit TestRenderer(const GUID& major_type = GUID_NULL);
    ~TestRenderer() override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    void OnReceiveFirstSample(IMediaSample* sample) override;
    // Waits, when asked to, as a device renderer waits for room: until the stop signal.
    HRESULT PrepareRender(IMediaSample* sample) override;

    // While true, PrepareRender waits for the stop signal (at most 10 s) and gives up.
    std::atomic<bool> wait_in_prepare{false};
    std::atomic<int> prepare_waits{0};

    std::vector<RenderedSample> Rendered();
    int FirstSamplesHeld();
    bool WaitForRendered(size_t count, std::chrono::milliseconds timeout);

private:
    const GUID m_major_type;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<RenderedSample> m_rendered;
    int m_first_samples = 0;
};
