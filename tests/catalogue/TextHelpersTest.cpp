#include "catalogue/TextHelpers.h"

#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "platform/media/uuids.h"

namespace {

TEST(TextHelpersTest, texts_convert_a_unit_per_byte_and_identifiers_to_braced_upper_case) {
    EXPECT_EQ(WideFromNarrow(nullptr), nullptr);
    EXPECT_EQ(NarrowFromWide(nullptr), nullptr);
    EXPECT_EQ(DuplicateString(nullptr), nullptr);
    EXPECT_EQ(WideLength(nullptr), 0u);

    const char text[] = "Wave \xE9";
    std::unique_ptr<WCHAR[]> wide(WideFromNarrow(text));
    ASSERT_EQ(WideLength(wide.get()), 6u);
    EXPECT_EQ(wide[5], 0xE9);  // not sign-extended
    std::unique_ptr<char[]> back(NarrowFromWide(wide.get()));
    EXPECT_STREQ(back.get(), text);
    const WCHAR beyond[] = {u'A', 0x263A, 0, u'x', 0};
    std::unique_ptr<char[]> low(NarrowFromWide(beyond));
    EXPECT_STREQ(low.get(), "A:");  // the low byte, up to the first zero unit

    std::unique_ptr<char[]> id(TextFromClassId(CLSID_WAVEParser));
    EXPECT_STREQ(id.get(), "{D51BD5A1-7548-11CF-A520-0080C77EF58A}");
    EXPECT_EQ(ClassIdFromText("{d51bd5a1-7548-11cf-a520-0080c77ef58a}"), CLSID_WAVEParser);
    for (const char* bad : {static_cast<const char*>(nullptr), "", "{ Not available }",
                            "D51BD5A1-7548-11CF-A520-0080C77EF58A"}) {
        EXPECT_EQ(ClassIdFromText(bad), GUID_NULL) << (bad ? bad : "(null)");
    }
}

}  // namespace
