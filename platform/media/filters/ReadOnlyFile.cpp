#include "platform/media/filters/ReadOnlyFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ReadOnlyFile::~ReadOnlyFile() {
    Close();
}

bool ReadOnlyFile::Open(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_size = static_cast<int64_t>(info.st_size);
    return true;
}

void ReadOnlyFile::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

int64_t ReadOnlyFile::ReadAt(int64_t position, uint8_t* buffer, int64_t length) const {
    if (m_fd < 0 || position < 0 || length < 0 || (length > 0 && !buffer)) return -1;
    int64_t done = 0;
    while (done < length) {
        const ssize_t got = ::pread(m_fd, buffer + done, static_cast<size_t>(length - done),
                                    static_cast<off_t>(position + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;  // end of file
        done += got;
    }
    return done;
}
