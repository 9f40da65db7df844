// SinkFile: the file a sink filter writes into. Create makes the file, or empties one that
// exists; each write goes either to a byte position of its own or just past the previous
// write, so a stream of appended blocks and a multiplexer's positioned blocks both land where
// they belong. Nothing is buffered here: a write is in the file when it returns.
// Failures come back as Win32 error codes (ERROR_DISK_FULL, ERROR_ACCESS_DENIED, ...), for the
// filter to hand on as HRESULTs.
// Order of use: Create, WriteAt / Append any number of times, Close (or destroy).
// Threading: one thread at a time; the owner serialises the calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/WinTypes.h"

class SinkFile {
public:
    SinkFile() = default;
    ~SinkFile();
    SinkFile(const SinkFile&) = delete;
    SinkFile& operator=(const SinkFile&) = delete;

    // Closes any file still open first. ERROR_SUCCESS or why the file cannot be written.
    LONG Create(const std::string& path);
    // `length` bytes at byte `position` of the file (a gap before it reads as zeros).
    LONG WriteAt(int64_t position, const uint8_t* data, size_t length);
    // `length` bytes just past the previous write (at 0 for the first).
    LONG Append(const uint8_t* data, size_t length);
    // ERROR_SUCCESS when no file was open or it closed cleanly.
    LONG Close();

    bool IsOpen() const { return m_fd >= 0; }
    // Just past the previous write: where Append goes next.
    int64_t NextPosition() const { return m_next; }

private:
    int m_fd = -1;
    int64_t m_next = 0;
};
