#include "platform/media/filters/WaveParserFilter.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/media/filters/WaveMediaType.h"
#include "platform/media/uuids.h"
#include "platform/mmio/mmreg.h"
#include "platform/sync/CAutoLock.h"

WaveParserFilter::WaveParserFilter()
    : CBaseFilter("Wave Parser", &m_filter_lock, CLSID_WAVEParser),
      m_input(this, &m_filter_lock),
      m_output(this, &m_filter_lock) {}

// The pull thread delivers through the output pin, which goes before the input pin does.
WaveParserFilter::~WaveParserFilter() {
    m_input.StopPulling();
}

CUnknown* WaveParserFilter::CreateInstance(LPUNKNOWN /*outer*/, HRESULT* hr) {
    auto* filter = new (std::nothrow) WaveParserFilter();
    if (!filter && hr) *hr = E_OUTOFMEMORY;
    return filter;
}

CBasePin* WaveParserFilter::GetPin(int index) {
    if (index == 0) return &m_input;
    if (index == 1) return &m_output;
    return nullptr;
}

HRESULT WaveParserFilter::SetLayout(const WaveLayout& layout) {
    CMediaType type;
    if (!WaveMediaType::FromFormatChunk(layout.format, &type)) return VFW_E_INVALID_FILE_FORMAT;
    WAVEFORMATEX format{};
    std::memcpy(&format, type.Format(), sizeof format);
    CAutoLock lock(&m_filter_lock);
    m_audio_type = type;
    m_timeline = WaveTimeline(layout.data_offset, layout.data_size, format.nAvgBytesPerSec,
                              format.nBlockAlign);
    m_start_byte = m_timeline.DataOffset();
    m_stop_byte = m_timeline.DataEnd();
    m_stop_time = m_timeline.Duration();
    m_current_time = 0;
    m_output.SetDuration(m_timeline.Duration());
    m_output.IncrementTypeVersion();
    return S_OK;
}

void WaveParserFilter::ClearLayout() {
    CAutoLock lock(&m_filter_lock);
    m_audio_type = CMediaType();
    m_timeline = WaveTimeline();
    m_start_byte = m_stop_byte = 0;
    m_stop_time = 0;
    m_current_time = 0;
    m_output.SetDuration(0);
    m_output.IncrementTypeVersion();
}

HRESULT WaveParserFilter::SetSegment(const LONGLONG* start, LONGLONG stop) {
    CAutoLock lock(&m_filter_lock);
    if (!m_timeline.IsValid()) return VFW_E_NOT_CONNECTED;
    const bool streaming = m_input.IsPulling();
    if (streaming) {
        // Downstream first, so that a Receive blocked there lets the pull thread go.
        m_output.DeliverBeginFlush();
        m_input.StopPulling();
        m_output.DeliverEndFlush();
    }
    if (start) m_start_byte = m_timeline.StartByte(*start);
    m_stop_time = std::clamp<LONGLONG>(stop, 0, m_timeline.Duration());
    m_stop_byte = std::max(m_start_byte, m_timeline.StopByte(m_stop_time));
    m_current_time = StartTime();
    return streaming ? StartStreaming() : S_OK;
}

HRESULT WaveParserFilter::Activate() {
    CAutoLock lock(&m_filter_lock);
    if (!m_input.IsConnected() || !m_output.IsConnected() || !m_timeline.IsValid()) return S_OK;
    return StartStreaming();
}

HRESULT WaveParserFilter::StartStreaming() {
    m_discontinuity = true;
    m_current_time = StartTime();
    m_output.DeliverNewSegment(StartTime(), m_stop_time, 1.0);
    return m_input.StartPulling(m_start_byte, m_stop_byte);
}

HRESULT WaveParserFilter::StopStreaming() {
    CAutoLock lock(&m_filter_lock);
    if (!m_input.IsPulling()) return S_OK;
    m_output.DeliverBeginFlush();
    const HRESULT hr = m_input.StopPulling();
    m_output.DeliverEndFlush();
    return hr;
}

HRESULT WaveParserFilter::DeliverSamples(IMediaSample* read) {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    BYTE* bytes = nullptr;
    if (FAILED(read->GetTime(&start, &stop)) || FAILED(read->GetPointer(&bytes))) return E_FAIL;
    const int64_t position = start / UNITS;
    int64_t length = std::min<int64_t>(read->GetActualDataLength(), m_stop_byte - position);
    length -= length % m_timeline.BlockAlign();  // a torn last block is not played
    if (length <= 0) return S_OK;

    IMediaSample* out = nullptr;
    HRESULT hr = m_output.GetDeliveryBuffer(&out, nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* target = nullptr;
    if (FAILED(out->GetPointer(&target)) || length > out->GetSize()) {
        out->Release();
        return E_FAIL;
    }
    std::memcpy(target, bytes, static_cast<size_t>(length));
    out->SetActualDataLength(static_cast<long>(length));
    REFERENCE_TIME begin = m_timeline.TimeOfBytes(position - m_start_byte);
    REFERENCE_TIME end = m_timeline.TimeOfBytes(position + length - m_start_byte);
    out->SetTime(&begin, &end);
    out->SetSyncPoint(TRUE);
    out->SetDiscontinuity(m_discontinuity ? TRUE : FALSE);
    m_discontinuity = false;
    hr = m_output.Deliver(out);
    out->Release();
    m_current_time = StartTime() + end;
    return hr;
}

HRESULT WaveParserFilter::DeliverEndOfStream() {
    return m_output.DeliverEndOfStream();
}
