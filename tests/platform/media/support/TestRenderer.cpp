#include "tests/platform/media/support/TestRenderer.h"

TestRenderer::TestRenderer(const GUID& major_type)
    : CBaseRenderer("test renderer", GUID_NULL), m_major_type(major_type) {}

TestRenderer::~TestRenderer() = default;

HRESULT TestRenderer::CheckMediaType(const CMediaType* type) {
    if (IsEqualGUID(m_major_type, GUID_NULL)) return S_OK;
    return IsEqualGUID(*type->Type(), m_major_type) ? S_OK : S_FALSE;
}

HRESULT TestRenderer::DoRenderSample(IMediaSample* sample) {
    RenderedSample rendered;
    BYTE* buffer = nullptr;
    if (SUCCEEDED(sample->GetPointer(&buffer)) && buffer) {
        rendered.data.assign(buffer, buffer + sample->GetActualDataLength());
    }
    REFERENCE_TIME stop = 0;
    sample->GetTime(&rendered.start, &stop);
    REFERENCE_TIME now = 0;
    if (SUCCEEDED(StreamTime(&now))) rendered.stream_time = now;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_rendered.push_back(std::move(rendered));
    }
    m_changed.notify_all();
    return S_OK;
}

void TestRenderer::OnReceiveFirstSample(IMediaSample* /*sample*/) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_first_samples;
}

HRESULT TestRenderer::PrepareRender(IMediaSample* /*sample*/) {
    if (!wait_in_prepare) return S_OK;
    ++prepare_waits;
    return WaitForSingleObject(StopSignal(), 10000) == WAIT_OBJECT_0 ? VFW_E_STATE_CHANGED
                                                                     : VFW_E_TIMEOUT;
}

std::vector<RenderedSample> TestRenderer::Rendered() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_rendered;
}

int TestRenderer::FirstSamplesHeld() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_first_samples;
}

bool TestRenderer::WaitForRendered(size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_rendered.size() >= count; });
}
