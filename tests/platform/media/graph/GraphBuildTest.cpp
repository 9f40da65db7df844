// The graph choosing filters on its own: intelligent connect, rendering a pin, rendering a
// file through the source registered for its extension.
#include <algorithm>
#include <string>

#include "platform/com/BuiltInClasses.h"
#include "platform/com/objbase.h"
#include "platform/media/uuids.h"
#include "tests/platform/media/graph/GraphTestSupport.h"
#include "tests/platform/media/graph/RegisteredTestFilters.h"
#include "tests/platform/media/graph/TestSink.h"
#include "tests/platform/media/graph/TestTransform.h"

namespace {

using namespace test_filters;

class GraphBuild : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        RegisterAll();
    }
    void TearDown() override {
        GraphTest::TearDown();
        UnregisterClasses();
    }

    // The names of the graph's filters, sorted.
    std::vector<std::u16string> Names() {
        std::vector<std::u16string> names;
        ComPtr<IEnumFilters> filters;
        EXPECT_EQ(m_graph->EnumFilters(filters.GetAddressOf()), S_OK);
        IBaseFilter* filter = nullptr;
        while (filters && filters->Next(1, &filter, nullptr) == S_OK) {
            FILTER_INFO info{};
            filter->QueryFilterInfo(&info);
            if (info.pGraph) info.pGraph->Release();
            names.emplace_back(info.achName);
            filter->Release();
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    ComPtr<IPin> Pin(IBaseFilter* filter, const char16_t* name) {
        ComPtr<IPin> pin;
        EXPECT_EQ(filter->FindPin(name, pin.GetAddressOf()), S_OK);
        return pin;
    }

    // The filter behind the pin that `pin` is connected to, by name.
    std::u16string PeerFilterName(IPin* pin) {
        ComPtr<IPin> peer;
        if (pin->ConnectedTo(peer.GetAddressOf()) != S_OK) return u"(none)";
        PIN_INFO info{};
        peer->QueryPinInfo(&info);
        FILTER_INFO filter_info{};
        info.pFilter->QueryFilterInfo(&filter_info);
        info.pFilter->Release();
        if (filter_info.pGraph) filter_info.pGraph->Release();
        return filter_info.achName;
    }

    ComPtr<TestFileSource> AddClipSource() {
        auto source = Own(new TestFileSource(kClipSource, MEDIATYPE_Stream, kClipSubtype));
        EXPECT_EQ(Add(source.Get(), u"Clip"), S_OK);
        return source;
    }
};

TEST_F(GraphBuild, connect_puts_a_registered_parser_between_pins_that_do_not_match) {
    auto source = AddClipSource();
    auto renderer = Own(new TestSink(TestSink::Options{}));
    ASSERT_EQ(Add(renderer.Get(), u"Mine"), S_OK);
    ASSERT_EQ(m_graph->Connect(Pin(source.Get(), u"Out").Get(), renderer->InputPin()), S_OK);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Clip", u"Mine", kParserName}));
    EXPECT_EQ(PeerFilterName(renderer->InputPin()), kParserName);
}

TEST_F(GraphBuild, connect_that_matches_directly_adds_nothing) {
    auto parser = Own(new TestTransform(kParser, MEDIATYPE_Stream, kClipSubtype, MEDIATYPE_Audio,
                                        MEDIASUBTYPE_PCM));
    auto renderer = Own(new TestSink(TestSink::Options{}));
    ASSERT_EQ(Add(parser.Get(), u"Parser"), S_OK);
    ASSERT_EQ(Add(renderer.Get(), u"Renderer"), S_OK);
    ASSERT_EQ(m_graph->Connect(Pin(parser.Get(), u"Out").Get(), renderer->InputPin()), S_OK);
    EXPECT_EQ(Names().size(), 2u);
}

TEST_F(GraphBuild, connect_without_a_way_fails_and_leaves_no_filter_behind) {
    auto source = AddClipSource();
    TestSink::Options video;
    video.major = MEDIATYPE_Video;
    auto renderer = Own(new TestSink(video));
    ASSERT_EQ(Add(renderer.Get(), u"Video"), S_OK);
    EXPECT_EQ(m_graph->Connect(Pin(source.Get(), u"Out").Get(), renderer->InputPin()),
              VFW_E_CANNOT_CONNECT);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Clip", u"Video"}));
    EXPECT_EQ(PeerFilterName(Pin(source.Get(), u"Out").Get()), u"(none)");
}

TEST_F(GraphBuild, render_chains_parser_and_the_renderer_of_highest_merit) {
    auto source = AddClipSource();
    ASSERT_EQ(m_graph->Render(Pin(source.Get(), u"Out").Get()), S_OK);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Clip", kParserName, kRendererName}));
}

TEST_F(GraphBuild, render_refuses_connected_pins_input_pins_and_strangers) {
    auto source = AddClipSource();
    auto renderer = Own(new TestSink(TestSink::Options{}));
    ASSERT_EQ(Add(renderer.Get(), u"Renderer"), S_OK);
    EXPECT_EQ(m_graph->Render(renderer->InputPin()), VFW_E_INVALID_DIRECTION);
    auto outsider = Own(new TestFileSource(kClipSource, MEDIATYPE_Stream, kClipSubtype));
    EXPECT_EQ(m_graph->Render(Pin(outsider.Get(), u"Out").Get()), VFW_E_NOT_IN_GRAPH);
    ASSERT_EQ(m_graph->Render(Pin(source.Get(), u"Out").Get()), S_OK);
    EXPECT_EQ(m_graph->Render(Pin(source.Get(), u"Out").Get()), VFW_E_ALREADY_CONNECTED);
}

TEST_F(GraphBuild, render_file_opens_the_source_registered_for_the_extension) {
    const std::u16string path = u"/media/holiday.clip";
    ASSERT_EQ(m_graph->RenderFile(path.c_str(), nullptr), S_OK);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{kParserName, kRendererName, u"holiday.clip"}));
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(m_graph->FindFilterByName(u"holiday.clip", source.GetAddressOf()), S_OK);
    ComPtr<IFileSourceFilter> file;
    ASSERT_EQ(source.As(&file), S_OK);
    LPOLESTR loaded = nullptr;
    ASSERT_EQ(file->GetCurFile(&loaded, nullptr), S_OK);
    EXPECT_EQ(std::u16string(loaded), path);
    CoTaskMemFree(loaded);
}

TEST_F(GraphBuild, render_file_of_a_file_that_cannot_load_leaves_the_graph_empty) {
    EXPECT_EQ(m_graph->RenderFile(u"/media/missing.clip", nullptr),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(Names().empty());
}

TEST_F(GraphBuild, render_file_of_a_type_nothing_takes_fails_and_leaves_the_graph_empty) {
    EXPECT_EQ(m_graph->RenderFile(u"/media/strange.odd", nullptr), VFW_E_CANNOT_RENDER);
    EXPECT_TRUE(Names().empty());
}

TEST_F(GraphBuild, an_unknown_extension_opens_with_the_async_file_source) {
    // Stand in for "File Source (Async.)" for the length of this test.
    RegisterBuiltInCreator(CLSID_AsyncReader, [](IUnknown*, REFIID iid, void** object) {
        auto* source = new TestFileSource(CLSID_AsyncReader, MEDIATYPE_Stream, kClipSubtype);
        source->NonDelegatingAddRef();
        const HRESULT hr = source->NonDelegatingQueryInterface(iid, object);
        source->NonDelegatingRelease();
        return hr;
    });
    const HRESULT hr = m_graph->RenderFile(u"song.unknown", nullptr);
    UnregisterBuiltInClass(CLSID_AsyncReader);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{kParserName, kRendererName, u"song.unknown"}));
}

TEST_F(GraphBuild, without_a_source_class_render_file_cannot_load_a_source) {
    EXPECT_EQ(m_graph->RenderFile(u"song.unknown", nullptr), VFW_E_CANNOT_LOAD_SOURCE_FILTER);
    EXPECT_EQ(m_graph->RenderFile(nullptr, nullptr), E_POINTER);
    EXPECT_TRUE(Names().empty());
}

TEST_F(GraphBuild, add_source_filter_names_the_source_as_asked) {
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(m_graph->AddSourceFilter(u"/media/a.clip", u"My Source", source.GetAddressOf()),
              S_OK);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"My Source"}));
    EXPECT_EQ(PeerFilterName(Pin(source.Get(), u"Out").Get()), u"(none)");
}

}  // namespace
