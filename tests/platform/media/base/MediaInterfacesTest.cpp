// The interface headers: identifiers against their registry text, record layouts, and the
// automation string functions.
#include <cstddef>
#include <string>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/dshow.h"

namespace {

std::u16string Text(const GUID& guid) {
    OLECHAR buffer[CHARS_IN_GUID] = {};
    if (StringFromGUID2(guid, buffer, CHARS_IN_GUID) != CHARS_IN_GUID) return u"";
    return buffer;
}

TEST(MediaIdentifiers, interface_ids_read_as_their_registry_text) {
    EXPECT_EQ(Text(IID_IAsyncReader), u"{56A868AA-0AD4-11CE-B03A-0020AF0BA770}");
    EXPECT_EQ(Text(IID_IFileSourceFilter), u"{56A868A6-0AD4-11CE-B03A-0020AF0BA770}");
    EXPECT_EQ(Text(IID_IFilterMapper2), u"{B79BB0B0-33C1-11D1-ABE1-00A0C905F375}");
    EXPECT_EQ(Text(IID_IFilterMapper), u"{56A868A3-0AD4-11CE-B03A-0020AF0BA770}");
    EXPECT_EQ(Text(IID_IMediaEventEx), u"{56A868C0-0AD4-11CE-B03A-0020AF0BA770}");
    EXPECT_EQ(Text(IID_IMediaSeeking), u"{36B73880-C2C8-11CF-8B46-00805F6CEF60}");
    EXPECT_EQ(Text(IID_IEnumMediaTypes), u"{89C31040-846B-11CE-97D3-00AA0055595A}");
    EXPECT_EQ(Text(IID_IPersist), u"{0000010C-0000-0000-C000-000000000046}");
}

TEST(MediaIdentifiers, class_and_type_ids_read_as_their_registry_text) {
    EXPECT_EQ(Text(CLSID_FilterMapper2), u"{CDA42200-BD88-11D0-BD4E-00A0C911CE86}");
    EXPECT_EQ(Text(CLSID_FilterMapper), u"{E436EBB2-524F-11CE-9F53-0020AF0BA770}");
    EXPECT_EQ(Text(CLSID_LegacyAmFilterCategory), u"{083863F1-70DE-11D0-BD40-00A0C911CE86}");
    EXPECT_EQ(Text(CLSID_AudioRendererCategory), u"{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}");
    EXPECT_EQ(Text(MEDIATYPE_Stream), u"{E436EB83-524F-11CE-9F53-0020AF0BA770}");
    EXPECT_EQ(Text(MEDIASUBTYPE_WAVE), u"{E436EB8B-524F-11CE-9F53-0020AF0BA770}");
    EXPECT_EQ(Text(MEDIASUBTYPE_PCM), u"{00000001-0000-0010-8000-00AA00389B71}");
    EXPECT_EQ(Text(DMOCATEGORY_AUDIO_CAPTURE_EFFECT), u"{F665AABA-3E09-4920-AA5F-219811148F09}");
}

TEST(MediaIdentifiers, fourcc_subtypes_carry_their_code_in_the_first_field) {
    EXPECT_EQ(MEDIATYPE_Video.Data1, mmioFOURCC('v', 'i', 'd', 's'));
    EXPECT_EQ(MEDIATYPE_Audio.Data1, mmioFOURCC('a', 'u', 'd', 's'));
    EXPECT_EQ(MEDIASUBTYPE_MJPG.Data1, mmioFOURCC('M', 'J', 'P', 'G'));
    EXPECT_EQ(MEDIASUBTYPE_PCM.Data1, static_cast<DWORD>(WAVE_FORMAT_PCM));
}

TEST(MediaIdentifiers, null_types_are_the_null_guid) {
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_NULL, GUID_NULL));
    EXPECT_TRUE(IsEqualGUID(MEDIATYPE_NULL, GUID_NULL));
    EXPECT_FALSE(IsEqualGUID(FORMAT_None, GUID_NULL));
}

TEST(MediaIdentifiers, interfaces_are_linked_to_their_ids) {
    EXPECT_TRUE(IsEqualIID(IidOf<IBaseFilter>(), IID_IBaseFilter));
    EXPECT_TRUE(IsEqualIID(IidOf<IMediaControl>(), IID_IMediaControl));
    EXPECT_TRUE(IsEqualIID(IidOf<IMemInputPin>(), IID_IMemInputPin));
    EXPECT_TRUE(IsEqualIID(IidOf<IMediaEventSink>(), IID_IMediaEventSink));
    EXPECT_TRUE(IsEqualIID(IidOf<IDMOWrapperFilter>(), IID_IDMOWrapperFilter));
}

TEST(MediaConstants, event_codes_and_merits_keep_their_values) {
    EXPECT_EQ(EC_COMPLETE, 1);
    EXPECT_EQ(EC_USERABORT, 2);
    EXPECT_EQ(EC_ERRORABORT, 3);
    EXPECT_EQ(EC_CLOCK_CHANGED, 0x0D);
    EXPECT_EQ(EC_PAUSED, 0x0E);
    EXPECT_EQ(MERIT_UNLIKELY, 0x400000);
    EXPECT_EQ(MERIT_NORMAL, 0x600000);
    EXPECT_EQ(AM_SEEKING_AbsolutePositioning, 1);
    EXPECT_EQ(AM_SEEKING_NoPositioning, 0);
    EXPECT_EQ(State_Running, 2);
    EXPECT_EQ(PINDIR_OUTPUT, 1);
}

TEST(MediaRecords, names_hold_128_units) {
    PIN_INFO pin{};
    FILTER_INFO filter{};
    EXPECT_EQ(sizeof(pin.achName) / sizeof(WCHAR), 128u);
    EXPECT_EQ(sizeof(filter.achName) / sizeof(WCHAR), 128u);
}

TEST(MediaRecords, video_info_puts_the_bitmap_header_after_the_frame_time) {
    EXPECT_EQ(offsetof(VIDEOINFOHEADER, AvgTimePerFrame), 40u);
    EXPECT_EQ(offsetof(VIDEOINFOHEADER, bmiHeader), 48u);
    BITMAPINFOHEADER header{};
    header.biWidth = 3;
    header.biHeight = -2;
    header.biBitCount = 24;
    EXPECT_EQ(DIBSIZE(header), 24u);  // 9 bytes a row padded to 12, two rows
}

TEST(AutomationStrings, keep_text_and_length) {
    BSTR text = SysAllocString(u"Wave");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 4u);
    EXPECT_EQ(std::u16string(text), u"Wave");
    SysFreeString(text);
}

TEST(AutomationStrings, length_form_copies_embedded_zeros_and_terminates) {
    const OLECHAR source[] = {u'a', 0, u'b'};
    BSTR text = SysAllocStringLen(source, 3);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 3u);
    EXPECT_EQ(text[2], u'b');
    EXPECT_EQ(text[3], 0);
    SysFreeString(text);
}

TEST(AutomationStrings, null_is_an_empty_string) {
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    BSTR blank = SysAllocStringLen(nullptr, 2);
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(blank[0], 0);
    EXPECT_EQ(SysStringLen(blank), 2u);
    SysFreeString(blank);
}

}  // namespace
