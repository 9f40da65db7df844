// The filter and pin records: probing a filter for its interfaces, name and pins (also when
// it reports other pins the second time it is asked), pin labels, connections and their
// descriptions, the source and sink file commands, and the items an entry makes (a DMO
// through the wrapper, or as its own class when the wrapper refuses it).
#include <string>
#include <vector>

#include "grapheditor/InterfaceNameList.h"
#include "platform/com/objbase.h"
#include "platform/media/dmowrapper/IAudioGain.h"
#include "platform/mmio/mmreg.h"
#include "tests/grapheditor/GraphEditorFixture.h"
#include "tests/grapheditor/ProbeFilter.h"
#include "tests/platform/media/support/TestSinkFilter.h"
#include "tests/platform/media/support/TestSourceFilter.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using FilterItemTest = GraphEditorTest;

Texts InterfaceNames(const FilterItem& item) {
    Texts names;
    for (const InterfaceNameList* node = &item.Interfaces(); node; node = node->Next())
        names.push_back(node->Name());
    return names;
}

TEST_F(FilterItemTest, interface_names_read_from_the_last_granted_back_to_IUnknown) {
    const ComPtr<IUnknown> plain(new CUnknown("plain object"));
    const auto writer = CreateFilterItem(Entry("File Writer", CLSID_FileWriter));
    const auto probe = WrapFilter(nullptr, MakeProbe({}).Get());
    const auto object = WrapFilter(nullptr, plain.Get());
    ASSERT_TRUE(writer && probe && object);
    EXPECT_EQ(InterfaceNames(*writer),
              (Texts{"IFileSinkFilter", "IMediaFilter", "IPersist", "IBaseFilter", "IUnknown"}));
    EXPECT_EQ(InterfaceNames(*probe),
              (Texts{"IMediaFilter", "IPersist", "IBaseFilter", "IUnknown"}));
    EXPECT_EQ(InterfaceNames(*object), Texts{"IUnknown"});
    EXPECT_TRUE(writer->Interfaces().Supports("IFileSinkFilter"));
    EXPECT_FALSE(writer->Interfaces().Supports("ibasefilter")) << "names compare exactly";
    EXPECT_FALSE(writer->Interfaces().Supports("IFileSourceFilter"));
}

TEST_F(FilterItemTest, an_object_without_IBaseFilter_has_no_name_no_pins_and_stays_out) {
    const ComPtr<IUnknown> plain(new CUnknown("plain object"));
    const auto item = WrapFilter(Entry("Plain", CLSID_ProbeFilter), plain.Get());
    ASSERT_TRUE(item);
    EXPECT_EQ(item->Name(), nullptr);
    EXPECT_FALSE(item->RefreshName());
    EXPECT_FALSE(item->RefreshInputPins() || item->RefreshOutputPins());
    EXPECT_EQ(item->InputPinCount() + item->OutputPinCount(), 0);
    EXPECT_FALSE(item->CanSetSourceFile() || item->CanSetSinkFile() || item->HasPropertyPages());
    EXPECT_FALSE(item->SetSourceFile("any.wav") || item->ShowPropertyPages());
    EXPECT_FALSE(graph.AddFilter(item.get()));
    EXPECT_EQ(graph.CountFilters(), 0);
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(FilterItemTest, pins_are_split_by_direction_in_order_and_labelled_by_filter_and_pin) {
    const ComPtr<IBaseFilter> filter = MakeProbe({{u"In", PINDIR_INPUT},
                                                  {u"Out A", PINDIR_OUTPUT},
                                                  {u"Aux", PINDIR_INPUT},
                                                  {u"Out B", PINDIR_OUTPUT}});
    const auto item = Added(filter.Get(), u"Wave Parser");
    EXPECT_STREQ(item->Name(), "Wave Parser");
    EXPECT_EQ(Labels(*item, PINDIR_INPUT), (Texts{"Wave Parser In", "Wave Parser Aux"}));
    EXPECT_EQ(Labels(*item, PINDIR_OUTPUT), (Texts{"Wave Parser Out A", "Wave Parser Out B"}));
    EXPECT_EQ(item->InputPin(2), nullptr);
    EXPECT_EQ(item->OutputPin(-1), nullptr);
    EXPECT_STREQ(item->InputPin(0)->Description(), "Not set");
}

TEST_F(FilterItemTest, a_filter_that_changes_its_pins_between_passes_is_listed_as_last_seen) {
    struct Case {
        const char* what;
        std::vector<std::vector<size_t>> passes;
        Texts inputs;
        Texts outputs;
    };
    // Pins 0-2 are inputs, 3-4 outputs.
    const Case cases[] = {
        {"more inputs the second time", {{0}, {0, 1, 2}}, {"P a", "P b", "P c"}, {}},
        {"fewer inputs the second time", {{0, 1, 2, 3}, {2}}, {"P c"}, {}},
        {"pins only the second time", {{}, {1, 4, 0, 3}}, {"P b", "P a"}, {"P e", "P d"}},
        {"no pins the second time", {{0, 1, 2, 3, 4}, {}}, {}, {}},
        {"same count, other pins", {{0, 3}, {1, 4}}, {"P b"}, {"P e"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        ProbeFilter* typed = nullptr;
        const ComPtr<IBaseFilter> filter = MakeProbe({{u"a", PINDIR_INPUT},
                                                      {u"b", PINDIR_INPUT},
                                                      {u"c", PINDIR_INPUT},
                                                      {u"d", PINDIR_OUTPUT},
                                                      {u"e", PINDIR_OUTPUT}},
                                                     &typed);
        typed->SetPasses(test.passes);
        const auto item = Added(filter.Get(), u"P");
        EXPECT_EQ(Labels(*item, PINDIR_INPUT), test.inputs);
        EXPECT_EQ(Labels(*item, PINDIR_OUTPUT), test.outputs);
        // A rebuild goes through both passes again and lands on the same pins.
        EXPECT_TRUE(item->RefreshInputPins());
        EXPECT_EQ(Labels(*item, PINDIR_INPUT), test.inputs);
        ASSERT_EQ(graph.GraphBuilder()->RemoveFilter(filter.Get()), S_OK);
    }
}

TEST_F(FilterItemTest, query_connection_names_the_peer_and_the_description_follows_the_type) {
    WAVEFORMATEX wave{1, 2, 44100, 44100 * 4, 4, 16, 0};
    CMediaType pcm(&MEDIATYPE_Audio);
    pcm.SetSubtype(&MEDIASUBTYPE_PCM);
    pcm.SetFormatType(&FORMAT_WaveFormatEx);
    pcm.SetFormat(reinterpret_cast<BYTE*>(&wave), sizeof wave);
    const auto source = Added(ComPtr<IBaseFilter>(new TestSourceFilter(pcm)).Get(), u"Source");
    const auto sink = Added(ComPtr<IBaseFilter>(new TestSinkFilter()).Get(), u"Sink");
    PinItem* output = source->OutputPin(0);
    ASSERT_TRUE(output && sink->InputPin(0));
    const char* const kStereo = "Audio PCM WaveFormatEx 2 ch 44100 hz 16 bits";

    std::string peer = "untouched";
    EXPECT_FALSE(output->QueryConnection(&peer));
    EXPECT_EQ(peer, "untouched");
    EXPECT_FALSE(output->RefreshMediaTypeDescription());
    EXPECT_STREQ(output->Description(), "Not set");

    ASSERT_TRUE(graph.ConnectPins(output, sink->InputPin(0), nullptr));
    EXPECT_TRUE(output->QueryConnection(&peer));
    EXPECT_EQ(peer, "Sink Input");
    EXPECT_TRUE(sink->InputPin(0)->QueryConnection(&peer));
    EXPECT_EQ(peer, "Source Output");
    source->RefreshPinDescriptions();
    EXPECT_STREQ(output->Description(), kStereo);
    ASSERT_TRUE(sink->RefreshInputPins());
    EXPECT_STREQ(sink->InputPin(0)->Description(), kStereo) << "a new PinItem reads it at once";

    ASSERT_TRUE(graph.DisconnectPin(output) && graph.DisconnectPin(sink->InputPin(0)));
    EXPECT_FALSE(output->QueryConnection(&peer));
    EXPECT_FALSE(output->RefreshMediaTypeDescription());
    EXPECT_STREQ(output->Description(), kStereo) << "a disconnected pin keeps its description";
    EXPECT_EQ(output->MediaType().majortype, MEDIATYPE_Audio);
}

TEST_F(FilterItemTest, a_source_shows_its_output_pins_once_a_file_is_loaded) {
    const std::string wav = dir.File("tone.wav");
    WavFileBuilder().Channels(1).Rate(8000).Samples(TestSignal(800, 1, 8000)).Write(wav);
    const auto item = CreateFilterItem(Entry("File Source (Async.)", CLSID_AsyncReader));
    ASSERT_TRUE(item && graph.AddFilter(item.get()));
    EXPECT_TRUE(item->CanSetSourceFile());
    EXPECT_EQ(item->OutputPinCount(), 0);

    EXPECT_FALSE(item->SetSourceFile(dir.File("missing.wav").c_str()));
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0].text, "Load failed");
    EXPECT_EQ(prompt.Messages()[0].caption, "");
    EXPECT_EQ(prompt.Messages()[0].type, MB_OK);
    EXPECT_EQ(item->OutputPinCount(), 0);

    EXPECT_TRUE(item->SetSourceFile(wav.c_str()));
    ASSERT_EQ(item->OutputPinCount(), 1);
    EXPECT_EQ(std::string(item->OutputPin(0)->Label()), std::string(item->Name()) + " Output");
    EXPECT_EQ(prompt.Messages().size(), 1u);
}

TEST_F(FilterItemTest, sink_files_go_to_sinks_but_never_to_an_entry_named_tarvik_wrapper) {
    const auto writer = CreateFilterItem(Entry("File Writer", CLSID_FileWriter));
    const auto wrapper = CreateFilterItem(Entry("Tarvik Wrapper", CLSID_FileWriter));
    const auto probe = WrapFilter(Entry("Probe", CLSID_ProbeFilter), MakeProbe({}).Get());
    ASSERT_TRUE(writer && wrapper && probe);
    EXPECT_TRUE(writer->CanSetSinkFile());
    EXPECT_FALSE(wrapper->CanSetSinkFile());
    EXPECT_FALSE(probe->CanSetSinkFile());

    const std::string path = dir.File("out.wav");
    EXPECT_TRUE(writer->SetSinkFile(path.c_str()));
    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(writer->FilterObject()->QueryInterface(IID_PPV_ARGS(sink.GetAddressOf())), S_OK);
    LPOLESTR name = nullptr;
    ASSERT_EQ(sink->GetCurFile(&name, nullptr), S_OK);
    EXPECT_EQ(std::u16string(name), std::u16string(path.begin(), path.end()));
    CoTaskMemFree(name);
    EXPECT_FALSE(writer->SetSinkFile(nullptr));
    EXPECT_FALSE(probe->SetSinkFile(path.c_str()));
    EXPECT_TRUE(prompt.Messages().empty()) << "sink files fail silently";
}

TEST_F(FilterItemTest, a_dmo_entry_makes_a_wrapped_filter_or_else_its_own_object) {
    CatalogueEntry* gain = Entry("Gain", CLSID_GainDmo, &DMOCATEGORY_AUDIO_EFFECT);
    const auto wrapped = CreateFilterItem(gain);
    ASSERT_TRUE(wrapped);
    EXPECT_EQ(wrapped->Entry(), gain);
    ComPtr<IDMOWrapperFilter> wrapper;
    EXPECT_EQ(wrapped->FilterObject()->QueryInterface(IID_PPV_ARGS(wrapper.GetAddressOf())), S_OK);
    EXPECT_EQ(wrapped->InputPinCount(), 1);
    EXPECT_EQ(wrapped->OutputPinCount(), 1);
    EXPECT_TRUE(graph.AddFilter(wrapped.get()));

    // Under a category that does not list it the wrapper refuses the object, which is then
    // made as its own class: no filter, so it cannot join the graph.
    const auto own = CreateFilterItem(Entry("Gain", CLSID_GainDmo, &DMOCATEGORY_VIDEO_EFFECT));
    ASSERT_TRUE(own);
    EXPECT_EQ(own->BaseFilter(), nullptr);
    ComPtr<IAudioGain> gain_control;
    EXPECT_EQ(own->FilterObject()->QueryInterface(IID_PPV_ARGS(gain_control.GetAddressOf())), S_OK);
    EXPECT_FALSE(graph.AddFilter(own.get()));
    EXPECT_EQ(graph.CountFilters(), 1);

    // Nothing to make: no entry, an unregistered class, text that is no class, no object.
    EXPECT_EQ(CreateFilterItem(nullptr), nullptr);
    EXPECT_EQ(CreateFilterItem(Entry("Unknown", CLSID_ProbeFilter)), nullptr);
    CatalogueEntry bad("Bad", "{ Not available }", "{ Not available }", true, nullptr);
    EXPECT_EQ(CreateFilterItem(&bad), nullptr);
    EXPECT_EQ(WrapFilter(gain, nullptr), nullptr);
}

}  // namespace
