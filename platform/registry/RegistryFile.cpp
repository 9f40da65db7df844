#include "platform/registry/RegistryFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <utility>

#include "platform/registry/RegistryTextFormat.h"
#include "platform/registry/Win32Errors.h"

namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

LONG ErrorFromErrno(int err, LONG otherwise) {
    switch (err) {
        case EACCES:
        case EPERM:
        case EROFS:
            return ERROR_ACCESS_DENIED;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        default:
            return otherwise;
    }
}

bool ReadAll(int fd, std::string* text) {
    char buffer[64 * 1024];
    while (true) {
        const ssize_t got = ::read(fd, buffer, sizeof(buffer));
        if (got == 0) return true;
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        text->append(buffer, static_cast<size_t>(got));
    }
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

std::string BackupPath(const std::string& path) {
    char stamp[32] = "unknown";
    const std::time_t now = std::time(nullptr);
    struct tm local {};
    if (localtime_r(&now, &local)) std::strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", &local);
    std::string backup = path + ".damaged-" + stamp;
    std::error_code ignored;
    for (int n = 2; std::filesystem::exists(backup, ignored); ++n) {
        backup = path + ".damaged-" + stamp + "-" + std::to_string(n);
    }
    return backup;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void Unlock(int lock_fd) {
    if (lock_fd >= 0) ::close(lock_fd);  // closing the only descriptor releases the flock
}

}  // namespace

RegistryFile::RegistryFile(std::string folder, const std::string& name)
    : m_folder(std::move(folder)),
      m_name(name),
      m_path(m_folder + "/" + name + ".reg"),
      m_lock_path(m_folder + "/" + name + ".lock") {}

RegistryFile::~RegistryFile() {
    Forget();
}

void RegistryFile::Forget() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_stat = {};
    m_damaged = false;
}

const RegistryKey& RegistryFile::Current() {
    if (Refresh(false) != ERROR_SUCCESS) {
        Forget();
        m_root = RegistryKey();
    }
    return m_root;
}

LONG RegistryFile::Refresh(bool locked) {
    // A file found damaged is set aside and looked at again: by then it may be gone, or
    // another process may have written a good one.
    for (int attempt = 0; attempt < 3; ++attempt) {
        bool retry = false;
        const LONG result = Load(locked, &retry);
        if (!retry) return result;
    }
    return ERROR_REGISTRY_IO_FAILED;
}

LONG RegistryFile::Load(bool locked, bool* retry) {
    struct stat now {};
    if (::stat(m_path.c_str(), &now) != 0) {
        if (errno != ENOENT) return ErrorFromErrno(errno, ERROR_CANTREAD);
        Forget();
        m_root = RegistryKey();
        return ERROR_SUCCESS;
    }
    if (m_fd >= 0 && SameFile(now, m_stat)) return ERROR_SUCCESS;
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *retry = errno == ENOENT;  // replaced or set aside since the stat
        return ErrorFromErrno(errno, ERROR_CANTREAD);
    }
    std::string text;
    if (::fstat(fd, &now) != 0 || !ReadAll(fd, &text)) {
        const int err = errno;
        ::close(fd);
        return ErrorFromErrno(err, ERROR_CANTREAD);
    }
    RegistryKey root;
    std::string problem;
    if (!ParseRegistry(text, &root, &problem)) {
        SetAside(fd, problem, locked);
        *retry = !m_damaged;
        if (m_damaged) m_stat = now;
        return ERROR_SUCCESS;
    }
    Forget();
    m_fd = fd;
    m_stat = now;
    m_root = std::move(root);
    return ERROR_SUCCESS;
}

// Called with `fd` open on the damaged file; takes it over.
void RegistryFile::SetAside(int fd, const std::string& problem, bool locked) {
    const int lock_fd = locked ? -1 : Lock();
    struct stat damaged {};
    struct stat now {};
    ::fstat(fd, &damaged);
    Forget();
    m_root = RegistryKey();
    const bool still_there = ::stat(m_path.c_str(), &now) == 0 && now.st_dev == damaged.st_dev &&
                             now.st_ino == damaged.st_ino;
    if (still_there) {
        const std::string backup = BackupPath(m_path);
        if (std::rename(m_path.c_str(), backup.c_str()) == 0) {
            std::fprintf(stderr,
                         "tkv: registry store %s is damaged (%s); kept as %s, starting empty\n",
                         m_path.c_str(), problem.c_str(), backup.c_str());
            ::close(fd);
        } else {
            std::fprintf(stderr, "tkv: registry store %s is damaged (%s) and cannot be set aside\n",
                         m_path.c_str(), problem.c_str());
            m_fd = fd;  // remembered so that it is not reported again
            m_damaged = true;
        }
    } else {
        ::close(fd);
    }
    Unlock(lock_fd);
}

int RegistryFile::Lock() {
    const int fd = ::open(m_lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(fd);
            return -1;
        }
    }
    return fd;
}

LONG RegistryFile::Update(const Change& change) {
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    if (error) return ErrorFromErrno(error.value(), ERROR_CANTWRITE);
    // A fresh descriptor for every change: flock belongs to the open file, which a forked
    // child would otherwise share with its parent.
    const int lock_fd = Lock();
    if (lock_fd < 0) return ErrorFromErrno(errno, ERROR_CANTWRITE);
    LONG result = Refresh(true);
    if (result == ERROR_SUCCESS && m_damaged) result = ERROR_REGISTRY_CORRUPT;
    if (result == ERROR_SUCCESS) {
        RegistryKey root = m_root;
        bool modified = false;
        result = change(root, &modified);
        if (result == ERROR_SUCCESS && modified) result = Commit(std::move(root));
    }
    Unlock(lock_fd);
    return result;
}

LONG RegistryFile::Commit(RegistryKey root) {
    const std::string text = SerializeRegistry(root, m_name);
    std::string temp = m_path + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return ErrorFromErrno(errno, ERROR_CANTWRITE);
    struct stat written {};
    const bool ok = WriteAll(fd, text) && ::fsync(fd) == 0 && ::fstat(fd, &written) == 0 &&
                    std::rename(temp.c_str(), m_path.c_str()) == 0;
    if (!ok) {
        const int err = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return ErrorFromErrno(err, ERROR_CANTWRITE);
    }
    SyncFolder(m_folder);
    Forget();
    m_fd = fd;
    m_stat = written;
    m_root = std::move(root);
    return ERROR_SUCCESS;
}
