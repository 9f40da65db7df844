#include "tests/platform/media/support/TestSinkFilter.h"

namespace {

// A held Receive gives up after this long, so that a broken way out fails a test rather
// than hanging it.
constexpr std::chrono::seconds kHoldLimit{10};

}  // namespace

// ---- pin -----------------------------------------------------------------------------------

TestSinkPin::TestSinkPin(TestSinkFilter* filter, CCritSec* lock)
    : CBaseInputPin("test sink pin", filter, lock, u"Input"), m_sink(filter) {}

HRESULT TestSinkPin::CheckMediaType(const CMediaType* type) {
    if (IsEqualGUID(m_sink->m_major_type, GUID_NULL)) return S_OK;
    return IsEqualGUID(*type->Type(), m_sink->m_major_type) ? S_OK : S_FALSE;
}

HRESULT TestSinkPin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (static_cast<size_t>(position) >= m_sink->m_preferred.size()) return VFW_S_NO_MORE_ITEMS;
    return type->Set(m_sink->m_preferred[static_cast<size_t>(position)]);
}

HRESULT TestSinkPin::Receive(IMediaSample* sample) {
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return m_sink->Record(sample);
}

HRESULT TestSinkPin::EndOfStream() {
    {
        std::lock_guard<std::mutex> lock(m_sink->m_mutex);
        ++m_sink->m_end_of_stream;
    }
    m_sink->m_changed.notify_all();
    return S_OK;
}

HRESULT TestSinkPin::BeginFlush() {
    CBaseInputPin::BeginFlush();
    {
        std::lock_guard<std::mutex> lock(m_sink->m_mutex);
        ++m_sink->m_begin_flush;
    }
    m_sink->Wake();
    return S_OK;
}

HRESULT TestSinkPin::EndFlush() {
    {
        std::lock_guard<std::mutex> lock(m_sink->m_mutex);
        ++m_sink->m_end_flush;
    }
    return CBaseInputPin::EndFlush();
}

HRESULT TestSinkPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    {
        std::lock_guard<std::mutex> lock(m_sink->m_mutex);
        m_sink->m_segments.push_back(start);
    }
    return CBaseInputPin::NewSegment(start, stop, rate);
}

HRESULT TestSinkPin::Active() {
    std::lock_guard<std::mutex> lock(m_sink->m_mutex);
    m_sink->m_inactive = false;
    return CBaseInputPin::Active();
}

HRESULT TestSinkPin::Inactive() {
    {
        std::lock_guard<std::mutex> lock(m_sink->m_mutex);
        m_sink->m_inactive = true;
    }
    m_sink->Wake();
    return CBaseInputPin::Inactive();
}

// ---- filter --------------------------------------------------------------------------------

TestSinkFilter::TestSinkFilter(const GUID& major_type)
    : CBaseFilter("test sink", &m_filter_lock, GUID_NULL),
      m_major_type(major_type),
      m_pin(std::make_unique<TestSinkPin>(this, &m_filter_lock)) {}

TestSinkFilter::~TestSinkFilter() = default;

CBasePin* TestSinkFilter::GetPin(int index) {
    return index == 0 ? m_pin.get() : nullptr;
}

void TestSinkFilter::SetPreferredTypes(std::vector<CMediaType> types) {
    m_preferred = std::move(types);
    m_pin->IncrementTypeVersion();
}

void TestSinkFilter::HoldReceives(bool hold) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hold = hold;
}

void TestSinkFilter::ReleaseHeld() {
    Wake();
}

void TestSinkFilter::Wake() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_wake;
    }
    m_changed.notify_all();
}

HRESULT TestSinkFilter::Record(IMediaSample* sample) {
    ReceivedSample received;
    BYTE* buffer = nullptr;
    if (SUCCEEDED(sample->GetPointer(&buffer)) && buffer) {
        received.data.assign(buffer, buffer + sample->GetActualDataLength());
    }
    received.time_result = sample->GetTime(&received.start, &received.stop);
    received.discontinuity = sample->IsDiscontinuity() == S_OK;

    std::unique_lock<std::mutex> lock(m_mutex);
    m_samples.push_back(std::move(received));
    m_changed.notify_all();
    if (!m_hold) return S_OK;
    const unsigned ticket = m_wake;
    const int flushes = m_begin_flush;
    m_holding = true;
    m_changed.notify_all();
    m_changed.wait_for(lock, kHoldLimit, [&] { return m_wake != ticket; });
    m_holding = false;
    if (m_begin_flush != flushes || m_inactive) {
        ++m_released;
        return S_FALSE;
    }
    return S_OK;
}

std::vector<ReceivedSample> TestSinkFilter::Samples() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_samples;
}

int TestSinkFilter::EndOfStreamCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_end_of_stream;
}

int TestSinkFilter::BeginFlushCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_begin_flush;
}

int TestSinkFilter::EndFlushCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_end_flush;
}

int TestSinkFilter::ReleasedByFlushOrStop() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_released;
}

std::vector<REFERENCE_TIME> TestSinkFilter::SegmentStarts() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_segments;
}

bool TestSinkFilter::WaitForSamples(size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_samples.size() >= count; });
}

bool TestSinkFilter::WaitForEndOfStream(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_end_of_stream > 0; });
}

bool TestSinkFilter::WaitUntilHolding(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_holding; });
}
