// The catalogue on registries the tests write: what is listed and how, the exact progress,
// also when registrations change while gathering, the look-ups, and Gather's dialog.
#include "catalogue/FilterCatalogue.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/CatalogueProgress.h"
#include "platform/media/dmowrapper/DmoWrapperClasses.h"
#include "platform/media/dmowrapper/IAudioGain.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/catalogue/CatalogueRegistry.h"
#include "tests/catalogue/CatalogueTestSupport.h"
#include "tests/platform/ui/ModalDriver.h"

namespace {

using namespace catalogue_registry;

constexpr char kGain[] = "{7B60B886-BE44-4FBF-A14D-E9983B59BB7B}";
constexpr char kAudioEffects[] = "{F3602B3F-0592-48DF-A4CD-674721E7EBEB}";
constexpr char kAudioDecoders[] = "{57F2DB8B-E6BB-4513-9D43-DCD2A6593125}";

// 4 renderers (one without its class), 6 filter instances (one with an empty name, one without
// a name, one not named after a class), a DMO the wrapper takes, one it does not, a keyed one.
void WriteMixedRegistry() {
    ASSERT_TRUE(AddAudioRenderer("Alpha Out", "{11111111-0000-0000-0000-000000000001}"));
    ASSERT_TRUE(AddAudioRenderer("Beta Out", "{abcdef00-0000-0000-0000-000000000002}"));
    ASSERT_TRUE(AddAudioRenderer("Delta Out", "{11111111-0000-0000-0000-000000000004}"));
    ASSERT_TRUE(AddAudioRenderer("Gamma Out", nullptr));
    ASSERT_TRUE(AddFilterInstance("{22222222-0000-0000-0000-000000000001}", "First Filter"));
    ASSERT_TRUE(AddFilterInstance("{22222222-0000-0000-0000-000000000004}", nullptr));
    ASSERT_TRUE(AddFilterInstance("{22222222-0000-0000-0000-000000000005}", "Second Filter"));
    ASSERT_TRUE(AddFilterInstance("{22222222-0000-0000-0000-000000000006}", "Third Filter"));
    ASSERT_TRUE(AddFilterInstance("{2222222a-0000-0000-0000-00000000000b}", ""));
    ASSERT_TRUE(AddFilterInstance("NotAClass", "Skipped"));
    ASSERT_TRUE(AddDmo(u"Gain", CLSID_GainDmo, DMOCATEGORY_AUDIO_EFFECT));
    ASSERT_TRUE(AddDmo(u"Broken", MakeGuid("33333333-0000-0000-0000-000000000001"),
                       DMOCATEGORY_VIDEO_DECODER));
    ASSERT_TRUE(AddDmo(u"Keyed", MakeGuid("44444444-0000-0000-0000-000000000001"),
                       DMOCATEGORY_AUDIO_DECODER, DMO_REGISTERF_IS_KEYED));
}

void WriteTwoFilters(const char* first, const char* second) {
    ASSERT_TRUE(AddFilterInstance("{22222222-0000-0000-0000-000000000001}", first));
    ASSERT_TRUE(AddFilterInstance("{22222222-0000-0000-0000-000000000002}", second));
}

class FilterCatalogueTest : public CatalogueRegistryTest {
protected:
    static void SetUpTestSuite() { RegisterDmoWrapperClasses(); }
};

TEST_F(FilterCatalogueTest, entries_are_listed_newest_first_and_what_cannot_be_used_is_left_out) {
    WriteMixedRegistry();
    FilterCatalogue catalogue;
    EnumerateRecorded(catalogue);
    const std::vector<CatalogueRow> expected = {
        {"Gain", kGain, kAudioEffects, true},
        {"Unamed: {2222222A-0000-0000-0000-00000000000B}", "{2222222A-0000-0000-0000-00000000000B}",
         "-", false},
        {"Third Filter", "{22222222-0000-0000-0000-000000000006}", "-", false},
        {"Second Filter", "{22222222-0000-0000-0000-000000000005}", "-", false},
        {"First Filter", "{22222222-0000-0000-0000-000000000001}", "-", false},
        {"Delta Out", "{11111111-0000-0000-0000-000000000004}", "-", false},
        {"Beta Out", "{abcdef00-0000-0000-0000-000000000002}", "-", false},  // as stored
        {"Alpha Out", "{11111111-0000-0000-0000-000000000001}", "-", false},
    };
    EXPECT_EQ(RowsOf(catalogue), expected);
}

// Mixed: 2 DMOs and 4 renderers are counted first (T = 6), the 6 filter instances when their
// phase starts (T = 12), so the share drops once, from 50 to 33.
TEST_F(FilterCatalogueTest, each_registry_gives_its_exact_progress_sequence) {
    const struct {
        const char* registry;
        void (*write)();
        std::vector<WPARAM> sent;
    } cases[] = {
        {"nothing", [] {}, {100}},
        {"filters only", [] { WriteTwoFilters("A", "B"); }, {0, 50, 100}},
        {"mixed", WriteMixedRegistry, {0, 16, 33, 50, 33, 41, 50, 58, 66, 75, 83, 91, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.registry);
        TempDir registry;
        RegistrySetFolder(registry.Path().string());
        c.write();
        FilterCatalogue catalogue;
        EXPECT_EQ(EnumerateRecorded(catalogue), c.sent);
    }
}

TEST_F(FilterCatalogueTest, renderers_added_while_gathering_never_bring_progress_to_100_early) {
    ASSERT_TRUE(AddAudioRenderer("Renderer 1", "{11111111-0000-0000-0000-000000000001}"));
    FilterCatalogue catalogue;
    int messages = 0;
    const std::vector<WPARAM> sent = EnumerateRecorded(catalogue, [&] {
        if (++messages > 1) return;
        for (char i = '2'; i <= '5'; ++i) {  // counted 1, lists 5
            AddAudioRenderer(
                std::string("Renderer ") + i,
                (std::string("{11111111-0000-0000-0000-00000000000") + i + "}").c_str());
        }
    });
    EXPECT_EQ(sent, (std::vector<WPARAM>{0, 99, 99, 99, 99, 100}));
    EXPECT_EQ(RowsOf(catalogue).size(), 5u);

    CatalogueProgress nothing_counted(nullptr);  // a loop that finds what was not counted
    nothing_counted.Step();
    EXPECT_EQ(nothing_counted.Percent(), 0u);
}

TEST_F(FilterCatalogueTest, a_dmo_in_two_categories_gives_one_entry_per_category) {
    ASSERT_TRUE(AddDmo(u"Gain", CLSID_GainDmo, DMOCATEGORY_AUDIO_EFFECT));
    ASSERT_TRUE(AddDmo(u"Gain", CLSID_GainDmo, DMOCATEGORY_AUDIO_DECODER));
    FilterCatalogue catalogue;
    EnumerateRecorded(catalogue);
    EXPECT_EQ(RowsOf(catalogue),
              (std::vector<CatalogueRow>{{"Gain", kGain, kAudioEffects, true},
                                         {"Gain", kGain, kAudioDecoders, true}}));
}

TEST_F(FilterCatalogueTest, a_name_found_twice_finds_the_entry_discovered_last) {
    WriteTwoFilters("Wave Parser", "Wave Parser");
    FilterCatalogue catalogue;
    EXPECT_EQ(catalogue.FindByFriendlyName("Wave Parser"), nullptr);
    EnumerateRecorded(catalogue);
    const CatalogueEntry* found = catalogue.FindByFriendlyName("Wave Parser");
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(found->clsid, "{22222222-0000-0000-0000-000000000002}");
    EXPECT_EQ(catalogue.FindByFriendlyName("wave parser"), nullptr);
}

TEST_F(FilterCatalogueTest, a_class_missing_from_the_list_is_added_once_from_its_class_key) {
    WriteTwoFilters("First Filter", "Second Filter");
    const GUID late = MakeGuid("55555555-0000-0000-0000-00000000000A");
    const GUID unnamed = MakeGuid("55555555-0000-0000-0000-00000000000B");
    ASSERT_TRUE(AddClassKey("{55555555-0000-0000-0000-00000000000A}", "Late Filter"));
    ASSERT_TRUE(AddClassKey("{55555555-0000-0000-0000-00000000000B}", ""));
    FilterCatalogue catalogue;
    EXPECT_EQ(catalogue.FindByClsid(late), nullptr);  // an empty catalogue reads nothing
    EnumerateRecorded(catalogue);
    const CatalogueEntry* listed =
        catalogue.FindByClsid(MakeGuid("22222222-0000-0000-0000-000000000001"));
    ASSERT_NE(listed, nullptr);
    EXPECT_STREQ(listed->friendlyName, "First Filter");
    EXPECT_EQ(catalogue.FindByClsid(MakeGuid("66666666-0000-0000-0000-000000000001")), nullptr);

    CatalogueEntry* added = catalogue.FindByClsid(late);
    EXPECT_EQ(added, catalogue.head);
    EXPECT_EQ(RowsOf(catalogue).front(),
              CatalogueRow("Late Filter", "{55555555-0000-0000-0000-00000000000A}", "-", false));
    EXPECT_EQ(catalogue.FindByClsid(late), added);
    EXPECT_EQ(RowsOf(catalogue).size(), 3u);
    ASSERT_NE(catalogue.FindByClsid(unnamed), nullptr);
    EXPECT_STREQ(catalogue.head->friendlyName, "");
}

TEST_F(FilterCatalogueTest,
       gathering_runs_behind_the_loading_dialog_and_tells_whether_any_was_found) {
    ModalWatchdog watchdog;
    FilterCatalogue empty;
    EXPECT_FALSE(empty.Gather());
    WriteMixedRegistry();
    FilterCatalogue catalogue;
    EXPECT_TRUE(catalogue.Gather());
    EXPECT_EQ(RowsOf(catalogue).size(), 8u);
    EXPECT_FALSE(IsWindow(catalogue.progressWindow));  // the dialog is gone
    EXPECT_FALSE(watchdog.Fired());
}

}  // namespace
