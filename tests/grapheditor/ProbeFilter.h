// ProbeFilter: a filter for probing the graph editor's records. Its pins (named, of either
// direction, accepting any type) may be shown differently from one enumeration pass to the
// next: a new enumerator and its first Reset show pass 0, its second Reset pass 1, and so on
// (the last pass repeats), so the filter can report other pins when counted than when listed.
// It may also bring a companion filter into the graph it leaves, so that removing it does not
// lower the graph's filter count. Its class is registered nowhere.
// Order of use: construct with the pins, set the options, hand it out through QueryInterface.
// Threading: the test's thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CBasePin.h"
#include "platform/sync/CCritSec.h"

inline constexpr GUID CLSID_ProbeFilter = MakeGuid("5A1E0F3C-6B0D-4C8E-9D2A-7E41B3C9F0A1");

struct ProbePinSpec {
    std::u16string name;
    PIN_DIRECTION direction;
};

class ProbeFilter : public CBaseFilter {
public:
    explicit ProbeFilter(std::vector<ProbePinSpec> pins);
    ~ProbeFilter() override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;
    HRESULT EnumPins(IEnumPins** pins) override;
    HRESULT JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;

    // Each pass lists indices into the pins given at construction.
    void SetPasses(std::vector<std::vector<size_t>> passes) { m_passes = std::move(passes); }
    // Added to the graph this filter leaves, under the name "Companion".
    void SetCompanion(ComPtr<IBaseFilter> companion) { m_companion = std::move(companion); }
    // The pins pass `pass` shows.
    std::vector<IPin*> PassPins(size_t pass);

private:
    CCritSec m_filter_lock;
    std::vector<std::unique_ptr<CBasePin>> m_pins;
    std::vector<std::vector<size_t>> m_passes;
    ComPtr<IBaseFilter> m_companion;
};

// A new probe filter held by its IBaseFilter; `typed`, when given, receives the filter.
ComPtr<IBaseFilter> MakeProbe(std::vector<ProbePinSpec> pins, ProbeFilter** typed = nullptr);
