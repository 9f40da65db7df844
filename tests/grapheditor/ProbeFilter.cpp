#include "tests/grapheditor/ProbeFilter.h"

#include <algorithm>
#include <new>

#include "platform/com/objbase.h"
#include "platform/media/uuids.h"

namespace {

class ProbePin : public CBasePin {
public:
    ProbePin(CBaseFilter* filter, CCritSec* lock, const ProbePinSpec& spec)
        : CBasePin("probe pin", filter, lock, spec.name.c_str(), spec.direction) {}

    HRESULT CheckMediaType(const CMediaType* /*type*/) override { return S_OK; }
    HRESULT GetMediaType(int position, CMediaType* type) override {
        if (position < 0) return E_INVALIDARG;
        if (position > 0) return VFW_S_NO_MORE_ITEMS;
        *type = CMediaType(&MEDIATYPE_Stream);
        type->SetSubtype(&MEDIASUBTYPE_WAVE);
        return S_OK;
    }
    HRESULT BeginFlush() override { return S_OK; }
    HRESULT EndFlush() override { return S_OK; }
};

// Shows the filter's pass k after its k-th Reset (pass 0 before any).
class PassEnumerator : public CUnknown, public IEnumPins {
public:
    explicit PassEnumerator(ProbeFilter* filter)
        : CUnknown("probe pin enumerator"), m_filter(filter), m_hold(filter) {
        m_pins = m_filter->PassPins(0);
    }

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IEnumPins) return GetInterface(static_cast<IEnumPins*>(this), object);
        return CUnknown::NonDelegatingQueryInterface(iid, object);
    }

    HRESULT Next(ULONG count, IPin** pins, ULONG* fetched) override {
        if (!pins || (count > 1 && !fetched)) return E_POINTER;
        ULONG got = 0;
        while (got < count && m_position < m_pins.size()) {
            pins[got] = m_pins[m_position++];
            pins[got]->AddRef();
            ++got;
        }
        if (fetched) *fetched = got;
        return got == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG count) override {
        m_position = std::min(m_pins.size(), m_position + count);
        return m_position < m_pins.size() ? S_OK : S_FALSE;
    }
    HRESULT Reset() override {
        m_pins = m_filter->PassPins(m_resets++);
        m_position = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumPins** /*clone*/) override { return E_NOTIMPL; }

private:
    ProbeFilter* const m_filter;
    ComPtr<IBaseFilter> m_hold;
    std::vector<IPin*> m_pins;
    size_t m_position = 0;
    size_t m_resets = 0;
};

}  // namespace

ProbeFilter::ProbeFilter(std::vector<ProbePinSpec> pins)
    : CBaseFilter("probe filter", &m_filter_lock, CLSID_ProbeFilter) {
    std::vector<size_t> all;
    for (const ProbePinSpec& spec : pins) {
        all.push_back(m_pins.size());
        m_pins.push_back(std::make_unique<ProbePin>(this, &m_filter_lock, spec));
    }
    m_passes.push_back(all);
}

ProbeFilter::~ProbeFilter() = default;

int ProbeFilter::GetPinCount() {
    return static_cast<int>(m_pins.size());
}

CBasePin* ProbeFilter::GetPin(int index) {
    return index >= 0 && index < GetPinCount() ? m_pins[static_cast<size_t>(index)].get() : nullptr;
}

std::vector<IPin*> ProbeFilter::PassPins(size_t pass) {
    std::vector<IPin*> pins;
    for (size_t index : m_passes[std::min(pass, m_passes.size() - 1)])
        pins.push_back(m_pins[index].get());
    return pins;
}

HRESULT ProbeFilter::EnumPins(IEnumPins** pins) {
    if (!pins) return E_POINTER;
    auto* enumerator = new (std::nothrow) PassEnumerator(this);
    if (!enumerator) return E_OUTOFMEMORY;
    return enumerator->NonDelegatingQueryInterface(IID_IEnumPins, reinterpret_cast<void**>(pins));
}

HRESULT ProbeFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    IFilterGraph* leaving = GetFilterGraph();
    const HRESULT hr = CBaseFilter::JoinFilterGraph(graph, name);
    if (!graph && leaving && m_companion) leaving->AddFilter(m_companion.Get(), u"Companion");
    return hr;
}

ComPtr<IBaseFilter> MakeProbe(std::vector<ProbePinSpec> pins, ProbeFilter** typed) {
    auto* filter = new ProbeFilter(std::move(pins));
    if (typed) *typed = filter;
    return ComPtr<IBaseFilter>(filter);
}
