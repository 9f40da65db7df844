#include "tests/platform/media/graph/TestSource.h"

#include <cstring>

#include "platform/sync/CAutoLock.h"

namespace {

constexpr GUID kTestSourceClsid = MakeGuid("5A0E3D10-6F0B-4C2E-9A51-7C1D2E3F4A01");
constexpr long kBufferSize = 64;
constexpr long kBufferCount = 4;

}  // namespace

TestSourcePin::TestSourcePin(TestSource* source, CCritSec* lock, const GUID& major,
                             const GUID& minor)
    : CBaseOutputPin("test source pin", source, lock, u"Out"), m_major(major), m_minor(minor) {}

HRESULT TestSourcePin::CheckMediaType(const CMediaType* type) {
    return *type->Type() == m_major && *type->Subtype() == m_minor ? S_OK : S_FALSE;
}

HRESULT TestSourcePin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    type->InitMediaType();
    type->SetType(&m_major);
    type->SetSubtype(&m_minor);
    type->SetFormatType(&FORMAT_None);
    return S_OK;
}

HRESULT TestSourcePin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    request->cBuffers = request->cBuffers > kBufferCount ? request->cBuffers : kBufferCount;
    request->cbBuffer = request->cbBuffer > kBufferSize ? request->cbBuffer : kBufferSize;
    ALLOCATOR_PROPERTIES actual{};
    return allocator->SetProperties(request, &actual);
}

TestSource::TestSource(const Options& options)
    : CBaseFilter("test source", &m_filter_lock, kTestSourceClsid),
      m_options(options),
      m_pin(this, &m_filter_lock, options.major, options.minor),
      m_stop(options.duration) {}

TestSource::~TestSource() {
    StopThread();
}

HRESULT TestSource::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (m_options.seekable && iid == IID_IMediaSeeking) {
        return GetInterface(static_cast<IMediaSeeking*>(this), object);
    }
    return CBaseFilter::NonDelegatingQueryInterface(iid, object);
}

HRESULT TestSource::GetCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    *capabilities = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards |
                    AM_SEEKING_CanSeekBackwards | AM_SEEKING_CanGetStopPos |
                    AM_SEEKING_CanGetDuration;
    return S_OK;
}

HRESULT TestSource::CheckCapabilities(DWORD* capabilities) {
    DWORD mine = 0;
    GetCapabilities(&mine);
    if (!capabilities) return E_POINTER;
    const DWORD asked = *capabilities;
    *capabilities &= mine;
    return *capabilities == asked ? S_OK : (*capabilities ? S_FALSE : E_FAIL);
}

HRESULT TestSource::IsFormatSupported(const GUID* format) {
    if (!format) return E_POINTER;
    return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT TestSource::QueryPreferredFormat(GUID* format) {
    return GetTimeFormat(format);
}

HRESULT TestSource::GetTimeFormat(GUID* format) {
    if (!format) return E_POINTER;
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT TestSource::IsUsingTimeFormat(const GUID* format) {
    return IsFormatSupported(format);
}

HRESULT TestSource::SetTimeFormat(const GUID* format) {
    return IsFormatSupported(format) == S_OK ? S_OK : E_INVALIDARG;
}

HRESULT TestSource::GetDuration(LONGLONG* duration) {
    if (!duration) return E_POINTER;
    *duration = m_options.duration;
    return S_OK;
}

HRESULT TestSource::GetStopPosition(LONGLONG* stop) {
    if (!stop) return E_POINTER;
    std::lock_guard<std::mutex> lock(m_seek_mutex);
    *stop = m_stop;
    return S_OK;
}

HRESULT TestSource::GetCurrentPosition(LONGLONG* current) {
    if (!current) return E_POINTER;
    *current = StartPosition();
    return S_OK;
}

HRESULT TestSource::ConvertTimeFormat(LONGLONG* target, const GUID* /*target_format*/,
                                      LONGLONG source, const GUID* /*source_format*/) {
    if (!target) return E_POINTER;
    *target = source;
    return S_OK;
}

HRESULT TestSource::SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* stop,
                                 DWORD stop_flags) {
    const bool new_start = (current_flags & AM_SEEKING_PositioningBitsMask) != 0;
    const bool new_stop = (stop_flags & AM_SEEKING_PositioningBitsMask) != 0;
    ++m_seeks;
    {
        std::lock_guard<std::mutex> lock(m_seek_mutex);
        if (new_start) m_start = *current < 0 ? 0 : *current;
        if (new_stop) m_stop = *stop;
    }
    if (new_start && IsActive()) {
        // A source flushes what it has sent, then starts a new segment from the new place.
        m_pin.DeliverBeginFlush();
        StopThread();
        m_pin.DeliverEndFlush();
        StartThread();
    }
    return S_OK;
}

HRESULT TestSource::GetPositions(LONGLONG* current, LONGLONG* stop) {
    if (current) *current = StartPosition();
    return stop ? GetStopPosition(stop) : S_OK;
}

HRESULT TestSource::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    if (earliest) *earliest = 0;
    if (latest) *latest = m_options.duration;
    return S_OK;
}

HRESULT TestSource::SetRate(double rate) {
    return rate == 1.0 ? S_OK : E_NOTIMPL;
}

HRESULT TestSource::GetRate(double* rate) {
    if (!rate) return E_POINTER;
    *rate = 1.0;
    return S_OK;
}

HRESULT TestSource::GetPreroll(LONGLONG* preroll) {
    if (!preroll) return E_POINTER;
    *preroll = 0;
    return S_OK;
}

LONGLONG TestSource::StartPosition() {
    std::lock_guard<std::mutex> lock(m_seek_mutex);
    return m_start;
}

bool TestSource::ThreadRunning() {
    std::lock_guard<std::mutex> lock(m_seek_mutex);
    return m_thread.joinable();
}

HRESULT TestSource::Activate() {
    if (m_options.fail_activate) return E_FAIL;
    Note("pause");
    StartThread();
    return S_OK;
}

HRESULT TestSource::Deactivate() {
    Note("stop");
    StopThread();
    return S_OK;
}

HRESULT TestSource::StartRunning(REFERENCE_TIME /*start*/) {
    Note("run");
    return S_OK;
}

HRESULT TestSource::StopRunning() {
    Note("pause");
    return S_OK;
}

void TestSource::Note(const char* state) {
    if (m_options.journal) m_options.journal->Add(m_options.name + ":" + state);
}

void TestSource::StartThread() {
    std::lock_guard<std::mutex> lock(m_seek_mutex);
    if (m_thread.joinable() || !m_pin.IsConnected()) return;
    m_stop_thread = false;
    const LONGLONG start = m_start;
    const LONGLONG stop = m_stop < m_options.duration ? m_stop : m_options.duration;
    m_thread = std::thread([this, start, stop] { Stream(start, stop); });
}

void TestSource::StopThread() {
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(m_seek_mutex);
        m_stop_thread = true;
        thread = std::move(m_thread);
    }
    if (thread.joinable()) thread.join();
}

void TestSource::Stream(LONGLONG start, LONGLONG stop) {
    m_pin.DeliverNewSegment(start, stop, 1.0);
    const LONGLONG length = m_options.sample_length;
    for (LONGLONG position = start; position < stop && !m_stop_thread; position += length) {
        IMediaSample* sample = nullptr;
        if (FAILED(m_pin.GetDeliveryBuffer(&sample, nullptr, nullptr, 0)) || !sample) return;
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        const LONGLONG number = position / length;
        std::memcpy(data, &number, sizeof(number));
        sample->SetActualDataLength(sizeof(number));
        REFERENCE_TIME begin = position - start;
        REFERENCE_TIME end = begin + length;
        sample->SetTime(&begin, &end);
        sample->SetDiscontinuity(position == start);
        const HRESULT hr = m_pin.Deliver(sample);
        sample->Release();
        if (hr != S_OK) return;  // flushing, stopping, or the stream was refused
    }
    if (!m_stop_thread) m_pin.DeliverEndOfStream();
}
