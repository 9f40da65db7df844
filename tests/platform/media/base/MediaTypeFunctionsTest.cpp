// AM_MEDIA_TYPE memory helpers: deep copies, frees, and the format block's ownership.
#include <atomic>
#include <cstring>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/uuids.h"

namespace {

// Counts its references, so that a test sees pUnk AddRef'ed by copies and released by frees.
class CountedObject : public IUnknown {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
        AddRef();
        *object = this;
        return S_OK;
    }
    ULONG AddRef() override { return ++m_count; }
    ULONG Release() override { return --m_count; }  // lives on the test's stack
    ULONG Count() const { return m_count; }

private:
    std::atomic<ULONG> m_count{1};
};

AM_MEDIA_TYPE WaveType(BYTE first_byte, ULONG size) {
    AM_MEDIA_TYPE type{};
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_PCM;
    type.formattype = FORMAT_WaveFormatEx;
    type.bFixedSizeSamples = TRUE;
    type.lSampleSize = 4;
    type.cbFormat = size;
    type.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(size));
    std::memset(type.pbFormat, first_byte, size);
    return type;
}

TEST(MediaTypeFunctions, copy_duplicates_the_format_block) {
    AM_MEDIA_TYPE source = WaveType(7, 18);
    AM_MEDIA_TYPE copy{};
    ASSERT_EQ(CopyMediaType(&copy, &source), S_OK);
    EXPECT_NE(copy.pbFormat, source.pbFormat);
    EXPECT_EQ(copy.cbFormat, 18u);
    EXPECT_EQ(std::memcmp(copy.pbFormat, source.pbFormat, 18), 0);
    EXPECT_TRUE(IsEqualGUID(copy.subtype, MEDIASUBTYPE_PCM));
    FreeMediaType(source);
    EXPECT_EQ(copy.pbFormat[17], 7);  // the copy outlives its source
    FreeMediaType(copy);
}

TEST(MediaTypeFunctions, free_clears_the_record_and_may_run_twice) {
    AM_MEDIA_TYPE type = WaveType(1, 8);
    FreeMediaType(type);
    EXPECT_EQ(type.pbFormat, nullptr);
    EXPECT_EQ(type.cbFormat, 0u);
    FreeMediaType(type);
    EXPECT_TRUE(IsEqualGUID(type.majortype, MEDIATYPE_Audio));  // only the blocks go
}

TEST(MediaTypeFunctions, copies_reference_and_frees_release_the_unknown) {
    CountedObject object;
    AM_MEDIA_TYPE source = WaveType(0, 4);
    source.pUnk = &object;
    object.AddRef();
    AM_MEDIA_TYPE copy{};
    ASSERT_EQ(CopyMediaType(&copy, &source), S_OK);
    EXPECT_EQ(object.Count(), 3u);
    FreeMediaType(copy);
    FreeMediaType(source);
    EXPECT_EQ(object.Count(), 1u);
    EXPECT_EQ(source.pUnk, nullptr);
}

TEST(MediaTypeFunctions, size_without_block_copies_as_no_format) {
    AM_MEDIA_TYPE source{};
    source.cbFormat = 100;
    AM_MEDIA_TYPE copy{};
    ASSERT_EQ(CopyMediaType(&copy, &source), S_OK);
    EXPECT_EQ(copy.cbFormat, 0u);
    EXPECT_EQ(copy.pbFormat, nullptr);
}

TEST(MediaTypeFunctions, null_arguments_are_refused_or_ignored) {
    AM_MEDIA_TYPE type{};
    EXPECT_EQ(CopyMediaType(nullptr, &type), E_POINTER);
    EXPECT_EQ(CopyMediaType(&type, nullptr), E_POINTER);
    EXPECT_EQ(CreateMediaType(nullptr), nullptr);
    DeleteMediaType(nullptr);
}

TEST(MediaTypeFunctions, create_and_delete_make_a_whole_record) {
    AM_MEDIA_TYPE source = WaveType(3, 16);
    AM_MEDIA_TYPE* created = CreateMediaType(&source);
    ASSERT_NE(created, nullptr);
    EXPECT_NE(created->pbFormat, source.pbFormat);
    EXPECT_EQ(created->pbFormat[15], 3);
    EXPECT_EQ(created->lSampleSize, 4u);
    DeleteMediaType(created);  // LeakSanitizer checks that record and block both went
    FreeMediaType(source);
}

}  // namespace
