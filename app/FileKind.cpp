#include "app/FileKind.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// A project's first lines are paths and numbers; a kilobyte is enough to tell.
constexpr size_t kProbeBytes = 1024;

bool LooksLikeText(const unsigned char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const unsigned char c = bytes[i];
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
        if (c == 0x7F) return false;
    }
    return true;
}

}  // namespace

FileKind IdentifyFile(const std::string& path, int* error) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
        if (error) *error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        return FileKind::Unreadable;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        if (error) *error = errno;
        return FileKind::Unreadable;
    }
    unsigned char bytes[kProbeBytes];
    const size_t count = std::fread(bytes, 1, sizeof bytes, file.get());
    if (std::ferror(file.get())) {
        if (error) *error = EIO;
        return FileKind::Unreadable;
    }
    if (count >= 12 && std::memcmp(bytes, "RIFF", 4) == 0 &&
        std::memcmp(bytes + 8, "WAVE", 4) == 0) {
        return FileKind::Wave;
    }
    return LooksLikeText(bytes, count) ? FileKind::Project : FileKind::Movie;
}
