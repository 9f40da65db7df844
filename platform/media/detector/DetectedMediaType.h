// The media type the media detector reports for a probed stream: the type its pin gives once
// decoded. Video is uncompressed RGB32 (MEDIATYPE_Video, FORMAT_VideoInfo with a
// VIDEOINFOHEADER whose AvgTimePerFrame comes from the frame rate: 400,000 at 25 frames a
// second, 0 when the rate is unknown); audio is 16-bit PCM (MEDIATYPE_Audio,
// FORMAT_WaveFormatEx).
// Threading: pure functions.
#pragma once

#include "platform/com/ComErrors.h"
#include "platform/media/detector/MovieProbe.h"
#include "platform/media/strmif.h"

// Fills `type`, whose own format block must be free; the new block is task memory.
// E_OUTOFMEMORY (type left without a block) when it cannot be had.
HRESULT FillDetectedMediaType(const ProbedStream& stream, AM_MEDIA_TYPE* type);

// 100 ns per frame, rounded; 0 for an unknown rate.
REFERENCE_TIME AverageTimePerFrame(const ProbedStream& stream);
