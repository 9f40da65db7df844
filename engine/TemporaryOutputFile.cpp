#include "engine/TemporaryOutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Read rather than set-and-restore: umask() would race with other threads creating files.
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "Umask:") {
            std::string octal;
            status >> octal;
            return static_cast<mode_t>(std::strtoul(octal.c_str(), nullptr, 8));
        }
        status.ignore(1 << 16, '\n');
    }
    return 022;
}

// The file a path names once its symbolic links are followed (the last one may dangle: the
// file it names is made). Gives up after as many links as the system follows.
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string link(static_cast<size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length <= 0 || static_cast<size_t>(length) >= link.size()) return path;
        link.resize(static_cast<size_t>(length));
        if (link.front() != '/') {
            const size_t slash = path.rfind('/');
            if (slash != std::string::npos) link = path.substr(0, slash + 1) + link;
        }
        path = std::move(link);
    }
    return path;
}

// Whether an existing file at `path` may be replaced: the user may write it and it is not
// read-only (which the administrator's access check alone would not tell).
bool MayReplace(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return true;  // nothing there yet
    return ::access(path.c_str(), W_OK) == 0 && (info.st_mode & 0222) != 0;
}

}  // namespace

TemporaryOutputFile::TemporaryOutputFile(std::string target)
    : m_target(FollowLinks(std::move(target))) {}

TemporaryOutputFile::~TemporaryOutputFile() {
    if (!m_path.empty()) ::unlink(m_path.c_str());
}

bool TemporaryOutputFile::Reserve() {
    if (!MayReplace(m_target)) {
        m_error = EACCES;
        return false;
    }
    std::string pattern = m_target + ".tmp-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        m_error = errno;
        return false;
    }
    ::close(fd);
    m_path = pattern;
    return true;
}

bool TemporaryOutputFile::Commit() {
    if (m_path.empty()) return false;
    // mkstemp makes the file private; an exported WAV is an ordinary file.
    if (::chmod(m_path.c_str(), 0666 & ~CurrentUmask()) != 0 ||
        std::rename(m_path.c_str(), m_target.c_str()) != 0) {
        m_error = errno;
        return false;
    }
    m_path.clear();
    return true;
}
