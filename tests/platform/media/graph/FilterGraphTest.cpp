// The graph as a container: names, enumeration, removal, direct connections, interfaces.
#include <string>

#include "platform/media/graph/FilterRegistry.h"
#include "platform/media/graph/RegKey.h"
#include "tests/platform/media/graph/GraphTestSupport.h"
#include "tests/platform/media/graph/TestSink.h"
#include "tests/platform/media/graph/TestSource.h"
#include "tests/platform/media/graph/TestTransform.h"
#include "tests/platform/media/graph/VideoWindowFilter.h"

namespace {

constexpr GUID kTransformClsid = MakeGuid("5A0E3D10-6F0B-4C2E-9A51-7C1D2E3F4A10");

std::u16string NameOf(IBaseFilter* filter) {
    FILTER_INFO info{};
    if (FAILED(filter->QueryFilterInfo(&info))) return u"?";
    if (info.pGraph) info.pGraph->Release();
    return info.achName;
}

ComPtr<IFilterGraph> GraphOf(IBaseFilter* filter) {
    FILTER_INFO info{};
    filter->QueryFilterInfo(&info);
    ComPtr<IFilterGraph> graph;
    graph.Attach(info.pGraph);
    return graph;
}

ComPtr<TestSink> NewSink(const GUID& major = MEDIATYPE_Audio) {
    TestSink::Options options;
    options.major = major;
    return Own(new TestSink(options));
}

ComPtr<TestSource> NewSource() {
    return Own(new TestSource(TestSource::Options{}));
}

using FilterGraphNames = GraphTest;

TEST_F(FilterGraphNames, a_taken_name_gets_the_first_free_numbered_suffix) {
    auto first = NewSink();
    auto second = NewSink();
    auto third = NewSink();
    EXPECT_EQ(Add(first.Get(), u"Renderer"), S_OK);
    EXPECT_EQ(Add(second.Get(), u"Renderer"), VFW_S_DUPLICATE_NAME);
    EXPECT_EQ(Add(third.Get(), u"Renderer"), VFW_S_DUPLICATE_NAME);
    EXPECT_EQ(NameOf(first.Get()), u"Renderer");
    EXPECT_EQ(NameOf(second.Get()), u"Renderer 0001");
    EXPECT_EQ(NameOf(third.Get()), u"Renderer 0002");

    // A name freed by a removal is given again.
    ASSERT_EQ(m_graph->RemoveFilter(second.Get()), S_OK);
    auto fourth = NewSink();
    EXPECT_EQ(Add(fourth.Get(), u"Renderer"), VFW_S_DUPLICATE_NAME);
    EXPECT_EQ(NameOf(fourth.Get()), u"Renderer 0001");
}

TEST_F(FilterGraphNames, a_missing_name_is_made_up_and_a_long_one_is_cut) {
    auto unnamed = NewSink();
    auto unnamed_too = NewSink();
    EXPECT_EQ(Add(unnamed.Get(), nullptr), S_OK);
    EXPECT_EQ(Add(unnamed_too.Get(), u""), S_OK);
    EXPECT_FALSE(NameOf(unnamed.Get()).empty());
    EXPECT_NE(NameOf(unnamed.Get()), NameOf(unnamed_too.Get()));

    const std::u16string long_name(300, u'x');
    auto first = NewSink();
    auto second = NewSink();
    EXPECT_EQ(Add(first.Get(), long_name.c_str()), S_OK);
    EXPECT_EQ(NameOf(first.Get()).size(), static_cast<size_t>(MAX_FILTER_NAME - 1));
    EXPECT_EQ(Add(second.Get(), long_name.c_str()), VFW_S_DUPLICATE_NAME);
    const std::u16string second_name = NameOf(second.Get());
    EXPECT_EQ(second_name.size(), static_cast<size_t>(MAX_FILTER_NAME - 1));
    EXPECT_EQ(second_name.substr(second_name.size() - 5), u" 0001");
}

TEST_F(FilterGraphNames, a_missing_name_is_the_registered_name_of_the_filters_class) {
    auto first = NewSink();
    auto second = NewSink();
    CLSID clsid{};
    ASSERT_EQ(first->GetClassID(&clsid), S_OK);
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CLASSES_ROOT, "CLSID\\" + FilterRegistry::GuidText(clsid)),
              ERROR_SUCCESS);
    ASSERT_EQ(key.SetString(nullptr, "Test Renderer"), ERROR_SUCCESS);
    EXPECT_EQ(Add(first.Get(), nullptr), S_OK);
    EXPECT_EQ(Add(second.Get(), u""), S_OK);
    EXPECT_EQ(NameOf(first.Get()), u"Test Renderer");
    EXPECT_EQ(NameOf(second.Get()), u"Test Renderer 0001");
}

TEST_F(FilterGraphNames, find_by_name_gives_the_filter_or_not_found) {
    auto sink = NewSink();
    ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
    ComPtr<IBaseFilter> found;
    EXPECT_EQ(m_graph->FindFilterByName(u"Sink", found.GetAddressOf()), S_OK);
    EXPECT_EQ(found.Get(), static_cast<IBaseFilter*>(sink.Get()));
    ComPtr<IBaseFilter> missing;
    EXPECT_EQ(m_graph->FindFilterByName(u"sink", missing.GetAddressOf()), VFW_E_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(m_graph->FindFilterByName(nullptr, missing.GetAddressOf()), E_POINTER);
}

TEST_F(FilterGraphNames, adding_the_same_filter_twice_is_refused) {
    auto sink = NewSink();
    ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
    EXPECT_EQ(Add(sink.Get(), u"Again"), E_INVALIDARG);
    EXPECT_EQ(NameOf(sink.Get()), u"Sink");
    EXPECT_EQ(Add(nullptr, u"Nothing"), E_POINTER);
}

using FilterGraphMembership = GraphTest;

TEST_F(FilterGraphMembership, a_filter_joins_on_add_and_leaves_on_remove) {
    auto sink = NewSink();
    ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
    EXPECT_EQ(GraphOf(sink.Get()).Get(), static_cast<IFilterGraph*>(m_graph.Get()));
    ASSERT_EQ(m_graph->RemoveFilter(sink.Get()), S_OK);
    EXPECT_EQ(GraphOf(sink.Get()), nullptr);
    EXPECT_EQ(m_graph->RemoveFilter(sink.Get()), VFW_E_NOT_FOUND);
}

TEST_F(FilterGraphMembership, removing_a_filter_breaks_both_ends_of_its_connections) {
    auto source = NewSource();
    auto sink = NewSink();
    ASSERT_EQ(Add(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
    ASSERT_EQ(m_graph->ConnectDirect(source->OutputPin(), sink->InputPin(), nullptr), S_OK);
    ASSERT_EQ(m_graph->RemoveFilter(sink.Get()), S_OK);
    ComPtr<IPin> peer;
    EXPECT_EQ(source->OutputPin()->ConnectedTo(peer.GetAddressOf()), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(sink->InputPin()->ConnectedTo(peer.GetAddressOf()), VFW_E_NOT_CONNECTED);
}

TEST_F(FilterGraphMembership, releasing_the_graph_releases_every_filter) {
    auto sink = NewSink();
    ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
    ReleaseGraph();
    EXPECT_EQ(GraphOf(sink.Get()), nullptr);
    // Only the test's own reference is left.
    EXPECT_EQ(sink.Reset(), 0u);
}

using FilterGraphEnumeration = GraphTest;

TEST_F(FilterGraphEnumeration, next_is_s_ok_only_when_it_fetched_all_it_was_asked) {
    auto a = NewSink();
    auto b = NewSink();
    ASSERT_EQ(Add(a.Get(), u"A"), S_OK);
    ASSERT_EQ(Add(b.Get(), u"B"), S_OK);
    ComPtr<IEnumFilters> filters;
    ASSERT_EQ(m_graph->EnumFilters(filters.GetAddressOf()), S_OK);

    IBaseFilter* got[3] = {};
    ULONG fetched = 99;
    EXPECT_EQ(filters->Next(3, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    // The newest filter comes first.
    EXPECT_EQ(got[0], static_cast<IBaseFilter*>(b.Get()));
    EXPECT_EQ(got[1], static_cast<IBaseFilter*>(a.Get()));
    got[0]->Release();
    got[1]->Release();

    EXPECT_EQ(filters->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    ASSERT_EQ(filters->Reset(), S_OK);
    EXPECT_EQ(filters->Next(1, got, nullptr), S_OK);
    got[0]->Release();
    EXPECT_EQ(filters->Next(2, got, nullptr), E_POINTER);
    EXPECT_EQ(filters->Skip(1), S_OK);
    EXPECT_EQ(filters->Skip(1), S_FALSE);
}

TEST_F(FilterGraphEnumeration, a_change_to_the_graph_puts_the_enumerator_out_of_sync) {
    auto a = NewSink();
    ASSERT_EQ(Add(a.Get(), u"A"), S_OK);
    ComPtr<IEnumFilters> filters;
    ASSERT_EQ(m_graph->EnumFilters(filters.GetAddressOf()), S_OK);
    ComPtr<IEnumFilters> clone;
    ASSERT_EQ(filters->Clone(clone.GetAddressOf()), S_OK);

    auto b = NewSink();
    ASSERT_EQ(Add(b.Get(), u"B"), S_OK);
    IBaseFilter* got = nullptr;
    EXPECT_EQ(filters->Next(1, &got, nullptr), VFW_E_ENUM_OUT_OF_SYNC);
    EXPECT_EQ(clone->Next(1, &got, nullptr), VFW_E_ENUM_OUT_OF_SYNC);
    ASSERT_EQ(filters->Reset(), S_OK);
    ULONG count = 0;
    while (filters->Next(1, &got, nullptr) == S_OK) {
        got->Release();
        ++count;
    }
    EXPECT_EQ(count, 2u);
}

TEST_F(FilterGraphEnumeration, an_enumerator_keeps_the_graph_alive) {
    auto sink = NewSink();
    ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
    ComPtr<IEnumFilters> filters;
    ASSERT_EQ(m_graph->EnumFilters(filters.GetAddressOf()), S_OK);
    ReleaseGraph();
    IBaseFilter* got = nullptr;
    ASSERT_EQ(filters->Next(1, &got, nullptr), S_OK);
    EXPECT_EQ(got, static_cast<IBaseFilter*>(sink.Get()));
    got->Release();
    filters = nullptr;
    EXPECT_EQ(GraphOf(sink.Get()), nullptr);
}

using FilterGraphConnections = GraphTest;

TEST_F(FilterGraphConnections, connect_direct_joins_an_output_to_an_input) {
    auto source = NewSource();
    auto sink = NewSink();
    ASSERT_EQ(Add(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
    ASSERT_EQ(m_graph->ConnectDirect(source->OutputPin(), sink->InputPin(), nullptr), S_OK);
    ComPtr<IPin> peer;
    ASSERT_EQ(sink->InputPin()->ConnectedTo(peer.GetAddressOf()), S_OK);
    EXPECT_EQ(peer.Get(), source->OutputPin());
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(sink->InputPin()->ConnectionMediaType(&type), S_OK);
    EXPECT_EQ(type.majortype, MEDIATYPE_Audio);
    FreeMediaType(type);
    EXPECT_EQ(m_graph->ConnectDirect(source->OutputPin(), sink->InputPin(), nullptr),
              VFW_E_ALREADY_CONNECTED);
}

TEST_F(FilterGraphConnections, connect_direct_refuses_wrong_directions_strangers_and_types) {
    auto source = NewSource();
    auto sink = NewSink();
    auto video_sink = NewSink(MEDIATYPE_Video);
    auto stranger = NewSink();
    ASSERT_EQ(Add(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
    ASSERT_EQ(Add(video_sink.Get(), u"Video"), S_OK);
    EXPECT_EQ(m_graph->ConnectDirect(sink->InputPin(), source->OutputPin(), nullptr),
              VFW_E_INVALID_DIRECTION);
    EXPECT_EQ(m_graph->ConnectDirect(source->OutputPin(), stranger->InputPin(), nullptr),
              VFW_E_NOT_IN_GRAPH);
    EXPECT_TRUE(
        FAILED(m_graph->ConnectDirect(source->OutputPin(), video_sink->InputPin(), nullptr)));
    EXPECT_EQ(m_graph->ConnectDirect(nullptr, sink->InputPin(), nullptr), E_POINTER);
    ComPtr<IPin> peer;
    EXPECT_EQ(source->OutputPin()->ConnectedTo(peer.GetAddressOf()), VFW_E_NOT_CONNECTED);
}

TEST_F(FilterGraphConnections, disconnect_acts_on_one_pin_only) {
    auto source = NewSource();
    auto sink = NewSink();
    ASSERT_EQ(Add(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
    ASSERT_EQ(m_graph->ConnectDirect(source->OutputPin(), sink->InputPin(), nullptr), S_OK);
    EXPECT_EQ(m_graph->Disconnect(sink->InputPin()), S_OK);
    ComPtr<IPin> peer;
    EXPECT_EQ(sink->InputPin()->ConnectedTo(peer.GetAddressOf()), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(source->OutputPin()->ConnectedTo(peer.GetAddressOf()), S_OK);
    EXPECT_EQ(m_graph->Disconnect(source->OutputPin()), S_OK);
    EXPECT_EQ(m_graph->Disconnect(source->OutputPin()), S_FALSE);
}

TEST_F(FilterGraphConnections, reconnect_makes_the_same_connection_again) {
    auto source = NewSource();
    auto sink = NewSink();
    ASSERT_EQ(Add(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
    EXPECT_EQ(m_graph->Reconnect(sink->InputPin()), VFW_E_NOT_CONNECTED);
    ASSERT_EQ(m_graph->ConnectDirect(source->OutputPin(), sink->InputPin(), nullptr), S_OK);
    EXPECT_EQ(m_graph->Reconnect(sink->InputPin()), S_OK);
    ComPtr<IPin> peer;
    ASSERT_EQ(sink->InputPin()->ConnectedTo(peer.GetAddressOf()), S_OK);
    EXPECT_EQ(peer.Get(), source->OutputPin());
    EXPECT_EQ(m_graph->Reconnect(source->OutputPin()), S_OK);
    ASSERT_EQ(source->OutputPin()->ConnectedTo(peer.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(peer.Get(), sink->InputPin());
}

using FilterGraphInterfaces = GraphTest;

TEST_F(FilterGraphInterfaces, every_control_interface_is_one_object) {
    ComPtr<IUnknown> identity;
    ASSERT_EQ(m_graph.As(&identity), S_OK);
    const IID asked[] = {IID_IFilterGraph,   IID_IMediaControl,   IID_IMediaEvent,
                         IID_IMediaEventEx,  IID_IMediaEventSink, IID_IMediaSeeking,
                         IID_IMediaPosition, IID_IVideoWindow,    IID_IBasicVideo,
                         IID_IMediaFilter,   IID_IPersist};
    for (const IID& iid : asked) {
        ComPtr<IUnknown> part;
        ASSERT_EQ(m_graph.AsIID(iid, &part), S_OK);
        ComPtr<IUnknown> back;
        ASSERT_EQ(part.As(&back), S_OK);
        EXPECT_EQ(back.Get(), identity.Get());
    }
    ComPtr<IBaseFilter> not_a_filter;
    EXPECT_EQ(m_graph.As(&not_a_filter), E_NOINTERFACE);
    CLSID clsid{};
    ComPtr<IMediaFilter> filter;
    ASSERT_EQ(m_graph.As(&filter), S_OK);
    ASSERT_EQ(filter->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_FilterGraph);
}

TEST_F(FilterGraphInterfaces, video_interfaces_answer_no_interface_without_a_video_renderer) {
    ComPtr<IVideoWindow> window;
    ComPtr<IBasicVideo> video;
    ASSERT_EQ(m_graph.As(&window), S_OK);
    ASSERT_EQ(m_graph.As(&video), S_OK);
    auto sink = NewSink();
    ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
    EXPECT_EQ(window->put_Visible(OATRUE), E_NOINTERFACE);
    EXPECT_EQ(window->SetWindowPosition(0, 0, 10, 10), E_NOINTERFACE);
    long width = -1;
    long height = -1;
    EXPECT_EQ(video->GetVideoSize(&width, &height), E_NOINTERFACE);
    EXPECT_EQ(width, -1);
}

TEST_F(FilterGraphInterfaces, video_window_calls_reach_the_video_renderer_once_there_is_one) {
    ComPtr<IVideoWindow> window;
    ASSERT_EQ(m_graph.As(&window), S_OK);
    auto renderer = Own(new VideoWindowFilter());
    auto sink = NewSink();
    ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
    ASSERT_EQ(Add(renderer.Get(), u"Video Renderer"), S_OK);
    EXPECT_EQ(window->put_Owner(0x1234), S_OK);
    EXPECT_EQ(window->put_Visible(OATRUE), S_OK);
    EXPECT_EQ(window->SetWindowPosition(1, 2, 300, 200), S_OK);
    EXPECT_EQ(renderer->m_owner, 0x1234);
    EXPECT_EQ(renderer->m_visible, OATRUE);
    EXPECT_EQ(renderer->m_position[2], 300);
    long left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(window->GetWindowPosition(&left, &top, &width, &height), S_OK);
    EXPECT_EQ(height, 200);
    EXPECT_EQ(window->HideCursor(OATRUE), E_NOTIMPL);  // the renderer's own answer
    ASSERT_EQ(m_graph->RemoveFilter(renderer.Get()), S_OK);
    EXPECT_EQ(window->put_Visible(OAFALSE), E_NOINTERFACE);
}

}  // namespace
