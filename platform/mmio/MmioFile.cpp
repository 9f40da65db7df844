#include "platform/mmio/MmioFile.h"

#include <cerrno>

#include "platform/mmio/mmio.h"

namespace {

const char* ModeString(MmioFile::Mode mode) {
    switch (mode) {
        case MmioFile::Mode::Read:
            return "rb";
        case MmioFile::Mode::Write:
        case MmioFile::Mode::ReadWrite:
            return "r+b";
        case MmioFile::Mode::Create:
            return "wb";
        case MmioFile::Mode::CreateReadWrite:
            return "w+b";
    }
    return "rb";
}

unsigned OpenErrorFromErrno(int err) {
    switch (err) {
        case ENOENT:
            return MMIOERR_FILENOTFOUND;
        case ENOTDIR:
            return MMIOERR_PATHNOTFOUND;
        case EACCES:
        case EPERM:
        case EROFS:
            return MMIOERR_ACCESSDENIED;
        case ENOMEM:
            return MMIOERR_OUTOFMEMORY;
        default:
            return MMIOERR_CANNOTOPEN;
    }
}

constexpr size_t kBufferSize = 64 * 1024;

}  // namespace

std::unique_ptr<MmioFile> MmioFile::Open(const std::string& path, Mode mode, unsigned* error) {
    std::FILE* file = std::fopen(path.c_str(), ModeString(mode));
    if (!file) {
        if (error) *error = OpenErrorFromErrno(errno);
        return nullptr;
    }
    std::setvbuf(file, nullptr, _IOFBF, kBufferSize);
    if (error) *error = MMSYSERR_NOERROR;
    return std::unique_ptr<MmioFile>(new MmioFile(file));
}

MmioFile::MmioFile(std::FILE* file) : m_file(file) {}

MmioFile::~MmioFile() {
    Close();
}

int64_t MmioFile::Read(void* dst, int64_t count) {
    if (!m_file || count < 0) return -1;
    if (!SyncStream(LastOp::Read)) return -1;
    size_t got = std::fread(dst, 1, static_cast<size_t>(count), m_file);
    m_position += static_cast<int64_t>(got);
    m_stream_position = m_position;
    if (got == 0 && std::ferror(m_file)) {
        std::clearerr(m_file);
        return -1;
    }
    return static_cast<int64_t>(got);
}

int64_t MmioFile::Write(const void* src, int64_t count) {
    if (!m_file || count < 0) return -1;
    if (!SyncStream(LastOp::Write)) return -1;
    size_t put = std::fwrite(src, 1, static_cast<size_t>(count), m_file);
    m_position += static_cast<int64_t>(put);
    m_stream_position = m_position;
    if (put != static_cast<size_t>(count)) {
        m_write_failed = true;
        return -1;
    }
    return static_cast<int64_t>(put);
}

int64_t MmioFile::Seek(int64_t offset, int origin) {
    if (!m_file) return -1;
    int64_t base = 0;
    if (origin == SEEK_CUR) {
        base = m_position;
    } else if (origin == SEEK_END) {
        if (::fseeko(m_file, 0, SEEK_END) != 0) return -1;
        base = ::ftello(m_file);
        m_stream_position = base;
        m_last_op = LastOp::Seek;
        if (base < 0) return -1;
    } else if (origin != SEEK_SET) {
        return -1;
    }
    int64_t target = base + offset;
    if (target < 0) return -1;
    m_position = target;
    return target;
}

// C streams need a positioning call between a write and a read; a call that is not needed
// would throw the read buffer away, so only make one when the direction or place changes.
bool MmioFile::SyncStream(LastOp op) {
    bool switching = m_last_op != op && m_last_op != LastOp::Seek;
    if (switching || m_stream_position != m_position || m_last_op == LastOp::Seek) {
        if (::fseeko(m_file, m_position, SEEK_SET) != 0) return false;
        m_stream_position = m_position;
    }
    m_last_op = op;
    return true;
}

bool MmioFile::Close() {
    if (!m_file) return true;
    bool flushed = std::fflush(m_file) == 0;
    bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return flushed && closed && !m_write_failed;
}
