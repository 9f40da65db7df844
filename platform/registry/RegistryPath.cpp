#include "platform/registry/RegistryPath.h"

#include "platform/registry/Win32Errors.h"

LONG AppendRegistryPath(std::string_view text, std::vector<std::string>* parts) {
    if (!text.empty() && text.back() == '\\') text.remove_suffix(1);
    if (text.empty()) return ERROR_SUCCESS;
    std::vector<std::string> added;
    size_t start = 0;
    while (true) {
        const size_t end = text.find('\\', start);
        const std::string_view part =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        if (part.empty()) return ERROR_BAD_PATHNAME;
        if (part.size() > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
        added.emplace_back(part);
        if (parts->size() + added.size() > kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    parts->insert(parts->end(), added.begin(), added.end());
    return ERROR_SUCCESS;
}

std::string JoinRegistryPath(const std::vector<std::string>& parts) {
    std::string joined;
    for (const std::string& part : parts) {
        if (!joined.empty()) joined += '\\';
        joined += part;
    }
    return joined;
}
