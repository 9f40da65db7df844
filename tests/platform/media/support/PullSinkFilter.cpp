#include "tests/platform/media/support/PullSinkFilter.h"

#include "platform/media/uuids.h"

namespace {

constexpr std::chrono::seconds kHoldLimit{10};

}  // namespace

// ---- pin -----------------------------------------------------------------------------------

PullSinkReader::~PullSinkReader() = default;

PullSinkPin::PullSinkPin(PullSinkFilter* filter, CCritSec* lock)
    : CBasePin("pull sink pin", filter, lock, u"Input", PINDIR_INPUT),
      m_sink(filter),
      m_reader(filter) {}

// The reader's thread calls into the filter's records: end it while they exist.
PullSinkPin::~PullSinkPin() {
    m_reader.Disconnect();
}

HRESULT PullSinkPin::CheckMediaType(const CMediaType* type) {
    return IsEqualGUID(*type->Type(), MEDIATYPE_Stream) ? S_OK : S_FALSE;
}

HRESULT PullSinkPin::CompleteConnect(IPin* receive_pin) {
    const ALLOCATOR_PROPERTIES request{m_sink->m_buffers, m_sink->m_buffer_size, 1, 0};
    return m_reader.Connect(receive_pin, nullptr, m_sink->m_sync_reads ? TRUE : FALSE, &request);
}

HRESULT PullSinkPin::BreakConnect() {
    return m_reader.Disconnect();
}

HRESULT PullSinkPin::Active() {
    m_sink->SetDiscarding(false);
    return m_reader.Active();
}

HRESULT PullSinkPin::Inactive() {
    // A stopping graph refuses what is still delivered and lets a held thread go.
    m_sink->HoldReceives(false);
    m_sink->SetDiscarding(true);
    return m_reader.Inactive();
}

HRESULT PullSinkReader::Receive(IMediaSample* sample) {
    BYTE* buffer = nullptr;
    sample->GetPointer(&buffer);
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    sample->GetTime(&start, &stop);
    std::unique_lock<std::mutex> lock(m_sink->m_mutex);
    if (m_sink->m_discarding) return S_FALSE;
    m_sink->m_bytes.insert(m_sink->m_bytes.end(), buffer, buffer + sample->GetActualDataLength());
    m_sink->m_starts.push_back(start);
    m_sink->m_changed.notify_all();
    if (m_sink->m_hold) {
        const unsigned ticket = m_sink->m_wake;
        m_sink->m_changed.wait_for(lock, kHoldLimit, [&] { return m_sink->m_wake != ticket; });
    }
    return S_OK;
}

HRESULT PullSinkReader::EndOfStream() {
    {
        std::lock_guard<std::mutex> lock(m_sink->m_mutex);
        if (m_sink->m_discarding) return S_OK;
        ++m_sink->m_end_of_stream;
    }
    m_sink->m_changed.notify_all();
    return S_OK;
}

void PullSinkReader::OnError(HRESULT hr) {
    {
        std::lock_guard<std::mutex> lock(m_sink->m_mutex);
        if (m_sink->m_discarding) return;
        m_sink->m_errors.push_back(hr);
    }
    m_sink->m_changed.notify_all();
}

// ---- filter --------------------------------------------------------------------------------

PullSinkFilter::PullSinkFilter(bool sync_reads, long buffer_size, long buffers)
    : CBaseFilter("pull sink", &m_filter_lock, GUID_NULL),
      m_sync_reads(sync_reads),
      m_buffer_size(buffer_size),
      m_buffers(buffers),
      m_pin(std::make_unique<PullSinkPin>(this, &m_filter_lock)) {}

PullSinkFilter::~PullSinkFilter() = default;

CBasePin* PullSinkFilter::GetPin(int index) {
    return index == 0 ? m_pin.get() : nullptr;
}

HRESULT PullSinkFilter::SetRange(LONGLONG first, LONGLONG end) {
    return m_pin->Reader().Seek(first * UNITS, end * UNITS);
}

void PullSinkFilter::HoldReceives(bool hold) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hold = hold;
}

void PullSinkFilter::ReleaseHeld() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_wake;
    }
    m_changed.notify_all();
}

void PullSinkFilter::SetDiscarding(bool discarding) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_discarding = discarding;
        ++m_wake;
    }
    m_changed.notify_all();
}

std::vector<BYTE> PullSinkFilter::Bytes() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bytes;
}

std::vector<REFERENCE_TIME> PullSinkFilter::SampleStarts() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_starts;
}

int PullSinkFilter::EndOfStreamCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_end_of_stream;
}

std::vector<HRESULT> PullSinkFilter::Errors() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_errors;
}

bool PullSinkFilter::WaitForEndOfStream(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_end_of_stream > 0; });
}

bool PullSinkFilter::WaitForErrorOrEnd(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout,
                              [&] { return m_end_of_stream > 0 || !m_errors.empty(); });
}

bool PullSinkFilter::WaitForSamples(size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_starts.size() >= count; });
}

void PullSinkFilter::ClearRecords() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bytes.clear();
    m_starts.clear();
    m_end_of_stream = 0;
    m_errors.clear();
}
