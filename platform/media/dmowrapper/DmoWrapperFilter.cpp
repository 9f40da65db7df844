#include "platform/media/dmowrapper/DmoWrapperFilter.h"

#include <algorithm>
#include <new>
#include <string>

#include "platform/com/objbase.h"
#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/dmo/DmoRegistry.h"
#include "platform/media/dmowrapper/SampleMediaBuffer.h"
#include "platform/media/uuids.h"
#include "platform/sync/CAutoLock.h"

namespace {

// More streams than any real object has: a count beyond it is taken as a broken object.
constexpr DWORD kMaxStreams = 64;

std::u16string PinName(const char16_t* prefix, DWORD stream) {
    std::u16string name = prefix;
    for (const char digit : std::to_string(stream))
        name += static_cast<char16_t>(digit);
    return name;
}

// The ProcessInput flags and times a sample carries.
DWORD InputFlags(IMediaSample* sample, REFERENCE_TIME* start, REFERENCE_TIME* length) {
    DWORD flags = sample->IsSyncPoint() == S_OK ? DMO_INPUT_DATA_BUFFERF_SYNCPOINT : 0;
    REFERENCE_TIME stop = 0;
    const HRESULT timed = sample->GetTime(start, &stop);
    if (timed == S_OK) {
        flags |= DMO_INPUT_DATA_BUFFERF_TIME | DMO_INPUT_DATA_BUFFERF_TIMELENGTH;
        *length = stop - *start;
    } else if (timed == VFW_S_NO_STOP_TIME) {
        flags |= DMO_INPUT_DATA_BUFFERF_TIME;
    }
    return flags;
}

}  // namespace

DmoWrapperFilter::DmoWrapperFilter()
    : CBaseFilter("DMO wrapper filter", &m_filter_lock, CLSID_DMOWrapperFilter) {}

DmoWrapperFilter::~DmoWrapperFilter() = default;

CUnknown* DmoWrapperFilter::CreateInstance(LPUNKNOWN /*outer*/, HRESULT* hr) {
    auto* filter = new (std::nothrow) DmoWrapperFilter();
    if (!filter && hr) *hr = E_OUTOFMEMORY;
    return filter;
}

HRESULT DmoWrapperFilter::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IDMOWrapperFilter)) {
        return GetInterface(static_cast<IDMOWrapperFilter*>(this), object);
    }
    const HRESULT hr = CBaseFilter::NonDelegatingQueryInterface(iid, object);
    if (hr != E_NOINTERFACE || !m_object || IsEqualIID(iid, IID_IUnknown)) return hr;
    return m_object->QueryInterface(iid, object);
}

HRESULT DmoWrapperFilter::Init(REFCLSID dmo, REFCLSID category) {
    CAutoLock lock(&m_filter_lock);
    if (m_object) return E_UNEXPECTED;
    // A category that does not list the object is a stale or mistaken pairing: the object
    // may not be what the caller expects to host.
    if (!DmoRegistry::IsRegistered(dmo, category)) return REGDB_E_CLASSNOTREG;
    ComPtr<IMediaObject> object;
    HRESULT hr =
        CoCreateInstance(dmo, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(object.GetAddressOf()));
    if (FAILED(hr)) return hr;
    DWORD inputs = 0;
    DWORD outputs = 0;
    hr = object->GetStreamCount(&inputs, &outputs);
    if (FAILED(hr)) return hr;
    if (inputs > kMaxStreams || outputs > kMaxStreams) return E_UNEXPECTED;

    // The pins call into the object, so it is in place before the first of them.
    m_object = object;
    for (DWORD i = 0; i < inputs && SUCCEEDED(hr); ++i) {
        auto* pin =
            new (std::nothrow) DmoInputPin(this, &m_filter_lock, PinName(u"in", i).c_str(), i);
        if (pin)
            m_inputs.emplace_back(pin);
        else
            hr = E_OUTOFMEMORY;
    }
    for (DWORD o = 0; o < outputs && SUCCEEDED(hr); ++o) {
        auto* pin =
            new (std::nothrow) DmoOutputPin(this, &m_filter_lock, PinName(u"out", o).c_str(), o);
        if (pin)
            m_outputs.emplace_back(pin);
        else
            hr = E_OUTOFMEMORY;
    }
    if (FAILED(hr)) {
        m_outputs.clear();
        m_inputs.clear();
        m_object = nullptr;
        return hr;
    }
    m_ended.assign(inputs, false);
    m_category = category;
    IncrementPinVersion();
    return S_OK;
}

GUID DmoWrapperFilter::Category() const {
    CAutoLock lock(&m_filter_lock);
    return m_category;
}

int DmoWrapperFilter::GetPinCount() {
    return static_cast<int>(m_inputs.size() + m_outputs.size());
}

CBasePin* DmoWrapperFilter::GetPin(int index) {
    if (index < 0) return nullptr;
    const auto at = static_cast<size_t>(index);
    if (at < m_inputs.size()) return m_inputs[at].get();
    if (at - m_inputs.size() < m_outputs.size()) return m_outputs[at - m_inputs.size()].get();
    return nullptr;
}

DmoInputPin* DmoWrapperFilter::InputPin(DWORD stream) const {
    return stream < m_inputs.size() ? m_inputs[stream].get() : nullptr;
}

long DmoWrapperFilter::LargestInputBuffer() const {
    long largest = 0;
    for (const auto& pin : m_inputs) {
        ALLOCATOR_PROPERTIES properties{};
        if (pin->Allocator() && SUCCEEDED(pin->Allocator()->GetProperties(&properties))) {
            largest = std::max(largest, properties.cbBuffer);
        }
    }
    return largest;
}

HRESULT DmoWrapperFilter::Activate() {
    if (!m_object) return S_OK;
    CAutoLock lock(&m_streaming_lock);
    std::fill(m_ended.begin(), m_ended.end(), false);
    const HRESULT hr = m_object->AllocateStreamingResources();
    // A wrapper with a stream left unconnected may pause with its graph; it just passes
    // nothing on.
    m_streaming = SUCCEEDED(hr);
    return SUCCEEDED(hr) || hr == DMO_E_TYPE_NOT_SET ? S_OK : hr;
}

HRESULT DmoWrapperFilter::Deactivate() {
    if (!m_object) return S_OK;
    CAutoLock lock(&m_streaming_lock);
    if (m_streaming) m_object->FreeStreamingResources();
    m_streaming = false;
    return S_OK;
}

HRESULT DmoWrapperFilter::ProcessSample(DWORD stream, IMediaSample* sample) {
    CAutoLock lock(&m_streaming_lock);
    // Not streaming: some stream is unconnected, so nothing could go anywhere.
    if (!m_streaming) return S_FALSE;
    AM_MEDIA_TYPE* changed = nullptr;
    if (sample->GetMediaType(&changed) == S_OK && changed) {
        const HRESULT set = m_object->SetInputType(stream, changed, 0);
        DeleteMediaType(changed);
        if (FAILED(set)) return set;
    }
    HRESULT hr = S_OK;
    ComPtr<IMediaBuffer> buffer = SampleMediaBuffer::Create(sample, &hr);
    if (!buffer) return hr;
    if (sample->IsDiscontinuity() == S_OK) {
        // What the object holds of the stream before the break goes out first.
        if (SUCCEEDED(m_object->Discontinuity(stream))) DrainOutput();
        m_discontinuity = true;
    }
    REFERENCE_TIME start = 0;
    REFERENCE_TIME length = 0;
    const DWORD flags = InputFlags(sample, &start, &length);
    hr = m_object->ProcessInput(stream, buffer.Get(), flags, start, length);
    if (hr == DMO_E_NOTACCEPTING) {
        hr = DrainOutput();
        if (hr == S_OK) hr = m_object->ProcessInput(stream, buffer.Get(), flags, start, length);
    }
    if (FAILED(hr)) return hr;
    if (hr == S_FALSE) return S_OK;  // nothing in it to process
    hr = DrainOutput();
    // Stopping decommits the allocators: an expected end, not an error for upstream.
    return hr == VFW_E_NOT_COMMITTED ? S_FALSE : hr;
}

HRESULT DmoWrapperFilter::DrainOutput() {
    bool more = true;
    HRESULT hr = S_OK;
    while (hr == S_OK && more)
        hr = ProcessOutputOnce(&more);
    return hr;
}

HRESULT DmoWrapperFilter::ProcessOutputOnce(bool* more) {
    *more = false;
    const size_t count = m_outputs.size();
    std::vector<DMO_OUTPUT_DATA_BUFFER> buffers(count, DMO_OUTPUT_DATA_BUFFER{});
    std::vector<ComPtr<IMediaSample>> samples(count);
    std::vector<ComPtr<IMediaBuffer>> wrapped(count);
    for (size_t o = 0; o < count; ++o) {
        if (!m_outputs[o]->IsConnected()) continue;
        HRESULT hr =
            m_outputs[o]->GetDeliveryBuffer(samples[o].GetAddressOf(), nullptr, nullptr, 0);
        if (FAILED(hr)) return hr;
        samples[o]->SetActualDataLength(0);
        wrapped[o] = SampleMediaBuffer::Create(samples[o].Get(), &hr);
        if (!wrapped[o]) return hr;
        buffers[o].pBuffer = wrapped[o].Get();
    }
    DWORD status = 0;
    const HRESULT hr = m_object->ProcessOutput(DMO_PROCESS_OUTPUT_DISCARD_WHEN_NO_BUFFER,
                                               static_cast<DWORD>(count), buffers.data(), &status);
    if (hr != S_OK) return SUCCEEDED(hr) ? S_OK : hr;  // S_FALSE: nothing more to give
    for (size_t o = 0; o < count; ++o) {
        if (!samples[o] || samples[o]->GetActualDataLength() == 0) continue;
        const HRESULT delivered = DeliverOutput(m_outputs[o].get(), samples[o].Get(), buffers[o]);
        if (delivered != S_OK) return delivered;
        // Only a round that gave something may ask for another, or a stuck object would spin.
        if (buffers[o].dwStatus & DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE) *more = true;
    }
    return S_OK;
}

HRESULT DmoWrapperFilter::DeliverOutput(DmoOutputPin* pin, IMediaSample* sample,
                                        const DMO_OUTPUT_DATA_BUFFER& output) {
    REFERENCE_TIME start = output.rtTimestamp;
    REFERENCE_TIME stop = output.rtTimestamp + output.rtTimelength;
    if (!(output.dwStatus & DMO_OUTPUT_DATA_BUFFERF_TIME)) {
        sample->SetTime(nullptr, nullptr);
    } else if (output.dwStatus & DMO_OUTPUT_DATA_BUFFERF_TIMELENGTH) {
        sample->SetTime(&start, &stop);
    } else {
        sample->SetTime(&start, nullptr);
    }
    sample->SetSyncPoint((output.dwStatus & DMO_OUTPUT_DATA_BUFFERF_SYNCPOINT) ? TRUE : FALSE);
    sample->SetDiscontinuity(m_discontinuity ? TRUE : FALSE);
    m_discontinuity = false;
    return pin->Deliver(sample);
}

HRESULT DmoWrapperFilter::EndOfInput(DWORD stream) {
    CAutoLock lock(&m_streaming_lock);
    if (stream >= m_ended.size()) return E_UNEXPECTED;
    if (m_streaming && SUCCEEDED(m_object->Discontinuity(stream))) DrainOutput();
    m_ended[stream] = true;
    if (std::find(m_ended.begin(), m_ended.end(), false) != m_ended.end()) return S_OK;
    for (const auto& pin : m_outputs) {
        if (pin->IsConnected()) pin->DeliverEndOfStream();
    }
    return S_OK;
}

HRESULT DmoWrapperFilter::BeginFlushing() {
    // Downstream first: it gives back the buffers a blocked Receive may be waiting for.
    for (const auto& pin : m_outputs) {
        if (pin->IsConnected()) pin->DeliverBeginFlush();
    }
    CAutoLock lock(&m_streaming_lock);
    std::fill(m_ended.begin(), m_ended.end(), false);
    return m_object->Flush();
}

HRESULT DmoWrapperFilter::EndFlushing() {
    for (const auto& pin : m_outputs) {
        if (pin->IsConnected()) pin->DeliverEndFlush();
    }
    return S_OK;
}

HRESULT DmoWrapperFilter::PassNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    for (const auto& pin : m_outputs) {
        if (pin->IsConnected()) pin->DeliverNewSegment(start, stop, rate);
    }
    return S_OK;
}
