#include "platform/media/filters/StreamSubtype.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/media/uuids.h"

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
    if (extension == "wav") return MEDIASUBTYPE_WAVE;
    if (extension == "avi") return MEDIASUBTYPE_Avi;
    if (extension == "mpg" || extension == "mpeg" || extension == "mpe") {
        return MEDIASUBTYPE_MPEG1System;
    }
    return GUID_NULL;
}

GUID StreamSubtype::FromContent(const uint8_t* head, size_t size) {
    if (!head) return GUID_NULL;
    if (size >= 12 && std::memcmp(head, "RIFF", 4) == 0) {
        if (std::memcmp(head + 8, "WAVE", 4) == 0) return MEDIASUBTYPE_WAVE;
        if (std::memcmp(head + 8, "AVI ", 4) == 0) return MEDIASUBTYPE_Avi;
    }
    static const uint8_t kPackStart[] = {0x00, 0x00, 0x01, 0xBA};
    if (size >= 4 && std::memcmp(head, kPackStart, 4) == 0) return MEDIASUBTYPE_MPEG1System;
    return GUID_NULL;
}
