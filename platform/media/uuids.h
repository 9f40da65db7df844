// Identifier constants of the media framework with their Windows values: major types,
// subtypes, format types, time formats, classes (the graph, the mappers, the stock filters,
// the clocks) and filter categories.
// The class identifiers only name classes; which of them can be created here depends on what
// the program registered at start-up.
#pragma once

#include "platform/com/Guid.h"

// ---- major types -----------------------------------------------------------------------
inline constexpr GUID MEDIATYPE_Video = MakeGuid("73646976-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIATYPE_Audio = MakeGuid("73647561-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIATYPE_Text = MakeGuid("73747874-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIATYPE_Midi = MakeGuid("7364696D-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIATYPE_Stream = MakeGuid("E436EB83-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIATYPE_Interleaved = MakeGuid("73766169-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIATYPE_File = MakeGuid("656C6966-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIATYPE_ScriptCommand = MakeGuid("73636D64-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIATYPE_AUXLine21Data = MakeGuid("670AEA80-3A82-11D0-B79B-00AA003767A7");
inline constexpr GUID MEDIATYPE_Timecode = MakeGuid("0482DEE3-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIATYPE_LMRT = MakeGuid("74726C6D-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIATYPE_URL_STREAM = MakeGuid("736C7275-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIATYPE_AnalogVideo = MakeGuid("0482DDE1-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIATYPE_AnalogAudio = MakeGuid("0482DEE1-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIATYPE_MPEG2_PES = MakeGuid("E06D8020-DB46-11CF-B4D1-00805F6CBBEA");
inline constexpr const GUID& MEDIATYPE_NULL = GUID_NULL;

// ---- subtypes --------------------------------------------------------------------------
inline constexpr const GUID& MEDIASUBTYPE_NULL = GUID_NULL;
inline constexpr GUID MEDIASUBTYPE_PCM = MakeGuid("00000001-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_IEEE_FLOAT = MakeGuid("00000003-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_WAVE = MakeGuid("E436EB8B-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_AU = MakeGuid("E436EB8C-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_AIFF = MakeGuid("E436EB8D-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_RGB8 = MakeGuid("E436EB7A-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_RGB565 = MakeGuid("E436EB7B-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_RGB555 = MakeGuid("E436EB7C-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_RGB24 = MakeGuid("E436EB7D-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_RGB32 = MakeGuid("E436EB7E-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_ARGB32 = MakeGuid("773C9AC0-3274-11D0-B724-00AA006C1A01");
inline constexpr GUID MEDIASUBTYPE_YUY2 = MakeGuid("32595559-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_UYVY = MakeGuid("59565955-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_YV12 = MakeGuid("32315659-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_IYUV = MakeGuid("56555949-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_MJPG = MakeGuid("47504A4D-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_DVSD = MakeGuid("44535644-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_MPEG1Packet = MakeGuid("E436EB80-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_MPEG1Payload = MakeGuid("E436EB81-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_MPEG1System = MakeGuid("E436EB84-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_MPEG1VideoCD = MakeGuid("E436EB85-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_MPEG1Video = MakeGuid("E436EB86-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_MPEG1Audio = MakeGuid("E436EB87-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_Avi = MakeGuid("E436EB88-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_QTMovie = MakeGuid("E436EB89-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_Asf = MakeGuid("3DB80F90-9412-11D1-ADED-0000F8754B99");
inline constexpr GUID MEDIASUBTYPE_MPEG2_VIDEO = MakeGuid("E06D8026-DB46-11CF-B4D1-00805F6CBBEA");
inline constexpr GUID MEDIASUBTYPE_MPEG2_PROGRAM = MakeGuid("E06D8022-DB46-11CF-B4D1-00805F6CBBEA");
inline constexpr GUID MEDIASUBTYPE_MPEG2_TRANSPORT =
    MakeGuid("E06D8023-DB46-11CF-B4D1-00805F6CBBEA");
inline constexpr GUID MEDIASUBTYPE_MPEG2_AUDIO = MakeGuid("E06D802B-DB46-11CF-B4D1-00805F6CBBEA");
inline constexpr GUID MEDIASUBTYPE_DOLBY_AC3 = MakeGuid("E06D802C-DB46-11CF-B4D1-00805F6CBBEA");
// Containers Windows gives no stream subtype for: our own identifiers, so that the file source
// can tell them and the movie splitter can be registered for them.
inline constexpr GUID MEDIASUBTYPE_TKV_MP4 = MakeGuid("D0EE7F73-266C-4905-86A4-2E5E3509603E");
// Matroska and WebM (WebM is Matroska with fewer codecs).
inline constexpr GUID MEDIASUBTYPE_TKV_Matroska = MakeGuid("88B43720-1D48-4785-9A75-2017E043DEB8");
// The rest of the subtypes the graph editor names.
inline constexpr GUID MEDIASUBTYPE_Line21_BytePair =
    MakeGuid("6E8D4A22-310C-11D0-B79A-00AA003767A7");
inline constexpr GUID MEDIASUBTYPE_Line21_GOPPacket =
    MakeGuid("6E8D4A23-310C-11D0-B79A-00AA003767A7");
inline constexpr GUID MEDIASUBTYPE_Line21_VBIRawData =
    MakeGuid("6E8D4A24-310C-11D0-B79A-00AA003767A7");
inline constexpr GUID MEDIASUBTYPE_DVD_SUBPICTURE =
    MakeGuid("E06D802D-DB46-11CF-B4D1-00805F6CBBEA");
inline constexpr GUID MEDIASUBTYPE_DVD_LPCM_AUDIO =
    MakeGuid("E06D8032-DB46-11CF-B4D1-00805F6CBBEA");
inline constexpr GUID MEDIASUBTYPE_DssAudio = MakeGuid("A0AF4F82-E163-11D0-BAD9-00609744111A");
inline constexpr GUID MEDIASUBTYPE_DssVideo = MakeGuid("A0AF4F81-E163-11D0-BAD9-00609744111A");
inline constexpr GUID MEDIASUBTYPE_YVU9 = MakeGuid("39555659-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_Y411 = MakeGuid("31313459-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_Y41P = MakeGuid("50313459-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_YVYU = MakeGuid("55595659-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_Y211 = MakeGuid("31313259-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_CLJR = MakeGuid("524A4C43-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_IF09 = MakeGuid("39304649-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_CPLA = MakeGuid("414C5043-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_TVMJ = MakeGuid("4A4D5654-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_WAKE = MakeGuid("454B4157-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_CFCC = MakeGuid("43434643-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_IJPG = MakeGuid("47504A49-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_Plum = MakeGuid("6D756C50-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_RGB1 = MakeGuid("E436EB78-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_RGB4 = MakeGuid("E436EB79-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_Overlay = MakeGuid("E436EB7F-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_QTRpza = MakeGuid("617A7072-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_QTSmc = MakeGuid("20636D73-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_QTRle = MakeGuid("20656C72-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_QTJpeg = MakeGuid("6765706A-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_dvsd = MakeGuid("64737664-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_dvhd = MakeGuid("64687664-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_dvsl = MakeGuid("6C737664-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_VPVideo = MakeGuid("5A9B6A40-1A22-11D1-BAD9-00609744111A");
inline constexpr GUID MEDIASUBTYPE_VPVBI = MakeGuid("5A9B6A41-1A22-11D1-BAD9-00609744111A");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_NTSC_M =
    MakeGuid("0482DDE2-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_PAL_B =
    MakeGuid("0482DDE5-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_PAL_D =
    MakeGuid("0482DDE6-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_PAL_G =
    MakeGuid("0482DDE7-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_PAL_H =
    MakeGuid("0482DDE8-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_PAL_I =
    MakeGuid("0482DDE9-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_PAL_M =
    MakeGuid("0482DDEA-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_PAL_N =
    MakeGuid("0482DDEB-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_SECAM_B =
    MakeGuid("0482DDF0-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_SECAM_D =
    MakeGuid("0482DDF1-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_SECAM_G =
    MakeGuid("0482DDF2-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_SECAM_H =
    MakeGuid("0482DDF3-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_SECAM_K =
    MakeGuid("0482DDF4-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_SECAM_K1 =
    MakeGuid("0482DDF5-7817-11CF-8A03-00AA006ECB65");
inline constexpr GUID MEDIASUBTYPE_AnalogVideo_SECAM_L =
    MakeGuid("0482DDF6-7817-11CF-8A03-00AA006ECB65");

// ---- format types ----------------------------------------------------------------------
inline constexpr GUID FORMAT_None = MakeGuid("0F6417D6-C318-11D0-A43F-00A0C9223196");
inline constexpr GUID FORMAT_VideoInfo = MakeGuid("05589F80-C356-11CE-BF01-00AA0055595A");
inline constexpr GUID FORMAT_WaveFormatEx = MakeGuid("05589F81-C356-11CE-BF01-00AA0055595A");
inline constexpr GUID FORMAT_MPEGVideo = MakeGuid("05589F82-C356-11CE-BF01-00AA0055595A");
inline constexpr GUID FORMAT_MPEGStreams = MakeGuid("05589F83-C356-11CE-BF01-00AA0055595A");
inline constexpr GUID FORMAT_DvInfo = MakeGuid("05589F84-C356-11CE-BF01-00AA0055595A");
inline constexpr GUID FORMAT_VideoInfo2 = MakeGuid("F72A76A0-EB0A-11D0-ACE4-0000C0CC16BA");
inline constexpr GUID FORMAT_MPEG2Video = MakeGuid("E06D80E3-DB46-11CF-B4D1-00805F6CBBEA");

// ---- time formats (IMediaSeeking) --------------------------------------------------------
inline constexpr const GUID& TIME_FORMAT_NONE = GUID_NULL;
inline constexpr GUID TIME_FORMAT_FRAME = MakeGuid("7B785570-8C82-11CF-BC0C-00AA00AC74F6");
inline constexpr GUID TIME_FORMAT_BYTE = MakeGuid("7B785571-8C82-11CF-BC0C-00AA00AC74F6");
inline constexpr GUID TIME_FORMAT_SAMPLE = MakeGuid("7B785572-8C82-11CF-BC0C-00AA00AC74F6");
inline constexpr GUID TIME_FORMAT_FIELD = MakeGuid("7B785573-8C82-11CF-BC0C-00AA00AC74F6");
inline constexpr GUID TIME_FORMAT_MEDIA_TIME = MakeGuid("7B785574-8C82-11CF-BC0C-00AA00AC74F6");

// ---- classes -----------------------------------------------------------------------------
inline constexpr GUID CLSID_SystemClock = MakeGuid("E436EBB1-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID CLSID_FilterMapper = MakeGuid("E436EBB2-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID CLSID_FilterGraph = MakeGuid("E436EBB3-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID CLSID_FilterGraphNoThread = MakeGuid("E436EBB8-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID CLSID_FilterMapper2 = MakeGuid("CDA42200-BD88-11D0-BD4E-00A0C911CE86");
inline constexpr GUID CLSID_MemoryAllocator = MakeGuid("1E651CC0-B199-11D0-8212-00C04FC32C45");
inline constexpr GUID CLSID_AsyncReader = MakeGuid("E436EBB5-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID CLSID_URLReader = MakeGuid("E436EBB6-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID CLSID_WAVEParser = MakeGuid("D51BD5A1-7548-11CF-A520-0080C77EF58A");
inline constexpr GUID CLSID_NullRenderer = MakeGuid("C1F400A4-3F08-11D3-9F0B-006008039E37");
inline constexpr GUID CLSID_DSoundRender = MakeGuid("79376820-07D0-11CF-A24D-0020AFD79767");
inline constexpr GUID CLSID_AudioRender = MakeGuid("E30629D1-27E5-11CE-875D-00608CB78066");
inline constexpr GUID CLSID_VideoRenderer = MakeGuid("70E102B0-5556-11CE-97C0-00AA0055595A");
inline constexpr GUID CLSID_VideoRendererDefault = MakeGuid("6BC1CFFA-8FC1-4261-AC22-CFB4CC38DB50");
inline constexpr GUID CLSID_VideoMixingRenderer = MakeGuid("B87BEB7B-8D29-423F-AE4D-6582C10175AC");
inline constexpr GUID CLSID_AviSplitter = MakeGuid("1B544C20-FD0B-11CE-8C63-00AA0044B51E");
inline constexpr GUID CLSID_MPEG1Splitter = MakeGuid("336475D0-942A-11CE-A870-00AA002FEAB5");
inline constexpr GUID CLSID_MPEG2Demultiplexer = MakeGuid("AFB6C280-2C41-11D3-8A60-0000F81E0E4A");
inline constexpr GUID CLSID_CMpegVideoCodec = MakeGuid("FEB50740-7BEF-11CE-9BD9-0000E202599C");
inline constexpr GUID CLSID_CMpegAudioCodec = MakeGuid("4A2286E0-7BEF-11CE-9BD9-0000E202599C");
inline constexpr GUID CLSID_AVIDec = MakeGuid("CF49D4E0-1115-11CE-B03A-0020AF0BA770");
inline constexpr GUID CLSID_ACMWrapper = MakeGuid("6A08CF80-0E18-11CF-A24D-0020AFD79767");
inline constexpr GUID CLSID_Colour = MakeGuid("1643E180-90F5-11CE-97D5-00AA0055595A");
inline constexpr GUID CLSID_InfTee = MakeGuid("F8388A40-D5BB-11D0-BE5A-0080C706568E");
inline constexpr GUID CLSID_SmartTee = MakeGuid("CC58E280-8AA1-11D1-B3F1-00AA003761C5");
inline constexpr GUID CLSID_FileWriter = MakeGuid("8596E5F0-0DA5-11D0-BD21-00A0C911CE86");
inline constexpr GUID CLSID_AviDest = MakeGuid("E2510970-F137-11CE-8B67-00AA00A3F1A6");
inline constexpr GUID CLSID_SystemDeviceEnum = MakeGuid("62BE5D10-60EB-11D0-BD3B-00A0C911CE86");
inline constexpr GUID CLSID_CDeviceMoniker = MakeGuid("4315D437-5B8C-11D0-BD3B-00A0C911CE86");
inline constexpr GUID CLSID_MediaDet = MakeGuid("65BD0711-24D2-4FF7-9324-ED2E5D3ABAFA");
inline constexpr GUID CLSID_DMOWrapperFilter = MakeGuid("94297043-BD82-4DFD-B0DE-8177739C6D20");
inline constexpr GUID CLSID_AudioProperties = MakeGuid("05589FAF-C356-11CE-BF01-00AA0055595A");

// ---- filter categories (the catalogue's registry keys are named after them) --------------
inline constexpr GUID CLSID_ActiveMovieCategories =
    MakeGuid("DA4E3DA0-D07D-11D0-BD50-00A0C911CE86");
inline constexpr GUID CLSID_LegacyAmFilterCategory =
    MakeGuid("083863F1-70DE-11D0-BD40-00A0C911CE86");
inline constexpr GUID CLSID_AudioRendererCategory =
    MakeGuid("E0F158E1-CB04-11D0-BD4E-00A0C911CE86");
inline constexpr GUID CLSID_VideoInputDeviceCategory =
    MakeGuid("860BB310-5D01-11D0-BD3B-00A0C911CE86");
inline constexpr GUID CLSID_VideoCompressorCategory =
    MakeGuid("33D9A760-90C8-11D0-BD43-00A0C911CE86");
inline constexpr GUID CLSID_AudioCompressorCategory =
    MakeGuid("33D9A761-90C8-11D0-BD43-00A0C911CE86");
inline constexpr GUID CLSID_AudioInputDeviceCategory =
    MakeGuid("33D9A762-90C8-11D0-BD43-00A0C911CE86");
inline constexpr GUID CLSID_MidiRendererCategory = MakeGuid("4EFE2452-168A-11D1-BC76-00C04FB9453B");

// ---- DMO categories ----------------------------------------------------------------------
inline constexpr GUID DMOCATEGORY_AUDIO_DECODER = MakeGuid("57F2DB8B-E6BB-4513-9D43-DCD2A6593125");
inline constexpr GUID DMOCATEGORY_AUDIO_EFFECT = MakeGuid("F3602B3F-0592-48DF-A4CD-674721E7EBEB");
inline constexpr GUID DMOCATEGORY_AUDIO_ENCODER = MakeGuid("33D9A761-90C8-11D0-BD43-00A0C911CE86");
inline constexpr GUID DMOCATEGORY_VIDEO_DECODER = MakeGuid("4A69B442-28BE-4991-969C-B500ADF5D8A8");
inline constexpr GUID DMOCATEGORY_VIDEO_EFFECT = MakeGuid("D990EE14-776C-4723-BE46-3DA2F56F10B9");
inline constexpr GUID DMOCATEGORY_VIDEO_ENCODER = MakeGuid("33D9A760-90C8-11D0-BD43-00A0C911CE86");
inline constexpr GUID DMOCATEGORY_AUDIO_CAPTURE_EFFECT =
    MakeGuid("F665AABA-3E09-4920-AA5F-219811148F09");
