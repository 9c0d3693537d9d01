// Binary and text files named by Windows-style paths (see paths.h), in place
// of the C runtime's stream calls the module was written against.
//
// FileSize stands in for reading a file's status. File wraps one open file:
// Open takes the C runtime's mode letters ("rb", "r", "wbc", ...); 'c' (the
// commit-on-flush flag) makes Flush also push the data to the disk (fsync).
// Read is the block read ("read count records at once") and the sequential
// read ("record by record"); ReadLine is the line read of a text file (up to
// size - 1 characters, the line break kept, NUL-terminated). Nothing here
// throws; every call on a file that is not open fails quietly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace zu::platform {

// Size in bytes of the file, or -1 when its status cannot be read.
int64_t FileSize(std::string_view windows_path);

// A file written whole goes first to "PATH.tmpPID" or "PATH.tmpPID-N"
// beside it (PID the writing process) and is then renamed over PATH. A
// process killed between the two leaves its temporary file behind: this
// removes those of the host path `host_path` whose process no longer runs
// (a running process's, this one's included, are left alone).
void RemoveStaleTemporaries(const std::string& host_path);

class File {
  public:
    File() = default;
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens the file; false (and nothing open) when it cannot be opened.
    // A file already open is closed first.
    bool Open(std::string_view windows_path, const char* mode);
    bool IsOpen() const { return stream_ != nullptr; }
    void Close();
    // Size in bytes of the open file (its status), or -1.
    int64_t Size() const;

    // Reads up to `size` bytes; returns the count read.
    size_t Read(void* data, size_t size);
    // Writes `size` bytes; returns the count written.
    size_t Write(const void* data, size_t size);
    // Pushes buffered data to the file, and to the disk for a "c" mode.
    bool Flush();
    // Reads one line (see above); false at the end of the file.
    bool ReadLine(char* line, int size);
    // Back to the start of the file.
    void Rewind();

  private:
    std::FILE* stream_ = nullptr;
    bool commit_ = false;
};

}  // namespace zu::platform
