#include "platform/media/graph/FilterData.h"

#include <gtest/gtest.h>

#include "platform/media/graph/WideText.h"
#include "platform/media/strmif.h"
#include "platform/media/uuids.h"

namespace {

FilterRecord ParserRecord() {
    FilterRecord record;
    record.merit = MERIT_NORMAL;
    RegisteredPin input;
    input.name = u"Input";
    input.types = {{MEDIATYPE_Stream, MEDIASUBTYPE_WAVE}, {MEDIATYPE_Stream, GUID_NULL}};
    RegisteredPin output;
    output.name = u"Output";
    output.output = true;
    output.many = true;
    output.connects_to_filter = CLSID_DSoundRender;
    output.connects_to_pin = u"Audio Input pin (rendered)";
    output.types = {{MEDIATYPE_Audio, MEDIASUBTYPE_PCM}};
    record.pins = {input, output};
    return record;
}

TEST(FilterData, a_record_survives_encoding) {
    const FilterRecord original = ParserRecord();
    const std::vector<BYTE> bytes = FilterData::Encode(original);
    FilterRecord decoded;
    ASSERT_TRUE(FilterData::Decode(bytes.data(), bytes.size(), &decoded));
    EXPECT_EQ(decoded.merit, original.merit);
    ASSERT_EQ(decoded.pins.size(), 2u);
    EXPECT_EQ(decoded.pins[0].name, u"Input");
    EXPECT_FALSE(decoded.pins[0].output);
    ASSERT_EQ(decoded.pins[0].types.size(), 2u);
    EXPECT_EQ(decoded.pins[0].types[0].minor, MEDIASUBTYPE_WAVE);
    EXPECT_EQ(decoded.pins[0].types[1].minor, GUID_NULL);
    EXPECT_TRUE(decoded.pins[1].output);
    EXPECT_TRUE(decoded.pins[1].many);
    EXPECT_FALSE(decoded.pins[1].zero);
    EXPECT_FALSE(decoded.pins[1].rendered);
    EXPECT_EQ(decoded.pins[1].connects_to_filter, CLSID_DSoundRender);
    EXPECT_EQ(decoded.pins[1].connects_to_pin, u"Audio Input pin (rendered)");
    EXPECT_EQ(decoded.pins[1].types[0].major, MEDIATYPE_Audio);
}

TEST(FilterData, every_truncation_of_a_record_is_refused) {
    const std::vector<BYTE> bytes = FilterData::Encode(ParserRecord());
    for (size_t size = 0; size < bytes.size(); ++size) {
        FilterRecord decoded;
        decoded.merit = 1234;
        EXPECT_FALSE(FilterData::Decode(bytes.data(), size, &decoded)) << size;
        EXPECT_EQ(decoded.merit, 1234u) << "a refused record leaves the output alone";
    }
}

TEST(FilterData, foreign_or_lying_bytes_are_refused) {
    std::vector<BYTE> bytes = FilterData::Encode(ParserRecord());
    FilterRecord decoded;
    std::vector<BYTE> wrong_magic = bytes;
    wrong_magic[0] ^= 0xFF;
    EXPECT_FALSE(FilterData::Decode(wrong_magic.data(), wrong_magic.size(), &decoded));
    std::vector<BYTE> many_pins = bytes;
    many_pins[12] = 0xFF;  // the pin count claims thousands of pins
    many_pins[13] = 0xFF;
    EXPECT_FALSE(FilterData::Decode(many_pins.data(), many_pins.size(), &decoded));
    EXPECT_FALSE(FilterData::Decode(nullptr, 100, &decoded));
}

TEST(FilterData, a_record_without_pins_is_valid) {
    FilterRecord empty;
    empty.merit = MERIT_DO_NOT_USE;
    const std::vector<BYTE> bytes = FilterData::Encode(empty);
    FilterRecord decoded;
    ASSERT_TRUE(FilterData::Decode(bytes.data(), bytes.size(), &decoded));
    EXPECT_EQ(decoded.merit, static_cast<DWORD>(MERIT_DO_NOT_USE));
    EXPECT_TRUE(decoded.pins.empty());
}

TEST(WideText, utf8_and_utf16_round_trip_beyond_ascii) {
    const std::u16string wide = u"Caf\u00e9 \u266b \U0001F3B5";
    const std::string narrow = Utf8FromWide(wide);
    EXPECT_EQ(narrow, "Caf\xC3\xA9 \xE2\x99\xAB \xF0\x9F\x8E\xB5");
    EXPECT_EQ(WideFromUtf8(narrow), wide);
}

TEST(WideText, broken_sequences_become_replacement_characters) {
    EXPECT_EQ(WideFromUtf8("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(WideFromUtf8("\xC0\xAF"), u"\uFFFD");  // overlong
    EXPECT_EQ(Utf8FromWide(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
    EXPECT_TRUE(WideView(nullptr).empty());
}

}  // namespace
