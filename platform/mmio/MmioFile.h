// A buffered file behind an HMMIO handle: 64-bit positions, explicit error results.
// Used by the mmio* functions only; one thread at a time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class MmioFile {
public:
    enum class Mode { Read, Write, ReadWrite, Create, CreateReadWrite };

    // Returns null and sets errno-derived `error` (an MMIOERR code) on failure.
    static std::unique_ptr<MmioFile> Open(const std::string& path, Mode mode, unsigned* error);
    ~MmioFile();
    MmioFile(const MmioFile&) = delete;
    MmioFile& operator=(const MmioFile&) = delete;

    int64_t Read(void* dst, int64_t count);         // bytes read, 0 at the end, -1 on error
    int64_t Write(const void* src, int64_t count);  // bytes written, -1 on error
    int64_t Seek(int64_t offset, int origin);       // new position, -1 on error
    int64_t Position() const { return m_position; }
    bool Close();  // false when buffered data could not be written

private:
    enum class LastOp { None, Read, Write, Seek };

    explicit MmioFile(std::FILE* file);
    bool SyncStream(LastOp op);

    std::FILE* m_file;
    int64_t m_position = 0;         // where the caller is
    int64_t m_stream_position = 0;  // where the C stream is
    LastOp m_last_op = LastOp::None;
    bool m_write_failed = false;
};
