#include "tests/platform/media/graph/TestSink.h"

#include <chrono>
#include <cstring>

#include "platform/media/evcode.h"

namespace {

constexpr GUID kTestSinkClsid = MakeGuid("5A0E3D10-6F0B-4C2E-9A51-7C1D2E3F4A02");
constexpr auto kPoll = std::chrono::milliseconds(5);

}  // namespace

TestSinkPin::TestSinkPin(TestSink* sink, CCritSec* lock, const GUID& major)
    : CBaseInputPin("test sink pin", sink, lock, u"In"), m_sink(sink), m_major(major) {}

HRESULT TestSinkPin::CheckMediaType(const CMediaType* type) {
    return m_major == GUID_NULL || *type->Type() == m_major ? S_OK : S_FALSE;
}

HRESULT TestSinkPin::Receive(IMediaSample* sample) {
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return m_sink->Render(sample);
}

HRESULT TestSinkPin::EndOfStream() {
    if (!IsFlushing()) m_sink->OnEndOfStream();
    return S_OK;
}

HRESULT TestSinkPin::BeginFlush() {
    CBaseInputPin::BeginFlush();
    m_sink->OnBeginFlush();
    return S_OK;
}

HRESULT TestSinkPin::EndFlush() {
    m_sink->OnEndFlush();
    return CBaseInputPin::EndFlush();
}

HRESULT TestSinkPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    m_sink->OnNewSegment(start);
    return CBasePin::NewSegment(start, stop, rate);
}

REFERENCE_TIME TestSinkClock::GetPrivateTime() {
    return std::chrono::duration_cast<
               std::chrono::duration<REFERENCE_TIME, std::ratio<1, 10'000'000>>>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

TestSink::TestSink(const Options& options)
    : CBaseFilter("test sink", &m_filter_lock, kTestSinkClsid),
      m_options(options),
      m_pin(this, &m_filter_lock, options.major) {
    if (options.offer_clock) {
        m_clock = std::make_unique<TestSinkClock>(static_cast<IBaseFilter*>(this));
    }
}

TestSink::~TestSink() = default;

HRESULT TestSink::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (m_clock && iid == IID_IReferenceClock) {
        return GetInterface(static_cast<IReferenceClock*>(m_clock.get()), object);
    }
    return CBaseFilter::NonDelegatingQueryInterface(iid, object);
}

HRESULT TestSink::GetState(DWORD milliseconds, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    *state = State();
    if (*state != State_Paused || !m_pin.IsConnected()) return S_OK;
    std::unique_lock<std::mutex> lock(m_mutex);
    const bool ready = m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] {
        return m_prerolled || m_end_of_stream || m_mode != Mode::Paused;
    });
    return ready ? S_OK : VFW_S_STATE_INTERMEDIATE;
}

std::vector<LONGLONG> TestSink::Rendered() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_rendered;
}

int TestSink::Flushes() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_flushes;
}

int TestSink::Segments() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_segments;
}

REFERENCE_TIME TestSink::LastSegmentStart() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_segment_start;
}

int TestSink::CompletionsSent() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_completions;
}

bool TestSink::WaitForRendered(size_t count, int timeout_ms) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                              [&] { return m_rendered.size() >= count; });
}

void TestSink::ClearRecord() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rendered.clear();
    m_flushes = 0;
    m_segments = 0;
    m_completions = 0;
}

HRESULT TestSink::Render(IMediaSample* sample) {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    if (FAILED(sample->GetTime(&start, &stop))) start = 0;
    LONGLONG number = -1;
    BYTE* data = nullptr;
    if (SUCCEEDED(sample->GetPointer(&data)) &&
        sample->GetActualDataLength() >= static_cast<long>(sizeof(number))) {
        std::memcpy(&number, data, sizeof(number));
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_prerolled = true;
    m_changed.notify_all();
    while (true) {
        if (m_flushing || m_mode == Mode::Stopped) return S_FALSE;
        REFERENCE_TIME now = 0;
        if (m_mode == Mode::Running &&
            (!m_options.render_on_clock || !StreamTime(&now) || now >= start)) {
            break;
        }
        m_changed.wait_for(lock, kPoll);  // paused: hold the sample; running: its time comes
    }
    m_rendered.push_back(number);
    m_changed.notify_all();
    return S_OK;
}

void TestSink::OnEndOfStream() {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_flushing) return;
    m_end_of_stream = true;
    m_changed.notify_all();
    if (m_mode == Mode::Running) SendCompletionLocked(lock);
}

void TestSink::OnBeginFlush() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_flushing = true;
    ++m_flushes;
    m_prerolled = false;
    m_end_of_stream = false;
    m_completion_sent = false;
    m_changed.notify_all();
}

void TestSink::OnEndFlush() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_flushing = false;
}

void TestSink::OnNewSegment(REFERENCE_TIME start) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_segments;
    m_segment_start = start;
}

HRESULT TestSink::Activate() {
    Note("pause");
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mode = Mode::Paused;
    m_flushing = false;
    m_prerolled = false;
    m_end_of_stream = false;
    m_completion_sent = false;
    m_changed.notify_all();
    return S_OK;
}

HRESULT TestSink::Deactivate() {
    Note("stop");
    SetMode(Mode::Stopped);
    return S_OK;
}

HRESULT TestSink::StartRunning(REFERENCE_TIME /*start*/) {
    Note("run");
    std::unique_lock<std::mutex> lock(m_mutex);
    m_mode = Mode::Running;
    m_changed.notify_all();
    if (m_end_of_stream) SendCompletionLocked(lock);
    return S_OK;
}

HRESULT TestSink::StopRunning() {
    Note("pause");
    SetMode(Mode::Paused);
    return S_OK;
}

void TestSink::SetMode(Mode mode) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mode = mode;
    m_changed.notify_all();
}

void TestSink::Note(const char* state) {
    if (m_options.journal) m_options.journal->Add(m_options.name + ":" + state);
}

void TestSink::SendCompletionLocked(std::unique_lock<std::mutex>& lock) {
    if (m_completion_sent) return;
    m_completion_sent = true;
    ++m_completions;
    lock.unlock();
    NotifyEvent(EC_COMPLETE, S_OK, 0);
    lock.lock();
}

bool TestSink::StreamTime(REFERENCE_TIME* now) {
    return SUCCEEDED(CBaseFilter::StreamTime(now));
}
