// CBaseFilter conformance: interfaces, pins and their information, the state machine with its
// hooks, the clock, graph membership and events, and references.
#include <string>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/evcode.h"
#include "tests/platform/media/base/MediaTestHelpers.h"
#include "tests/platform/media/support/RecordingGraph.h"
#include "tests/platform/media/support/TestClock.h"
#include "tests/platform/media/support/TestSinkFilter.h"
#include "tests/platform/media/support/TestSourceFilter.h"

namespace {

// A filter whose hooks can be made to fail, recording the order they ran in.
class HookedFilter : public TestSinkFilter {
public:
    HRESULT fail_activate = S_OK;
    HRESULT fail_run = S_OK;
    std::string calls;

protected:
    HRESULT Activate() override {
        calls += "A";
        return fail_activate;
    }
    HRESULT Deactivate() override {
        calls += "D";
        return S_OK;
    }
    HRESULT StartRunning(REFERENCE_TIME /*start*/) override {
        calls += "R";
        return fail_run;
    }
    HRESULT StopRunning() override {
        calls += "P";
        return S_OK;
    }
};

// ---- interfaces --------------------------------------------------------------------------

TEST(CBaseFilterInterfaces, answers_base_filter_media_filter_and_persist) {
    NoObjectLeftBehind check;
    Held<TestSinkFilter> sink;
    ComPtr<IMediaFilter> media;
    ComPtr<IPersist> persist;
    ComPtr<IPin> not_a_pin;
    EXPECT_EQ(sink.reference.As(&media), S_OK);
    EXPECT_EQ(sink.reference.As(&persist), S_OK);
    EXPECT_EQ(sink.reference.As(&not_a_pin), E_NOINTERFACE);
    CLSID clsid = CLSID_FilterGraph;
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, GUID_NULL));
    EXPECT_EQ(persist->GetClassID(nullptr), E_POINTER);
}

TEST(CBaseFilterInterfaces, vendor_info_is_not_offered) {
    Held<TestSinkFilter> sink;
    LPWSTR info = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(sink->QueryVendorInfo(&info), E_NOTIMPL);
    EXPECT_EQ(info, nullptr);
}

// ---- pins --------------------------------------------------------------------------------

TEST(CBaseFilterPins, enumeration_hands_out_each_pin_once) {
    NoObjectLeftBehind check;
    Held<TestSinkFilter> sink;
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(sink->EnumPins(pins.GetAddressOf()), S_OK);
    IPin* got[2] = {};
    ULONG fetched = 9;
    EXPECT_EQ(pins->Next(2, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(got[0], static_cast<IPin*>(sink->InputPin()));
    got[0]->Release();
    EXPECT_EQ(pins->Next(1, got, nullptr), S_FALSE);
    EXPECT_EQ(pins->Next(2, got, nullptr), E_INVALIDARG);  // more than one needs a count
    EXPECT_EQ(pins->Reset(), S_OK);
    EXPECT_EQ(pins->Skip(1), S_OK);
    EXPECT_EQ(pins->Skip(1), S_FALSE);
}

TEST(CBaseFilterPins, clone_starts_where_the_original_stands) {
    Held<TestSinkFilter> sink;
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(sink->EnumPins(pins.GetAddressOf()), S_OK);
    ComPtr<IEnumPins> at_start;
    ASSERT_EQ(pins->Clone(at_start.GetAddressOf()), S_OK);
    pins->Skip(1);
    ComPtr<IEnumPins> at_end;
    ASSERT_EQ(pins->Clone(at_end.GetAddressOf()), S_OK);
    IPin* pin = nullptr;
    EXPECT_EQ(at_end->Next(1, &pin, nullptr), S_FALSE);
    ASSERT_EQ(at_start->Next(1, &pin, nullptr), S_OK);
    pin->Release();
}

TEST(CBaseFilterPins, enumerator_notices_a_changed_pin_set_until_reset) {
    Held<TestSinkFilter> sink;
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(sink->EnumPins(pins.GetAddressOf()), S_OK);
    sink->IncrementPinVersion();
    IPin* pin = nullptr;
    EXPECT_EQ(pins->Next(1, &pin, nullptr), VFW_E_ENUM_OUT_OF_SYNC);
    EXPECT_EQ(pins->Skip(1), VFW_E_ENUM_OUT_OF_SYNC);
    ASSERT_EQ(pins->Reset(), S_OK);
    ASSERT_EQ(pins->Next(1, &pin, nullptr), S_OK);
    pin->Release();
}

TEST(CBaseFilterPins, find_pin_by_name) {
    Held<TestSinkFilter> sink;
    ComPtr<IPin> pin;
    ASSERT_EQ(sink->FindPin(u"Input", pin.GetAddressOf()), S_OK);
    EXPECT_EQ(pin.Get(), static_cast<IPin*>(sink->InputPin()));
    ComPtr<IPin> none;
    EXPECT_EQ(sink->FindPin(u"Output", none.GetAddressOf()), VFW_E_NOT_FOUND);
    EXPECT_EQ(none.Get(), nullptr);
}

TEST(CBaseFilterPins, pin_info_names_the_pin_and_holds_the_filter) {
    NoObjectLeftBehind check;
    Held<TestSourceFilter> source(AudioPcmType());
    PIN_INFO info{};
    ASSERT_EQ(source->OutputPin()->QueryPinInfo(&info), S_OK);
    EXPECT_EQ(std::u16string(info.achName), u"Output");
    EXPECT_EQ(info.dir, PINDIR_OUTPUT);
    EXPECT_EQ(info.pFilter, source.Base());
    // The filter reference is the caller's: releasing the filter leaves it alive.
    IBaseFilter* filter = info.pFilter;
    source.reference = nullptr;
    EXPECT_EQ(filter->Release(), 0u);
}

TEST(CBaseFilterPins, a_pin_keeps_its_filter_alive) {
    NoObjectLeftBehind check;
    ComPtr<IPin> pin;
    {
        Held<TestSinkFilter> sink;
        pin = sink->InputPin();
    }
    PIN_DIRECTION direction = PINDIR_OUTPUT;
    EXPECT_EQ(pin->QueryDirection(&direction), S_OK);
    EXPECT_EQ(direction, PINDIR_INPUT);
}

TEST(CBaseFilterPins, query_id_returns_the_name_in_task_memory) {
    Held<TestSinkFilter> sink;
    LPWSTR id = nullptr;
    ASSERT_EQ(sink->InputPin()->QueryId(&id), S_OK);
    EXPECT_EQ(std::u16string(id), u"Input");
    CoTaskMemFree(id);
}

// ---- state -------------------------------------------------------------------------------

TEST(CBaseFilterState, goes_stopped_paused_running_and_back) {
    Held<HookedFilter> filter;
    FILTER_STATE state = State_Running;
    ASSERT_EQ(filter->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);
    ASSERT_EQ(filter->Pause(), S_OK);
    filter->GetState(0, &state);
    EXPECT_EQ(state, State_Paused);
    ASSERT_EQ(filter->Run(0), S_OK);
    filter->GetState(0, &state);
    EXPECT_EQ(state, State_Running);
    ASSERT_EQ(filter->Pause(), S_OK);
    ASSERT_EQ(filter->Stop(), S_OK);
    filter->GetState(0, &state);
    EXPECT_EQ(state, State_Stopped);
    EXPECT_EQ(filter->calls, "ARPD");
}

TEST(CBaseFilterState, run_from_stopped_pauses_first_and_stop_from_running_stops_running) {
    Held<HookedFilter> filter;
    ASSERT_EQ(filter->Run(0), S_OK);
    ASSERT_EQ(filter->Stop(), S_OK);
    EXPECT_EQ(filter->calls, "ARPD");
}

TEST(CBaseFilterState, repeated_transitions_call_no_hook) {
    Held<HookedFilter> filter;
    filter->Stop();
    filter->Pause();
    filter->Pause();
    filter->Run(0);
    filter->Run(0);
    EXPECT_EQ(filter->calls, "AR");
    filter->Stop();
}

TEST(CBaseFilterState, failed_hook_leaves_the_state_unchanged) {
    Held<HookedFilter> filter;
    filter->fail_activate = E_FAIL;
    EXPECT_EQ(filter->Pause(), E_FAIL);
    EXPECT_TRUE(filter->IsStopped());
    filter->fail_activate = S_OK;
    filter->fail_run = VFW_E_RUNTIME_ERROR;
    ASSERT_EQ(filter->Pause(), S_OK);
    EXPECT_EQ(filter->Run(0), VFW_E_RUNTIME_ERROR);
    EXPECT_EQ(filter->State(), State_Paused);
    filter->Stop();
}

TEST(CBaseFilterState, get_state_checks_its_pointer) {
    Held<TestSinkFilter> sink;
    EXPECT_EQ(sink->GetState(0, nullptr), E_POINTER);
}

// ---- clock -------------------------------------------------------------------------------

TEST(CBaseFilterClock, sync_source_is_held_and_handed_back_counted) {
    NoObjectLeftBehind check;
    Held<TestSinkFilter> sink;
    ComPtr<IReferenceClock> clock(static_cast<IReferenceClock*>(new TestClock()));
    ComPtr<IReferenceClock> got;
    ASSERT_EQ(sink->GetSyncSource(got.GetAddressOf()), S_OK);
    EXPECT_EQ(got.Get(), nullptr);
    ASSERT_EQ(sink->SetSyncSource(clock.Get()), S_OK);
    ASSERT_EQ(sink->GetSyncSource(got.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(got.Get(), clock.Get());
    ASSERT_EQ(sink->SetSyncSource(nullptr), S_OK);
}

TEST(CBaseFilterClock, stream_time_counts_from_the_run_start) {
    Held<TestSinkFilter> sink;
    auto* clock = new TestClock();
    ComPtr<IReferenceClock> held(static_cast<IReferenceClock*>(clock));
    REFERENCE_TIME now = 0;
    EXPECT_EQ(sink->StreamTime(&now), VFW_E_NO_CLOCK);
    sink->SetSyncSource(held.Get());
    clock->SetTime(5000000);
    ASSERT_EQ(sink->Run(2000000), S_OK);
    ASSERT_EQ(sink->StreamTime(&now), S_OK);
    EXPECT_EQ(now, 3000000);
    sink->Stop();
    sink->SetSyncSource(nullptr);
}

// ---- graph membership and events ---------------------------------------------------------

TEST(CBaseFilterGraph, filter_info_reports_the_given_name_and_a_counted_graph) {
    NoObjectLeftBehind check;
    ComPtr<IFilterGraph> graph(static_cast<IFilterGraph*>(new RecordingGraph()));
    Held<TestSinkFilter> sink;
    FILTER_INFO info{};
    ASSERT_EQ(sink->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(info.achName[0], 0);
    EXPECT_EQ(info.pGraph, nullptr);
    ASSERT_EQ(graph->AddFilter(sink.Base(), u"Sink 0001"), S_OK);
    ASSERT_EQ(sink->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(std::u16string(info.achName), u"Sink 0001");
    ASSERT_EQ(info.pGraph, graph.Get());
    info.pGraph->Release();
    ASSERT_EQ(graph->RemoveFilter(sink.Base()), S_OK);
    ASSERT_EQ(sink->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(info.pGraph, nullptr);
    EXPECT_EQ(info.achName[0], 0);
}

TEST(CBaseFilterGraph, long_names_are_cut_to_127_units) {
    Held<TestSinkFilter> sink;
    const std::u16string name(200, u'x');
    ASSERT_EQ(sink->JoinFilterGraph(nullptr, name.c_str()), S_OK);
    FILTER_INFO info{};
    ASSERT_EQ(sink->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(std::u16string(info.achName).size(), 127u);
}

TEST(CBaseFilterGraph, events_reach_the_graph_and_complete_names_the_filter) {
    auto* recording = new RecordingGraph();
    ComPtr<IFilterGraph> graph(static_cast<IFilterGraph*>(recording));
    Held<TestSinkFilter> sink;
    EXPECT_EQ(sink->NotifyEvent(EC_COMPLETE, S_OK, 0), E_NOTIMPL);  // not in a graph yet
    graph->AddFilter(sink.Base(), u"Sink");
    ASSERT_EQ(sink->NotifyEvent(EC_COMPLETE, S_OK, 0), S_OK);
    ASSERT_EQ(sink->NotifyEvent(EC_PAUSED, 1, 2), S_OK);
    const auto events = recording->Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].code, EC_COMPLETE);
    EXPECT_EQ(events[0].param2, reinterpret_cast<LONG_PTR>(sink.Base()));
    EXPECT_EQ(events[1].param2, 2);
    recording->RemoveAll();
}

}  // namespace
