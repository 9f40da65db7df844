#include "platform/media/filters/StreamSubtype.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "platform/media/uuids.h"

namespace {

// One test of a byte pattern: `bytes` stand at `offset`.
struct BytesAt {
    size_t offset;
    std::string_view bytes;
};

// A subtype and the tests that must all pass, first match wins; the most specific come first.
struct BytePattern {
    const GUID* subtype;
    BytesAt tests[3];
};

using namespace std::string_view_literals;

// Unused test slots have empty bytes. A transport stream shows its sync byte every 188 bytes;
// an ISO media file opens with an "ftyp" box whose brand "qt  " marks QuickTime; older
// QuickTime files open straight with their movie or data atom.
const BytePattern kPatterns[] = {
    {&MEDIASUBTYPE_WAVE, {{0, "RIFF"sv}, {8, "WAVE"sv}, {}}},
    {&MEDIASUBTYPE_Avi, {{0, "RIFF"sv}, {8, "AVI "sv}, {}}},
    {&MEDIASUBTYPE_MPEG1System, {{0, "\x00\x00\x01\xBA"sv}, {}, {}}},
    {&MEDIASUBTYPE_TKV_Matroska, {{0, "\x1A\x45\xDF\xA3"sv}, {}, {}}},
    {&MEDIASUBTYPE_QTMovie, {{4, "ftyp"sv}, {8, "qt  "sv}, {}}},
    {&MEDIASUBTYPE_TKV_MP4, {{4, "ftyp"sv}, {}, {}}},
    {&MEDIASUBTYPE_QTMovie, {{4, "moov"sv}, {}, {}}},
    {&MEDIASUBTYPE_QTMovie, {{4, "mdat"sv}, {}, {}}},
    {&MEDIASUBTYPE_QTMovie, {{4, "wide"sv}, {}, {}}},
    {&MEDIASUBTYPE_MPEG2_TRANSPORT, {{0, "\x47"sv}, {188, "\x47"sv}, {376, "\x47"sv}}},
};

bool Passes(const BytesAt& test, const uint8_t* head, size_t size) {
    if (test.bytes.empty()) return true;
    return test.offset + test.bytes.size() <= size &&
           std::memcmp(head + test.offset, test.bytes.data(), test.bytes.size()) == 0;
}

struct Extension {
    const char* name;
    const GUID* subtype;
};

const Extension kExtensions[] = {
    {"wav", &MEDIASUBTYPE_WAVE},
    {"avi", &MEDIASUBTYPE_Avi},
    {"mpg", &MEDIASUBTYPE_MPEG1System},
    {"mpeg", &MEDIASUBTYPE_MPEG1System},
    {"mpe", &MEDIASUBTYPE_MPEG1System},
    {"mov", &MEDIASUBTYPE_QTMovie},
    {"qt", &MEDIASUBTYPE_QTMovie},
    {"mp4", &MEDIASUBTYPE_TKV_MP4},
    {"m4v", &MEDIASUBTYPE_TKV_MP4},
    {"mkv", &MEDIASUBTYPE_TKV_Matroska},
    {"webm", &MEDIASUBTYPE_TKV_Matroska},
    {"ts", &MEDIASUBTYPE_MPEG2_TRANSPORT},
    {"m2ts", &MEDIASUBTYPE_MPEG2_TRANSPORT},
    {"mts", &MEDIASUBTYPE_MPEG2_TRANSPORT},
};

}  // namespace

GUID StreamSubtype::For(const std::string& path, const uint8_t* head, size_t size) {
    const GUID by_name = FromExtension(path);
    if (by_name != GUID_NULL) return by_name;
    return FromContent(head, size);
}

GUID StreamSubtype::FromExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return GUID_NULL;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const Extension& known : kExtensions) {
        if (extension == known.name) return *known.subtype;
    }
    return GUID_NULL;
}

GUID StreamSubtype::FromContent(const uint8_t* head, size_t size) {
    if (!head) return GUID_NULL;
    for (const BytePattern& pattern : kPatterns) {
        if (std::all_of(std::begin(pattern.tests), std::end(pattern.tests),
                        [&](const BytesAt& test) { return Passes(test, head, size); })) {
            return *pattern.subtype;
        }
    }
    return GUID_NULL;
}
