// The filter list view in a live dialog, driven through its control as a person would: clicks,
// right clicks with scripted menu choices, the Delete key, the filter selection dialog and the
// file choosers. Filters are the stock ones of the gathered catalogue and probes of the test's.
#include "grapheditor/FilterListView.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include "platform/com/objbase.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/grapheditor/GraphEditorFixture.h"
#include "tests/grapheditor/ProbeFilter.h"
#include "tests/platform/ui/InputEvents.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/platform/ui/ScriptedDialog.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/RecordingMenuTracker.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using Texts = std::vector<std::string>;
using View = FilterListView;

// A menu as the tests read it: "text=id", " grayed", a submenu in braces, "-" a separator.
std::string Describe(const MenuEntry& entry) {
    if (entry.IsSeparator()) return "-";
    if (!entry.IsPopup())
        return entry.text + "=" + std::to_string(entry.id) + (entry.IsEnabled() ? "" : " grayed");
    std::string text = entry.text + " {";
    for (const MenuEntry& inner : entry.submenu)
        text += (&inner == &entry.submenu[0] ? "" : "; ") + Describe(inner);
    return text + "}";
}

Texts Describe(const MenuEntries& entries) {
    Texts texts;
    for (const MenuEntry& entry : entries)
        texts.push_back(Describe(entry));
    return texts;
}

// Pins named stem0, stem1, ...
std::vector<ProbePinSpec> Pins(const std::string& stem, int count, PIN_DIRECTION direction) {
    std::vector<ProbePinSpec> pins;
    for (int i = 0; i < count; ++i) {
        const std::string name = stem + std::to_string(i);
        pins.push_back({std::u16string(name.begin(), name.end()), direction});
    }
    return pins;
}

// Source -> Parser connected; Sink and Spare free.
struct Chain {
    FilterItem *source, *parser, *sink, *spare;
};

class FilterListViewTest : public GraphEditorTest {
protected:
    // Runs `body` on an initialised list, control 1010 of a live dialog, then shuts it down.
    void InList(const std::function<void(View&)>& body) {
        ModalWatchdog watchdog(60000);
        DialogTemplate t;
        t.caption = "Graph";
        t.cx = 400;
        t.cy = 300;
        t.controls = {{1010, ControlKind::ListView, "", 5, 5, 390, 290, LVS_REPORT}};
        ScriptedDialog dialog(t);
        View list;
        dialog.on_init = [&] {
            m_dialog = dialog.GetSafeHwnd();
            const bool bound = list.SubclassDlgItem(1010, m_dialog);
            EXPECT_TRUE(bound);
            if (bound) {
                m_table = static_cast<QTableWidget*>(WidgetOf(list.GetSafeHwnd()));
                EXPECT_TRUE(list.Initialize(m_dialog));
                body(list);
                list.Shutdown();
            }
            dialog.EndDialog(IDOK);
        };
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_FALSE(watchdog.Fired());
    }

    // A listed probe named `name`, under a catalogue name of the test's own.
    FilterItem* AddProbe(View& list, const char* name, std::vector<ProbePinSpec> pins) {
        ProbeFilter* probe = nullptr;
        const ComPtr<IBaseFilter> filter = MakeProbe(std::move(pins), &probe);
        const std::string text(name);
        probe->JoinFilterGraph(nullptr, std::u16string(text.begin(), text.end()).c_str());
        return Listed(
            list, WrapFilter(Entry(("Probe " + text).c_str(), CLSID_ProbeFilter), filter.Get()));
    }

    static FilterItem* Listed(View& list, std::unique_ptr<FilterItem> item) {
        const bool added = item && list.AddItem(item.get());
        EXPECT_TRUE(added) << "not listed";
        return added ? item.release() : nullptr;  // the row owns it
    }

    static FilterItem* AddStock(View& list, const char* friendly_name) {
        return Listed(list, CreateFilterItem(list.Catalogue()->FindByFriendlyName(friendly_name)));
    }

    static int RowOf(const View& list, const FilterItem* item) {
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if (reinterpret_cast<FilterItem*>(list.GetItemData(row)) == item) return row;
        }
        return -1;
    }

    static Texts Column(const View& list, int column) {
        Texts texts;
        for (int row = 0; row < list.GetItemCount(); ++row)
            texts.push_back(list.GetItemText(row, column));
        return texts;
    }

    // Clicks the item's row (none: below the rows).
    void Select(const View& list, const FilterItem* item, Qt::MouseButton button = Qt::LeftButton) {
        const int row = item ? RowOf(list, item) : -1;
        Click(m_table->viewport(),
              row < 0 ? QPoint(5, m_table->viewport()->height() - 2)
                      : m_table->visualRect(m_table->model()->index(row, 0)).center(),
              button);
    }

    // Selects and right-clicks the item's row, lets the chosen command arrive; the menu shown.
    MenuEntries RightClick(const View& list, const FilterItem* item) {
        Select(list, item);
        Select(list, item, Qt::RightButton);
        QCoreApplication::processEvents();
        const auto shown = menus.Menus();
        return shown.empty() ? MenuEntries{} : shown.back().entries;
    }

    static void Command(const View& list, UINT id) {
        SendMessageA(list.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }

    Chain MakeChain(View& list) {
        const Chain chain{
            AddProbe(list, "Source", {{u"Out", PINDIR_OUTPUT}}),
            AddProbe(list, "Parser", {{u"In", PINDIR_INPUT}, {u"Out", PINDIR_OUTPUT}}),
            AddProbe(list, "Sink", {{u"In", PINDIR_INPUT}}),
            AddProbe(list, "Spare", {{u"Out", PINDIR_OUTPUT}})};
        EXPECT_TRUE(list.Graph().ConnectPins(list.FindPinByLabel("Source Out"),
                                             list.FindPinByLabel("Parser In"), nullptr));
        list.UpdateFiltersState();
        return chain;
    }

    RecordingMenuTracker menus;
    HWND m_dialog = nullptr;
    QTableWidget* m_table = nullptr;
};

TEST_F(FilterListViewTest, the_context_menu_offers_what_the_selected_filter_allows) {
    InList([&](View& list) {
        const Chain chain = MakeChain(list);
        const struct {
            const char* what;
            FilterItem* selected;
            Texts menu;
        } cases[] = {
            {"no selection", nullptr, {"Insert...=1029"}},
            {"only output connected",
             chain.source,
             {"Disconnect Source Out=1030", "-", "Remove=1028", "Insert...=1029"}},
            {"connected input, free output",
             chain.parser,
             {"Connect Parser Out to ... {Probe Sink Sink In=1056}", "Disconnect Parser In=1040",
              "-", "Remove=1028", "Insert...=1029"}},
            {"a free input gets no entry", chain.sink, {"Remove=1028", "Insert...=1029"}},
            {"connected inputs are grayed",
             chain.spare,
             {"Connect Spare Out to ... {Probe Parser Parser In=1056 grayed; "
              "Probe Sink Sink In=1057}",
              "-", "Remove=1028", "Insert...=1029"}},
        };
        for (const auto& test : cases) {
            SCOPED_TRACE(test.what);
            EXPECT_EQ(Describe(RightClick(list, test.selected)), test.menu);
        }
        EXPECT_EQ(menus.Menus().back().flags, TPM_CENTERALIGN | TPM_RIGHTBUTTON);
        EXPECT_EQ(menus.Menus().back().owner, list.GetSafeHwnd());
    });
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(FilterListViewTest, menu_commands_and_the_delete_key_edit_the_graph) {
    InList([&](View& list) {
        const Chain chain = MakeChain(list);
        menus.ChooseEntry({"Connect Spare Out to ...", "Probe Sink Sink In"});
        RightClick(list, chain.spare);
        std::string peer;
        EXPECT_TRUE(chain.sink->InputPin(0)->QueryConnection(&peer));
        EXPECT_EQ(peer, "Spare Out");
        EXPECT_EQ(list.GetItemText(2, 1), chain.sink->InputPin(0)->Description());
        EXPECT_STRNE(chain.sink->InputPin(0)->Description(), "Not set");

        menus.ChooseEntry({"Disconnect Parser In"});  // both ends let go
        RightClick(list, chain.parser);
        EXPECT_FALSE(chain.parser->InputPin(0)->QueryConnection(nullptr));
        EXPECT_FALSE(chain.source->OutputPin(0)->QueryConnection(nullptr));

        menus.ChooseEntry({"Remove"});
        RightClick(list, chain.spare);
        EXPECT_EQ(Column(list, 0), (Texts{"Probe Source", "Probe Parser", "Probe Sink"}));
        EXPECT_EQ(list.Graph().CountFilters(), 3);

        // A connect command after the rows changed reaches only pins still listed.
        RightClick(list, chain.parser);  // choice 0: Parser Out to Sink In
        list.UpdateFiltersState();       // every pin record rebuilt
        Command(list, View::ID_CONNECT);
        EXPECT_TRUE(chain.sink->InputPin(0)->QueryConnection(&peer));
        EXPECT_EQ(peer, "Parser Out");
        RightClick(list, chain.source);  // choice 0: Source Out to Parser In
        ASSERT_TRUE(list.RemoveItem(RowOf(list, chain.parser), chain.parser));
        Command(list, View::ID_CONNECT);
        EXPECT_EQ(MessageTexts(), Texts{"Input Pin Empty"});

        for (const bool selected : {false, true}) {
            Select(list, selected ? chain.source : nullptr);
            TapKey(m_table, Qt::Key_Delete);
            EXPECT_EQ(list.GetItemCount(), selected ? 1 : 2);
            EXPECT_EQ(list.Graph().CountFilters(), selected ? 1 : 2);
        }
        EXPECT_EQ(list.FindItemByName("Sink"), chain.sink);
    });
}

TEST_F(FilterListViewTest, file_and_settings_entries_follow_what_the_filter_grants) {
    const std::string wav = dir.File("sound.wav");
    WavFileBuilder().Samples(TestSignal(800, 1, 8000)).Write(wav);
    InList([&](View& list) {
        const struct {
            FilterItem* item;
            Texts offered;
        } cases[] = {
            {AddStock(list, "File Source (Async.)"), {"Set Input File...=1026"}},
            {AddStock(list, "File Writer"), {"Set Output File...=1025"}},
            {AddStock(list, "Default DirectSound Device"), {"Settings...=1027"}},
            {Listed(list, CreateFilterItem(Entry("Tarvik Wrapper", CLSID_FileWriter))), {}},
        };
        for (const auto& test : cases) {
            ASSERT_NE(test.item, nullptr);
            Texts offered;
            for (const MenuEntry& entry : RightClick(list, test.item)) {
                if (entry.id >= View::ID_SET_OUTPUT_FILE && entry.id <= View::ID_SETTINGS)
                    offered.push_back(Describe(entry));
            }
            EXPECT_EQ(offered, test.offered) << test.item->Entry()->friendlyName;
        }
        const std::string out = dir.File("out.bin");
        prompt.AddFileAnswer(out);
        menus.ChooseEntry({"Set Output File..."});
        RightClick(list, cases[1].item);
        ComPtr<IFileSinkFilter> sink;
        LPOLESTR written = nullptr;
        ASSERT_EQ(cases[1].item->FilterObject()->QueryInterface(IID_PPV_ARGS(sink.GetAddressOf())),
                  S_OK);
        ASSERT_EQ(sink->GetCurFile(&written, nullptr), S_OK);
        EXPECT_EQ(std::u16string(written), std::u16string(out.begin(), out.end()));
        CoTaskMemFree(written);

        FilterItem* source = cases[0].item;  // the chooser cancelled, then a missing file
        for (const auto& answer : {std::optional<std::string>(),
                                   std::optional(dir.File("missing.wav")), std::optional(wav)}) {
            prompt.AddFileAnswer(answer);
            menus.ChooseEntry({"Set Input File..."});
            RightClick(list, source);
        }
        ASSERT_EQ(source->OutputPinCount(), 1) << "a loaded source shows its pin at once";
        EXPECT_EQ(list.GetItemText(0, 2), source->OutputPin(0)->Description());
        EXPECT_EQ(MessageTexts(), Texts{"Load failed"});
        const auto requests = prompt.FileRequests();
        ASSERT_EQ(requests.size(), 4u);
        EXPECT_TRUE(requests[0].save && !requests[1].save);
        EXPECT_EQ(requests[1].owner, m_dialog);
        ASSERT_EQ(requests[1].filter.size(), 1u);
        EXPECT_EQ(requests[1].filter[0].label + " " + requests[1].filter[0].pattern,
                  "All Files (*.*) *.*");
    });
}

TEST_F(FilterListViewTest, insert_adds_the_chosen_entry_or_says_it_could_not) {
    InList([&](View& list) {
        FilterCatalogue& catalogue = *list.Catalogue();
        const std::unique_ptr<char[]> unregistered(TextFromClassId(CLSID_ProbeFilter));
        catalogue.head =
            new CatalogueEntry("Broken Filter", unregistered.get(), nullptr, false, catalogue.head);
        const struct {
            const char* choose;  // null: cancel
            Texts rows;
            Texts messages;
        } cases[] = {
            {"Null Renderer", {"Null Renderer"}, {}},
            {nullptr, {"Null Renderer"}, {}},
            {"Broken Filter", {"Null Renderer"}, {"Broken Filter"}},
            {"Wave Parser", {"Null Renderer", "Wave Parser"}, {"Broken Filter"}},
        };
        for (const auto& test : cases) {
            WhenModal(
                [&](QWidget* modal) {
                    auto* names = modal->findChild<QListWidget*>();
                    if (test.choose)
                        names->setCurrentItem(
                            names->findItems(test.choose, Qt::MatchExactly).value(0));
                    for (QPushButton* button : modal->findChildren<QPushButton*>()) {
                        if (button->text() == (test.choose ? "OK" : "Cancel")) button->click();
                    }
                },
                [] {
                    return QApplication::activeModalWidget()->windowTitle() == "Filter Selection";
                });
            menus.ChooseEntry({"Insert..."});
            RightClick(list, nullptr);
            EXPECT_EQ(Column(list, 0), test.rows) << (test.choose ? test.choose : "cancel");
            EXPECT_EQ(MessageTexts(), test.messages);
        }
        EXPECT_EQ(prompt.Messages()[0].caption, "Unable to insert filter");
    });
}

TEST_F(FilterListViewTest, rendered_rows_come_newest_first_and_added_rows_go_last) {
    const std::string movie = dir.File("movie.mpg");
    std::string error;
    ASSERT_TRUE(MovieFileMaker::Make(movie, MovieRecipe::Mpeg(), &error)) << error;
    InList([&](View& list) {
        EXPECT_EQ(list.GetExtendedStyle(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        // A filter the catalogue does not know has no row, so it stays through renders.
        const ComPtr<IBaseFilter> stray = MakeProbe({});
        ASSERT_EQ(list.Graph().GraphBuilder()->AddFilter(stray.Get(), u"Stray"), S_OK);
        AddProbe(list, "Early", {});
        for (int render = 0; render < 2; ++render) {
            ASSERT_TRUE(list.RenderFile(movie.c_str()));
            std::vector<IBaseFilter*> enumerated;
            std::vector<IBaseFilter*> listed;
            ComPtr<IEnumFilters> filters;
            ASSERT_EQ(list.Graph().GraphBuilder()->EnumFilters(filters.GetAddressOf()), S_OK);
            for (IBaseFilter* filter = nullptr; filters->Next(1, &filter, nullptr) == S_OK;
                 filter->Release()) {
                if (filter != stray.Get()) enumerated.push_back(filter);
            }
            for (int row = 0; row < list.GetItemCount(); ++row)
                listed.push_back(
                    reinterpret_cast<FilterItem*>(list.GetItemData(row))->BaseFilter());
            EXPECT_EQ(listed, decltype(enumerated)(enumerated.rbegin(), enumerated.rend()));
            AddProbe(list, "Late", {});
            EXPECT_EQ(Column(list, 0).back(), "Probe Late");
        }
        const int source = RowOf(list, list.FindItemByName("File Source (Async.)"));
        const int video = RowOf(list, list.FindItemByName("Video Renderer"));
        ASSERT_TRUE(source >= 0 && video >= 0);
        EXPECT_EQ(list.GetItemText(source, 1), "");
        EXPECT_EQ(list.GetItemText(video, 2), "");
        EXPECT_NE(list.GetItemText(video, 1), "");
        int widest = list.GetStringWidth("Input MediaFormat          ");
        for (const std::string& text : Column(list, 1))
            widest = std::max(widest, list.GetStringWidth((text + "          ").c_str()));
        EXPECT_EQ(list.GetColumnWidth(1), widest);
    });
}

// Past 10 output or 16 input pins a disconnect id would name another pin, and past the last
// connect id a choice would take another command's: such entries are left out.
TEST_F(FilterListViewTest, pins_past_the_id_limits_never_borrow_another_pins_id) {
    InList([&](View& list) {
        std::vector<ProbePinSpec> hub_pins = Pins("O", 12, PINDIR_OUTPUT);
        for (const ProbePinSpec& pin : Pins("I", 18, PINDIR_INPUT))
            hub_pins.push_back(pin);
        FilterItem* hub = AddProbe(list, "Hub", hub_pins);
        FilterItem* feeder = AddProbe(list, "Feeder", Pins("O", 18, PINDIR_OUTPUT));
        FilterItem* drain = AddProbe(list, "Drain", Pins("I", 12, PINDIR_INPUT));
        for (int i = 0; i < 18; ++i) {
            ASSERT_TRUE(list.Graph().ConnectPins(feeder->OutputPin(i), hub->InputPin(i), nullptr));
            if (i < 12) {
                ASSERT_TRUE(
                    list.Graph().ConnectPins(hub->OutputPin(i), drain->InputPin(i), nullptr));
            }
        }
        list.UpdateFiltersState();
        int disconnects = 0;
        for (const MenuEntry& entry : RightClick(list, hub)) {
            if (entry.id < View::ID_DISCONNECT_OUTPUT) continue;
            ASSERT_LT(entry.id, View::ID_CONNECT) << entry.text;
            const bool output = entry.id < View::ID_DISCONNECT_INPUT;
            const int index = static_cast<int>(
                entry.id - (output ? View::ID_DISCONNECT_OUTPUT : View::ID_DISCONNECT_INPUT));
            const PinItem* pin = output ? hub->OutputPin(index) : hub->InputPin(index);
            ASSERT_NE(pin, nullptr) << entry.text;
            EXPECT_EQ(entry.text, std::string("Disconnect ") + pin->Label());
            ++disconnects;
        }
        EXPECT_EQ(disconnects, 10 + 16);

        // 2 outputs facing 630 inputs: one count across both submenus, cut at the last id.
        FilterItem* tap = AddProbe(list, "Tap", Pins("Out", 2, PINDIR_OUTPUT));
        FilterItem* wide = AddProbe(list, "Wide", Pins("In", 600, PINDIR_INPUT));
        menus.ChooseId(View::ID_CONNECT_LAST);
        const MenuEntries menu = RightClick(list, tap);
        ASSERT_GE(menu.size(), 2u);
        std::vector<UINT> ids;
        std::string last;
        for (const MenuEntry& entry : menu[0].submenu)
            ids.push_back(entry.id);
        for (const MenuEntry& entry : menu[1].submenu) {
            ids.push_back(entry.id);
            last = entry.text;
        }
        std::vector<UINT> expected(1000);
        std::iota(expected.begin(), expected.end(), View::ID_CONNECT);
        EXPECT_EQ(ids, expected);
        // The last id connects the pin its entry names; an id past it does nothing.
        Command(list, View::ID_CONNECT_LAST + 1);
        Texts connected;
        for (int i = 0; i < wide->InputPinCount(); ++i) {
            std::string peer;
            if (wide->InputPin(i)->QueryConnection(&peer))
                connected.push_back("Probe Wide " + std::string(wide->InputPin(i)->Label()) +
                                    " <- " + peer);
        }
        EXPECT_EQ(connected, Texts{last + " <- Tap Out1"});
        EXPECT_TRUE(prompt.Messages().empty());
    });
}

}  // namespace
