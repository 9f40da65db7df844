#include "tests/fuzz/FuzzFile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

FuzzFile::FuzzFile(const uint8_t* data, size_t size) {
    m_fd = memfd_create("tkv-fuzz", MFD_CLOEXEC);
    if (m_fd < 0) {
        std::perror("memfd_create");
        std::abort();  // a harness without its input would report false success
    }
    size_t written = 0;
    while (written < size) {
        const ssize_t n = write(m_fd, data + written, size - written);
        if (n <= 0) {
            std::perror("write");
            std::abort();
        }
        written += static_cast<size_t>(n);
    }
    m_path = "/proc/self/fd/" + std::to_string(m_fd);
}

FuzzFile::~FuzzFile() {
    if (m_fd >= 0) close(m_fd);
}
