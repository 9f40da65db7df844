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

}  // namespace

TemporaryOutputFile::TemporaryOutputFile(std::string target) : m_target(std::move(target)) {}

TemporaryOutputFile::~TemporaryOutputFile() {
    if (!m_path.empty()) ::unlink(m_path.c_str());
}

bool TemporaryOutputFile::Reserve() {
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
