// Short names of media types and the one-line description of a connection type.
#include "catalogue/MediaTypeNames.h"

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/media/uuids.h"
#include "platform/mmio/mmreg.h"

namespace {

struct Named {
    GUID id;
    const char* name;
};

// clang-format off
#define NAMED(name) {MEDIASUBTYPE_##name, #name}
const Named kAllSubtypes[] = {
    NAMED(PCM), NAMED(MPEG1Packet), NAMED(MPEG1Payload), NAMED(Line21_BytePair),
    NAMED(Line21_GOPPacket), NAMED(Line21_VBIRawData), NAMED(DVD_SUBPICTURE), NAMED(DOLBY_AC3),
    NAMED(MPEG2_AUDIO), NAMED(DVD_LPCM_AUDIO), NAMED(MPEG2_TRANSPORT), NAMED(MPEG2_PROGRAM),
    NAMED(AIFF), NAMED(Avi), NAMED(AU), NAMED(DssAudio), NAMED(DssVideo), NAMED(MPEG1Audio),
    NAMED(MPEG1System), NAMED(MPEG1Video), NAMED(MPEG1VideoCD), NAMED(WAVE), NAMED(YVU9),
    NAMED(Y411), NAMED(Y41P), NAMED(YUY2), NAMED(YVYU), NAMED(UYVY), NAMED(Y211), NAMED(CLJR),
    NAMED(IF09), NAMED(CPLA), NAMED(MJPG), NAMED(TVMJ), NAMED(WAKE), NAMED(CFCC), NAMED(IJPG),
    NAMED(Plum), NAMED(RGB1), NAMED(RGB4), NAMED(RGB8), NAMED(RGB565), NAMED(RGB555), NAMED(RGB24),
    NAMED(RGB32), NAMED(Overlay), NAMED(QTMovie), NAMED(QTRpza), NAMED(QTSmc), NAMED(QTRle),
    NAMED(QTJpeg), NAMED(dvsd), NAMED(dvhd), NAMED(dvsl), NAMED(VPVideo), NAMED(VPVBI),
    NAMED(AnalogVideo_NTSC_M), NAMED(AnalogVideo_PAL_B), NAMED(AnalogVideo_PAL_D),
    NAMED(AnalogVideo_PAL_G), NAMED(AnalogVideo_PAL_H), NAMED(AnalogVideo_PAL_I),
    NAMED(AnalogVideo_PAL_M), NAMED(AnalogVideo_PAL_N), NAMED(AnalogVideo_SECAM_B),
    NAMED(AnalogVideo_SECAM_D), NAMED(AnalogVideo_SECAM_G), NAMED(AnalogVideo_SECAM_H),
    NAMED(AnalogVideo_SECAM_K), NAMED(AnalogVideo_SECAM_K1), NAMED(AnalogVideo_SECAM_L),
};
// clang-format on
#undef NAMED

std::string Key(const GUID& id) {
    return std::string(reinterpret_cast<const char*>(&id), sizeof id);
}

TEST(MediaTypeNamesTest, all_71_subtypes_are_named_after_their_constants_and_are_distinct) {
    ASSERT_EQ(std::size(kAllSubtypes), 71u);
    std::set<std::string> values;
    for (const Named& subtype : kAllSubtypes) {
        SCOPED_TRACE(subtype.name);
        EXPECT_STREQ(SubtypeName(subtype.id), subtype.name);
        EXPECT_STRNE(SubtypeName(subtype.id), "Unknown");
        EXPECT_FALSE(IsEqualGUID(subtype.id, GUID_NULL));
        values.insert(Key(subtype.id));
    }
    EXPECT_EQ(values.size(), 71u);
}

// Values written out here, apart from the platform's constants, to catch a wrong constant.
TEST(MediaTypeNamesTest, subtypes_are_recognised_by_their_published_values) {
    const Named cases[] = {
        {MakeGuid("64737664-0000-0010-8000-00AA00389B71"), "dvsd"},
        {MakeGuid("44535644-0000-0010-8000-00AA00389B71"), "Unknown"},  // DVSD, not dvsd
        {MakeGuid("E436EB78-524F-11CE-9F53-0020AF0BA770"), "RGB1"},
        {MakeGuid("6E8D4A24-310C-11D0-B79A-00AA003767A7"), "Line21_VBIRawData"},
        {MakeGuid("E06D8032-DB46-11CF-B4D1-00805F6CBBEA"), "DVD_LPCM_AUDIO"},
        {MakeGuid("A0AF4F81-E163-11D0-BAD9-00609744111A"), "DssVideo"},
        {MakeGuid("5A9B6A41-1A22-11D1-BAD9-00609744111A"), "VPVBI"},
        {MakeGuid("6765706A-0000-0010-8000-00AA00389B71"), "QTJpeg"},
        {MakeGuid("0482DDF5-7817-11CF-8A03-00AA006ECB65"), "AnalogVideo_SECAM_K1"},
        {MakeGuid("454B4157-0000-0010-8000-00AA00389B71"), "WAKE"},
        {MakeGuid("00000001-0000-0010-8000-00AA00389B71"), "PCM"},
        {GUID_NULL, "NULL"},
    };
    for (const Named& c : cases)
        EXPECT_STREQ(SubtypeName(c.id), c.name) << c.name;
}

TEST(MediaTypeNamesTest, an_identifier_off_by_any_one_byte_is_unknown) {
    for (size_t byte = 0; byte < sizeof(GUID); ++byte) {
        GUID major = MEDIATYPE_Video;
        GUID subtype = MEDIASUBTYPE_YUY2;
        GUID format = FORMAT_VideoInfo;
        reinterpret_cast<BYTE*>(&major)[byte] ^= 0x01;
        reinterpret_cast<BYTE*>(&subtype)[byte] ^= 0x80;
        reinterpret_cast<BYTE*>(&format)[byte] ^= 0x10;
        EXPECT_STREQ(MajorTypeName(major), "Unknown") << byte;
        EXPECT_STREQ(SubtypeName(subtype), "Unknown") << byte;
        EXPECT_STREQ(FormatTypeName(format), "Unknown") << byte;
    }
}

AM_MEDIA_TYPE TypeOf(const GUID& major, const GUID& subtype, const GUID& format,
                     std::vector<BYTE>* block = nullptr) {
    AM_MEDIA_TYPE type{};
    type.majortype = major;
    type.subtype = subtype;
    type.formattype = format;
    if (block) {
        type.cbFormat = static_cast<ULONG>(block->size());
        type.pbFormat = block->data();
    }
    return type;
}

std::vector<BYTE> WaveBlock(WORD channels, DWORD rate, WORD bits, size_t size) {
    WAVEFORMATEX wave{};
    wave.wFormatTag = 1;
    wave.nChannels = channels;
    wave.nSamplesPerSec = rate;
    wave.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    wave.nAvgBytesPerSec = rate * wave.nBlockAlign;
    wave.wBitsPerSample = bits;
    std::vector<BYTE> block(sizeof wave + 4, 0xEE);  // room to shrink or grow
    std::memcpy(block.data(), &wave, sizeof wave);
    block.resize(size);
    return block;
}

TEST(MediaTypeNamesTest, descriptions_name_the_three_types_and_detail_wave_audio) {
    std::vector<BYTE> stereo = WaveBlock(2, 44100, 16, sizeof(WAVEFORMATEX));
    std::vector<BYTE> bare = WaveBlock(1, 8000, 8, 16);  // no cbSize: still all the fields read
    std::vector<BYTE> high = WaveBlock(65535, 4294967295u, 65535, sizeof(WAVEFORMATEX));
    std::vector<BYTE> short_block = WaveBlock(2, 44100, 16, 15);
    struct Case {
        AM_MEDIA_TYPE type;
        const char* text;
    };
    const Case cases[] = {
        {TypeOf(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, &stereo),
         "Audio PCM WaveFormatEx 2 ch 44100 hz 16 bits"},
        {TypeOf(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, &bare),
         "Audio PCM WaveFormatEx 1 ch 8000 hz 8 bits"},
        {TypeOf(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, &high),
         "Audio PCM WaveFormatEx 65535 ch 4294967295 hz 65535 bits"},
        {TypeOf(MEDIATYPE_MPEG2_PES, MEDIASUBTYPE_dvsd, FORMAT_VideoInfo2),
         "MPEG2_PES dvsd VideoInfo2"},
        {TypeOf(MEDIATYPE_AnalogVideo, MEDIASUBTYPE_PCM, FORMAT_MPEGStreams),
         "Unknown PCM Unknown"},
        {TypeOf(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, &short_block),
         "Audio PCM WaveFormatEx"},
        {TypeOf(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx), "Audio PCM WaveFormatEx"},
        {TypeOf(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_None, &stereo), "Audio PCM None"},
        {TypeOf(MEDIATYPE_Stream, MEDIASUBTYPE_WAVE, GUID_NULL), "Stream WAVE Null"},
        {TypeOf(MEDIATYPE_Video, MEDIASUBTYPE_IYUV, FORMAT_VideoInfo), "Video Unknown VideoInfo"},
        {TypeOf(MEDIATYPE_Video, MEDIASUBTYPE_RGB24, FORMAT_VideoInfo), "Video RGB24 VideoInfo"},
        {TypeOf(GUID_NULL, GUID_NULL, GUID_NULL), "NULL NULL Null"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescribeMediaType(c.type), c.text);
}

}  // namespace
