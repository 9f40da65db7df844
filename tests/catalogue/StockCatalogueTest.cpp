// The catalogue over a real program's registrations: the platform's stock filters and DMO
// (written on the registry's first use) and the program's own source filter.
#include "catalogue/FilterCatalogue.h"

#include <gtest/gtest.h>

#include "engine/TimeStretchRegistration.h"
#include "platform/com/objbase.h"
#include "tests/catalogue/CatalogueTestSupport.h"
#include "tests/platform/ui/ModalDriver.h"

namespace {

class StockCatalogueTest : public CatalogueRegistryTest {
protected:
    void SetUp() override {
        CatalogueRegistryTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(TimeStretchRegistration::Register(nullptr), S_OK);
    }
    void TearDown() override {
        CoUninitialize();
        CatalogueRegistryTest::TearDown();
    }
};

TEST_F(StockCatalogueTest, the_stock_filters_the_dmo_and_the_source_filter_are_listed) {
    FilterCatalogue catalogue;
    FilterCatalogue::Enumerate(nullptr, &catalogue);  // no window, no progress shown
    for (const char* name :
         {"Tarvik Time Stretcher", "Wave Parser", "Null Renderer", "Video Renderer",
          "File Source (Async.)", "File Writer", "Movie Splitter", "Default DirectSound Device"}) {
        const CatalogueEntry* entry = catalogue.FindByFriendlyName(name);
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_FALSE(entry->isDmo) << name;
    }
    EXPECT_STREQ(catalogue.FindByFriendlyName("Tarvik Time Stretcher")->clsid,
                 "{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}");
    const CatalogueEntry* gain = catalogue.FindByFriendlyName("Gain");
    ASSERT_NE(gain, nullptr);
    EXPECT_TRUE(gain->isDmo);
    EXPECT_STREQ(gain->category, "{F3602B3F-0592-48DF-A4CD-674721E7EBEB}");  // audio effects

    const size_t listed = RowsOf(catalogue).size();
    const CatalogueEntry* parser =
        catalogue.FindByClsid(MakeGuid("D51BD5A1-7548-11CF-A520-0080C77EF58A"));
    ASSERT_NE(parser, nullptr);
    EXPECT_STREQ(parser->friendlyName, "Wave Parser");
    EXPECT_EQ(RowsOf(catalogue).size(), listed);
}

TEST_F(StockCatalogueTest, gathering_the_stock_set_stays_below_100_until_its_end) {
    ModalWatchdog watchdog;
    FilterCatalogue gathered;
    EXPECT_TRUE(gathered.Gather());
    EXPECT_FALSE(watchdog.Fired());

    FilterCatalogue recorded;
    const std::vector<WPARAM> sent = EnumerateRecorded(recorded);
    ASSERT_GE(sent.size(), RowsOf(recorded).size() + 1);
    EXPECT_EQ(sent.back(), 100u);
    for (size_t i = 0; i + 1 < sent.size(); ++i)
        EXPECT_LT(sent[i], 100u) << i;
}

}  // namespace
