// Printable names of media types for the graph editor: the short name of a major type, a
// subtype and a format type (constant texts, "Unknown" for any identifier outside the tables;
// identifiers compare as whole 16-byte values), and the one-line description of a connection
// media type that a PinItem shows ("Audio PCM WaveFormatEx 2 ch 44100 hz 16 bits").
// Threading: any thread.
#pragma once

#include <string>

#include "platform/media/strmif.h"

const char* MajorTypeName(GUID majorType);
const char* SubtypeName(GUID subtype);
const char* FormatTypeName(GUID formatType);
// The three names separated by one space; when the format type is FORMAT_WaveFormatEx and the
// format block holds at least the 16 bytes up to wBitsPerSample, followed by
// " %d ch %ld hz %d bits" (a shorter or absent block keeps the three-name form).
std::string DescribeMediaType(const AM_MEDIA_TYPE& type);
