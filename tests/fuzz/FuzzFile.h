// FuzzFile: a fuzzer's input as a file the code under test opens by path, kept in memory
// (memfd) so runs leave nothing on disk and cost no disk writes.
// Order of use: construct with the bytes, pass Path() to the reader, destroy.
// Threading: one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class FuzzFile {
public:
    FuzzFile(const uint8_t* data, size_t size);
    ~FuzzFile();
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    // Empty when the file could not be made (the run then tests nothing and says so).
    const std::string& Path() const { return m_path; }

private:
    int m_fd = -1;
    std::string m_path;
};
