// ReadOnlyFile: a file opened for reading at any position, by several threads at once (each
// read names its own position, nothing is shared between reads).
// Order of use: Open, then Size / ReadAt from any thread, Close (or destroy) when no read runs.
// Threading: ReadAt from any thread; Open and Close from one thread while no read runs.
#pragma once

#include <cstdint>
#include <string>

class ReadOnlyFile {
public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // False when the path cannot be opened for reading or is not a regular file.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    int64_t Size() const { return m_size; }
    // Bytes read: fewer than asked at the end of the file, -1 on an error.
    int64_t ReadAt(int64_t position, uint8_t* buffer, int64_t length) const;

private:
    int m_fd = -1;
    int64_t m_size = 0;
};
