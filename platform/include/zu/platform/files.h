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
//
// Nothing here ever waits on something that is not a regular file: a named
// pipe, a device or a folder at a file's path is refused when it is opened
// (and recorded as a load problem, load_problems.h, "not a regular file
// (a named pipe)"), so no read or write can block on it.
//
// A whole file is written with WriteWholeFile: the new contents go to a
// temporary file beside the target, which is renamed over it once complete.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace zu::platform {

// A host path opened without waiting on what it names (OpenHostFile).
struct OpenedFile {
    int fd = -1;    // the open descriptor (the caller closes it), or -1
    int error = 0;  // when fd is -1: the system's error number (ENOENT: nothing there), or 0
                    // when the path names something else than a regular file
    // When the path names something else than a regular file:
    // "not a regular file (a named pipe)", "(a folder)", "(a device)", ...;
    // else null.
    const char* not_regular = nullptr;
    explicit operator bool() const { return fd >= 0; }
};

// Opens a host path with open(2) `flags` (O_CLOEXEC added) such that it
// cannot block: it is opened non-blocking and its status checked, and
// anything but a regular file is closed again and refused. The descriptor
// returned is blocking again (for a regular file that changes nothing).
// Nothing is recorded here; the callers say what they met.
OpenedFile OpenHostFile(const std::string& host_path, int flags, mode_t mode = 0644);
// Records as a load problem of the file why OpenHostFile refused it: what
// it is when it is not a regular file, else (for an open to read) the
// system's reason, "cannot be read: ...". Nothing for a file that is not
// there, the callers' ordinary case.
void RecordRefusedOpen(const std::string& host_path, const OpenedFile& file, bool reading = true);

// Reads a whole regular file at a host path into `data` (emptied first),
// with OpenHostFile: what came of it, and on kFailed the system's error
// number in `error` (for kNotRegular `not_regular` says what it is).
struct HostFileRead {
    enum class Result { kRead, kMissing, kNotRegular, kFailed } result = Result::kMissing;
    int error = 0;
    const char* not_regular = nullptr;
};
HostFileRead ReadWholeHostFile(const std::string& host_path, std::string* data);

// How a whole-file write ended: `step` is null when the file was written,
// else the step that failed ("create", "write", "flush", "close" or
// "rename") with the system's error number.
struct WholeFileWrite {
    const char* step = nullptr;
    int error = 0;
    explicit operator bool() const { return step == nullptr; }
    // "create: Permission denied"; "" when written.
    std::string Describe() const;
};

// Writes `size` bytes as the new contents of the file at a host path: they
// go to a temporary file beside it ("PATH.tmpPID-N", created afresh), which
// is renamed over the file once it holds them all. Readers and a crash see
// the old file or the new one, never a mix; when any step fails the
// temporary file is removed and the old file stays byte for byte as it was.
// With `commit` the data are pushed to the disk (fsync) before the rename.
// A replaced file keeps its permission bits, a new one gets 0644. Each
// write first removes what killed writers left beside the file
// (RemoveStaleTemporaries). Writes of one path within the process are not
// serialised here: a caller that reads, changes and writes a file
// serialises that itself.
WholeFileWrite WriteWholeHostFile(const std::string& host_path, const void* data, size_t size,
                                  bool commit);
// The same for a Windows-style path, for the module: a write that fails is
// recorded as a load problem of the file, "not written: " and the system's
// reason ("not written: No space left on device").
bool WriteWholeFile(std::string_view windows_path, const void* data, size_t size, bool commit);

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
    // Records a load problem of the open file (load_problems.h): what its
    // reader found wrong in its contents. Allocates nothing when the same
    // problem was recorded before.
    void RecordProblem(std::string_view what) const;

  private:
    std::FILE* stream_ = nullptr;
    bool commit_ = false;
};

}  // namespace zu::platform
