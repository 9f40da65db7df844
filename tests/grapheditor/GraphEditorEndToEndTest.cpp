// The graph editor end to end, in a dialog with a video area and a list view, as the main
// window uses it: a movie rendered and listed from the graph (a DMO wrapper and a filter the
// catalogue does not know stay off the list), its picture placed in the video area, then the
// stretched audio chain built from a gathered catalogue with GraphManager and FilterItem calls
// only, the movie's sound moved to a "Null Renderer", and the graph played to its end on
// SDL's dummy driver. Last, a filter's property pages under its two names.
#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include "catalogue/FilterCatalogue.h"
#include "engine/StretchEvent.h"
#include "engine/TimeStretchRegistration.h"
#include "platform/registry/winreg.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/grapheditor/GraphEditorFixture.h"
#include "tests/grapheditor/ProbeFilter.h"
#include "tests/support/MovieFileMaker.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace std::chrono_literals;

constexpr int kVideoArea = 1000;
constexpr int kFilterList = 1010;

// Runs the test's body once its controls exist, then closes.
class GraphDialog : public Dialog {
public:
    explicit GraphDialog(std::function<void(HWND)> body)
        : Dialog(Template()), m_body(std::move(body)) {}

protected:
    BOOL OnInitDialog() override {
        Dialog::OnInitDialog();
        m_body(GetSafeHwnd());
        EndDialog(IDOK);
        return TRUE;
    }

private:
    static DialogTemplate Template() {
        DialogTemplate t;
        t.caption = "Graph";
        t.cx = 400;
        t.cy = 300;
        t.controls = {{kVideoArea, ControlKind::Static, "", 7, 7, 160, 120, 0},
                      {kFilterList, ControlKind::ListView, "", 7, 140, 380, 150, LVS_REPORT}};
        return t;
    }

    std::function<void(HWND)> m_body;
};

class GraphEditorEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        SetCurrentEventList(&m_events);
        ASSERT_EQ(TimeStretchRegistration::Register(nullptr), S_OK);
        // As on Windows the DMO wrapper's class is named in the registry: only its being a
        // wrapper can keep it off the list.
        const std::unique_ptr<char[]> wrapper(TextFromClassId(CLSID_DMOWrapperFilter));
        const std::string key = std::string("CLSID\\") + wrapper.get();
        ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, "DMO Wrapper Filter", 0),
                  ERROR_SUCCESS);
        std::string error;
        ASSERT_TRUE(MovieFileMaker::Make(m_movie, MovieRecipe::Mpeg(), &error)) << error;
        WavFileBuilder().Channels(2).Rate(8000).Samples(TestSignal(8000, 2, 8000)).Write(m_wav);
    }

    void TearDown() override {
        TimeStretchRegistration::Unregister(nullptr);
        SetCurrentEventList(nullptr);
        EXPECT_TRUE(m_prompt.Messages().empty());
    }

    static void InDialog(std::function<void(HWND)> body) {
        bool ran = false;
        GraphDialog dialog([&](HWND window) {
            ran = true;
            body(window);
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_TRUE(ran);
    }

    // Takes the graph's events, keeping the window's thread going, until `code` comes.
    static bool WaitForEvent(GraphManager& graph, long code, std::chrono::milliseconds bound) {
        for (const auto end = std::chrono::steady_clock::now() + bound;
             std::chrono::steady_clock::now() < end;) {
            long event = 0;
            LONG_PTR first = 0;
            LONG_PTR second = 0;
            if (graph.MediaEvent()->GetEvent(&event, &first, &second, 20) == S_OK) {
                graph.MediaEvent()->FreeEventParams(event, first, second);
                if (event == code) return true;
            }
            QApplication::processEvents();
        }
        return false;
    }

    static std::vector<FilterItem*> Rows(const ListCtrl& list) {
        std::vector<FilterItem*> items;
        for (int row = 0; row < list.GetItemCount(); ++row)
            items.push_back(reinterpret_cast<FilterItem*>(list.GetItemData(row)));
        return items;
    }

    // The row whose entry's friendly name is `name`, and the output pin labelled `label`.
    static FilterItem* Row(const ListCtrl& list, const std::string& name) {
        for (FilterItem* item : Rows(list))
            if (name == item->Entry()->friendlyName) return item;
        return nullptr;
    }
    static PinItem* OutputPin(const ListCtrl& list, const std::string& label) {
        for (FilterItem* item : Rows(list))
            for (int i = 0; i < item->OutputPinCount(); ++i)
                if (label == item->OutputPin(i)->Label()) return item->OutputPin(i);
        return nullptr;
    }

    static Texts GraphNames(GraphManager& graph) {
        Texts names;
        ComPtr<IEnumFilters> filters;
        EXPECT_EQ(graph.GraphBuilder()->EnumFilters(filters.GetAddressOf()), S_OK);
        IBaseFilter* filter = nullptr;
        while (filters->Next(1, &filter, nullptr) == S_OK) {
            names.emplace_back(WrapFilter(nullptr, filter)->Name());
            filter->Release();
        }
        return names;
    }

    RecordingUserPrompt m_prompt;
    TempDir m_dir;
    StretchEvent* m_events = nullptr;
    const std::string m_movie = m_dir.File("movie.mpg");
    const std::string m_wav = m_dir.File("sound.wav");
};

TEST_F(GraphEditorEndToEnd, the_movies_picture_fills_the_video_area) {
    InDialog([&](HWND dialog) {
        GraphManager graph;
        ASSERT_TRUE(graph.Create(dialog));
        ASSERT_TRUE(graph.RenderFile(m_movie.c_str()));
        const HWND area = GetDlgItem(dialog, kVideoArea);
        ASSERT_TRUE(graph.AttachVideoWindow(dialog, area));
        EXPECT_TRUE(GetWindowLongA(area, GWL_STYLE) & static_cast<LONG>(WS_CLIPCHILDREN));
        OAHWND owner = 0;
        OAHWND drain = 0;
        long visible = OAFALSE;
        graph.VideoWindow()->get_Owner(&owner);
        graph.VideoWindow()->get_MessageDrain(&drain);
        graph.VideoWindow()->get_Visible(&visible);
        EXPECT_EQ(owner, reinterpret_cast<OAHWND>(area));
        EXPECT_EQ(drain, reinterpret_cast<OAHWND>(dialog));
        EXPECT_EQ(visible, OATRUE);
        RECT client{};
        ASSERT_TRUE(GetClientRect(area, &client));
        long at[4] = {-1, -1, 0, 0};
        ASSERT_EQ(graph.VideoWindow()->GetWindowPosition(&at[0], &at[1], &at[2], &at[3]), S_OK);
        EXPECT_EQ(std::vector<long>(at, at + 4),
                  (std::vector<long>{0, 0, client.right, client.bottom}));
        EXPECT_GT(client.right, 0);
        graph.VideoWindow()->put_Owner(0);
    });
}

TEST_F(GraphEditorEndToEnd, a_rendered_movie_is_listed_then_plays_with_the_stretched_sound) {
    FilterCatalogue catalogue;
    ASSERT_TRUE(catalogue.Gather());
    InDialog([&](HWND dialog) {
        GraphManager graph;
        ASSERT_TRUE(graph.Create(dialog));
        ASSERT_TRUE(graph.RenderFile(m_movie.c_str()));
        const Texts rendered = GraphNames(graph);
        const auto gain = CreateFilterItem(catalogue.FindByFriendlyName("Gain"));
        const auto probe = WrapFilter(nullptr, MakeProbe({}).Get());
        ASSERT_TRUE(gain && graph.AddFilter(gain.get()) && graph.AddFilter(probe.get()));

        ListCtrl list;
        ASSERT_TRUE(list.SubclassDlgItem(kFilterList, dialog));
        ASSERT_TRUE(graph.FillListFromGraph(list, catalogue));
        Texts listed;
        std::set<std::string> shown;
        for (int row = 0; row < list.GetItemCount(); ++row) {
            FilterItem* item = Rows(list)[row];
            listed.emplace_back(item->Name());
            shown.insert(list.GetItemText(row, 0));
            EXPECT_EQ(list.GetItemText(row, 0), item->Entry()->friendlyName);
        }
        // Each row goes in at the top, so the list reads against the graph's enumeration.
        EXPECT_EQ(listed, Texts(rendered.rbegin(), rendered.rend()));
        EXPECT_EQ(shown, (std::set<std::string>{"File Source (Async.)", "Movie Splitter",
                                                "Video Renderer", "Default DirectSound Device"}));

        // The stretched chain, by friendly names, wired pin to pin.
        const auto null_renderer = CreateFilterItem(catalogue.FindByFriendlyName("Null Renderer"));
        const auto stretcher =
            CreateFilterItem(catalogue.FindByFriendlyName("Tarvik Time Stretcher"));
        const auto parser = CreateFilterItem(catalogue.FindByFriendlyName("Wave Parser"));
        ASSERT_TRUE(null_renderer && stretcher && parser);
        ASSERT_TRUE(graph.AddFilter(null_renderer.get()));
        ASSERT_TRUE(stretcher->SetSourceFile(m_wav.c_str()));
        ASSERT_TRUE(graph.AddFilter(stretcher.get()) && graph.AddFilter(parser.get()));

        FilterItem* device = Row(list, "Default DirectSound Device");
        FilterItem* video = Row(list, "Video Renderer");
        ASSERT_TRUE(device && video);
        std::string peer;
        ASSERT_TRUE(device->InputPin(0)->QueryConnection(&peer));
        PinItem* movie_sound = OutputPin(list, peer);
        ASSERT_NE(movie_sound, nullptr) << peer;
        EXPECT_TRUE(graph.DisconnectPin(movie_sound) && graph.DisconnectPin(device->InputPin(0)));
        ASSERT_TRUE(graph.ConnectPins(movie_sound, null_renderer->InputPin(0), nullptr));
        ASSERT_TRUE(graph.ConnectPins(stretcher->OutputPin(0), parser->InputPin(0), nullptr));
        ASSERT_TRUE(parser->RefreshOutputPins());
        ASSERT_TRUE(graph.ConnectPins(parser->OutputPin(0), device->InputPin(0), nullptr));
        ASSERT_TRUE(graph.ReconnectPin(video->InputPin(0)));
        device->RefreshPinDescriptions();
        EXPECT_STREQ(device->InputPin(0)->Description(),
                     "Audio PCM WaveFormatEx 2 ch 8000 hz 16 bits");
        ASSERT_TRUE(device->InputPin(0)->QueryConnection(&peer));
        EXPECT_EQ(peer, parser->OutputPin(0)->Label());

        ASSERT_TRUE(graph.Run());
        EXPECT_TRUE(WaitForEvent(graph, EC_COMPLETE, 30s));
        ASSERT_TRUE(graph.Stop());
        LONGLONG position = -1;
        graph.MediaSeeking()->GetCurrentPosition(&position);
        EXPECT_EQ(position, 0);
        for (FilterItem* item : Rows(list))
            delete item;
        list.DeleteAllItems();
    });
}

TEST_F(GraphEditorEndToEnd, settings_open_the_filters_pages_captioned_with_both_its_names) {
    GraphManager graph;
    ASSERT_TRUE(graph.Create(nullptr));
    CatalogueEntry entry("Default DirectSound Device", "{79376820-07D0-11CF-A24D-0020AFD79767}",
                         nullptr, false, nullptr);
    const auto item = CreateFilterItem(&entry);
    ASSERT_TRUE(item && graph.AddFilter(item.get()) && item->HasPropertyPages());
    // The frame is modal: a timer reads its caption and closes it.
    QString caption;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* frame = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            caption = frame->windowTitle();
            frame->reject();
        }
    });
    closer.start(5);
    EXPECT_TRUE(item->ShowPropertyPages());
    EXPECT_EQ(caption.toStdString(), std::string(item->Name()) + " Default DirectSound Device");
    EXPECT_FALSE(WrapFilter(&entry, MakeProbe({}).Get())->ShowPropertyPages());
}

}  // namespace
