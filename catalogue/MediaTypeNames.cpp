#include "catalogue/MediaTypeNames.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "platform/media/uuids.h"
#include "platform/mmio/mmreg.h"

namespace {

struct NamedGuid {
    const GUID& id;
    const char* name;
};

constexpr const char* kUnknown = "Unknown";

// The bytes of a WAVEFORMATEX up to and including wBitsPerSample.
constexpr ULONG kWaveFieldsRead = offsetof(WAVEFORMATEX, wBitsPerSample) + sizeof(WORD);
static_assert(kWaveFieldsRead == 16);

const NamedGuid kMajorTypes[] = {
    {GUID_NULL, "NULL"},
    {MEDIATYPE_AnalogAudio, "AnalogAudio"},
    {MEDIATYPE_Audio, "Audio"},
    {MEDIATYPE_AUXLine21Data, "AUXLine21Data"},
    {MEDIATYPE_File, "File"},
    {MEDIATYPE_Interleaved, "Interleaved"},
    {MEDIATYPE_Midi, "Midi"},
    {MEDIATYPE_MPEG2_PES, "MPEG2_PES"},
    {MEDIATYPE_ScriptCommand, "ScriptCommand"},
    {MEDIATYPE_Stream, "Stream"},
    {MEDIATYPE_Text, "Text"},
    {MEDIATYPE_Timecode, "Timecode"},
    {MEDIATYPE_Video, "Video"},
};

// Each name is the identifier's own name without its MEDIASUBTYPE_ prefix.
#define SUBTYPE(name) \
    { MEDIASUBTYPE_##name, #name }
const NamedGuid kSubtypes[] = {
    {GUID_NULL, "NULL"},
    SUBTYPE(PCM),
    SUBTYPE(MPEG1Packet),
    SUBTYPE(MPEG1Payload),
    SUBTYPE(Line21_BytePair),
    SUBTYPE(Line21_GOPPacket),
    SUBTYPE(Line21_VBIRawData),
    SUBTYPE(DVD_SUBPICTURE),
    SUBTYPE(DOLBY_AC3),
    SUBTYPE(MPEG2_AUDIO),
    SUBTYPE(DVD_LPCM_AUDIO),
    SUBTYPE(MPEG2_TRANSPORT),
    SUBTYPE(MPEG2_PROGRAM),
    SUBTYPE(AIFF),
    SUBTYPE(Avi),
    SUBTYPE(AU),
    SUBTYPE(DssAudio),
    SUBTYPE(DssVideo),
    SUBTYPE(MPEG1Audio),
    SUBTYPE(MPEG1System),
    SUBTYPE(MPEG1Video),
    SUBTYPE(MPEG1VideoCD),
    SUBTYPE(WAVE),
    SUBTYPE(YVU9),
    SUBTYPE(Y411),
    SUBTYPE(Y41P),
    SUBTYPE(YUY2),
    SUBTYPE(YVYU),
    SUBTYPE(UYVY),
    SUBTYPE(Y211),
    SUBTYPE(CLJR),
    SUBTYPE(IF09),
    SUBTYPE(CPLA),
    SUBTYPE(MJPG),
    SUBTYPE(TVMJ),
    SUBTYPE(WAKE),
    SUBTYPE(CFCC),
    SUBTYPE(IJPG),
    SUBTYPE(Plum),
    SUBTYPE(RGB1),
    SUBTYPE(RGB4),
    SUBTYPE(RGB8),
    SUBTYPE(RGB565),
    SUBTYPE(RGB555),
    SUBTYPE(RGB24),
    SUBTYPE(RGB32),
    SUBTYPE(Overlay),
    SUBTYPE(QTMovie),
    SUBTYPE(QTRpza),
    SUBTYPE(QTSmc),
    SUBTYPE(QTRle),
    SUBTYPE(QTJpeg),
    SUBTYPE(dvsd),
    SUBTYPE(dvhd),
    SUBTYPE(dvsl),
    SUBTYPE(VPVideo),
    SUBTYPE(VPVBI),
    SUBTYPE(AnalogVideo_NTSC_M),
    SUBTYPE(AnalogVideo_PAL_B),
    SUBTYPE(AnalogVideo_PAL_D),
    SUBTYPE(AnalogVideo_PAL_G),
    SUBTYPE(AnalogVideo_PAL_H),
    SUBTYPE(AnalogVideo_PAL_I),
    SUBTYPE(AnalogVideo_PAL_M),
    SUBTYPE(AnalogVideo_PAL_N),
    SUBTYPE(AnalogVideo_SECAM_B),
    SUBTYPE(AnalogVideo_SECAM_D),
    SUBTYPE(AnalogVideo_SECAM_G),
    SUBTYPE(AnalogVideo_SECAM_H),
    SUBTYPE(AnalogVideo_SECAM_K),
    SUBTYPE(AnalogVideo_SECAM_K1),
    SUBTYPE(AnalogVideo_SECAM_L),
};
#undef SUBTYPE
static_assert(std::size(kSubtypes) == 1 + 71);

// The null identifier reads "Null" here, unlike the other two tables.
const NamedGuid kFormatTypes[] = {
    {FORMAT_None, "None"},
    {GUID_NULL, "Null"},
    {FORMAT_DvInfo, "DvInfo"},
    {FORMAT_MPEGVideo, "MPEGVideo"},
    {FORMAT_MPEG2Video, "MPEG2Video"},
    {FORMAT_VideoInfo, "VideoInfo"},
    {FORMAT_VideoInfo2, "VideoInfo2"},
    {FORMAT_WaveFormatEx, "WaveFormatEx"},
};

template <size_t N>
const char* NameIn(const NamedGuid (&table)[N], const GUID& id) {
    for (const NamedGuid& entry : table) {
        if (IsEqualGUID(entry.id, id)) return entry.name;
    }
    return kUnknown;
}

}  // namespace

const char* MajorTypeName(GUID majorType) {
    return NameIn(kMajorTypes, majorType);
}

const char* SubtypeName(GUID subtype) {
    return NameIn(kSubtypes, subtype);
}

const char* FormatTypeName(GUID formatType) {
    return NameIn(kFormatTypes, formatType);
}

std::string DescribeMediaType(const AM_MEDIA_TYPE& type) {
    const char* major = MajorTypeName(type.majortype);
    const char* subtype = SubtypeName(type.subtype);
    const char* format = FormatTypeName(type.formattype);
    char text[1024];
    // A block too short to hold the fields would be read past its end: name the type only.
    if (IsEqualGUID(type.formattype, FORMAT_WaveFormatEx) && type.pbFormat &&
        type.cbFormat >= kWaveFieldsRead) {
        WAVEFORMATEX wave{};
        std::memcpy(&wave, type.pbFormat, kWaveFieldsRead);  // the block may be unaligned
        std::snprintf(text, sizeof text, "%s %s %s %u ch %lu hz %u bits", major, subtype, format,
                      static_cast<unsigned>(wave.nChannels),
                      static_cast<unsigned long>(wave.nSamplesPerSec),
                      static_cast<unsigned>(wave.wBitsPerSample));
    } else {
        std::snprintf(text, sizeof text, "%s %s %s", major, subtype, format);
    }
    return text;
}
