#include "platform/media/filters/SinkFile.h"

#include <cerrno>
#include <limits>

#include <fcntl.h>
#include <unistd.h>

#include "platform/registry/Win32Errors.h"

namespace {

// The Win32 code a Windows caller would see for the same failure.
LONG ErrorFromErrno(int error) {
    switch (error) {
        case ENOSPC:
        case EFBIG:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case ENOENT:
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        default:
            return ERROR_WRITE_FAULT;
    }
}

}  // namespace

SinkFile::~SinkFile() {
    Close();
}

LONG SinkFile::Create(const std::string& path) {
    Close();
    if (path.empty()) return ERROR_PATH_NOT_FOUND;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return ErrorFromErrno(errno);
    m_fd = fd;
    m_next = 0;
    return ERROR_SUCCESS;
}

LONG SinkFile::WriteAt(int64_t position, const uint8_t* data, size_t length) {
    if (m_fd < 0) return ERROR_INVALID_HANDLE;
    if (position < 0 || (length > 0 && !data)) return ERROR_INVALID_PARAMETER;
    if (static_cast<uint64_t>(position) >
        static_cast<uint64_t>(std::numeric_limits<off_t>::max()) - length) {
        return ERROR_DISK_FULL;
    }
    size_t done = 0;
    while (done < length) {
        const ssize_t put = ::pwrite(m_fd, data + done, length - done,
                                     static_cast<off_t>(position + static_cast<int64_t>(done)));
        if (put < 0) {
            if (errno == EINTR) continue;
            return ErrorFromErrno(errno);
        }
        if (put == 0) return ERROR_WRITE_FAULT;  // no progress: never loop on it
        done += static_cast<size_t>(put);
    }
    m_next = position + static_cast<int64_t>(length);
    return ERROR_SUCCESS;
}

LONG SinkFile::Append(const uint8_t* data, size_t length) {
    return WriteAt(m_next, data, length);
}

LONG SinkFile::Close() {
    if (m_fd < 0) return ERROR_SUCCESS;
    const int fd = m_fd;
    m_fd = -1;
    m_next = 0;
    // A file system that writes late (NFS) reports its failure here; a retry after EINTR
    // could close a descriptor another thread has just been given.
    return ::close(fd) == 0 || errno == EINTR ? ERROR_SUCCESS : ErrorFromErrno(errno);
}
