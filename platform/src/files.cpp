// Files named by Windows-style paths (see files.h).
#include "zu/platform/files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "zu/platform/load_problems.h"
#include "zu/platform/paths.h"

namespace zu::platform {

namespace {

// What a file's status names when it is not a regular file.
const char* NotRegularText(mode_t mode) {
    if (S_ISDIR(mode)) return "not a regular file (a folder)";
    if (S_ISFIFO(mode)) return "not a regular file (a named pipe)";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "not a regular file (a device)";
    if (S_ISSOCK(mode)) return "not a regular file (a socket)";
    return "not a regular file";
}

}  // namespace

OpenedFile OpenHostFile(const std::string& host_path, int flags, mode_t mode) {
    OpenedFile opened;
    // Non-blocking, so that a named pipe without a writer (or a device)
    // does not hold the open; a folder opens for reading and is refused
    // below. Interrupted opens are the caller's to see (a stop request).
    const int fd = ::open(host_path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd < 0) {
        opened.error = errno;
        // Opening a folder for writing, or a pipe without a reader for
        // writing, fails: say what is there rather than the system's reason.
        struct stat st {};
        if ((errno == EISDIR || errno == ENXIO) && ::stat(host_path.c_str(), &st) == 0 &&
            !S_ISREG(st.st_mode)) {
            opened.error = 0;
            opened.not_regular = NotRegularText(st.st_mode);
        }
        return opened;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        opened.error = errno;
        ::close(fd);
        return opened;
    }
    if (!S_ISREG(st.st_mode)) {
        opened.not_regular = NotRegularText(st.st_mode);
        ::close(fd);
        return opened;
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status >= 0) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    opened.fd = fd;
    return opened;
}

void RecordRefusedOpen(const std::string& host_path, const OpenedFile& file, bool reading) {
    if (file.not_regular != nullptr) {
        RecordLoadProblem(host_path, file.not_regular);
    } else if (reading && file.error != 0 && file.error != ENOENT) {
        RecordLoadProblem(host_path, std::string("cannot be read: ") + std::strerror(file.error));
    }
}

HostFileRead ReadWholeHostFile(const std::string& host_path, std::string* data) {
    HostFileRead read;
    data->clear();
    const OpenedFile file = OpenHostFile(host_path, O_RDONLY);
    if (!file) {
        if (file.not_regular != nullptr) {
            read.result = HostFileRead::Result::kNotRegular;
            read.not_regular = file.not_regular;
        } else if (file.error == ENOENT) {
            read.result = HostFileRead::Result::kMissing;
        } else {
            read.result = HostFileRead::Result::kFailed;
            read.error = file.error;
        }
        return read;
    }
    read.result = HostFileRead::Result::kRead;
    struct stat st {};
    if (::fstat(file.fd, &st) == 0 && st.st_size > 0)
        data->reserve(static_cast<size_t>(st.st_size));
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n > 0) {
            data->append(buffer, static_cast<size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            read.result = HostFileRead::Result::kFailed;
            read.error = errno;
            data->clear();
            break;
        }
    }
    ::close(file.fd);
    return read;
}

namespace {

// The process id a temporary file's name carries after "PATH.tmp": digits,
// optionally followed by "-" and more digits; 0 for any other name.
pid_t TemporaryOwner(std::string_view rest) {
    pid_t pid = 0;
    size_t i = 0;
    for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && i < 9; ++i)
        pid = pid * 10 + (rest[i] - '0');
    if (i == 0) return 0;
    if (i == rest.size()) return pid;
    if (rest[i] != '-' || i + 1 == rest.size()) return 0;
    for (size_t j = i + 1; j < rest.size(); ++j) {
        if (rest[j] < '0' || rest[j] > '9') return 0;
    }
    return pid;
}

}  // namespace

void RemoveStaleTemporaries(const std::string& host_path) {
    namespace fs = std::filesystem;
    const fs::path target(host_path);
    const std::string prefix = target.filename().string() + ".tmp";
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const pid_t owner = TemporaryOwner(std::string_view(name).substr(prefix.size()));
        if (owner <= 0 || owner == ::getpid()) continue;
        if (::kill(owner, 0) == 0 || errno != ESRCH) continue;  // running, or not ours to ask
        std::error_code ignored;
        fs::remove(it->path(), ignored);
    }
}

namespace {

bool WriteAll(int fd, const void* data, size_t size, int* error) {
    const auto* bytes = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *error = n < 0 ? errno : ENOSPC;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// The open(2) flags of a C runtime mode ("rb", "w+", "a", ...).
int OpenFlags(std::string_view mode) {
    const bool update = mode.find('+') != std::string_view::npos;
    switch (mode.empty() ? 'r' : mode.front()) {
        case 'w':
            return (update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
        case 'a':
            return (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
        default:
            return update ? O_RDWR : O_RDONLY;
    }
}

}  // namespace

std::string WholeFileWrite::Describe() const {
    if (step == nullptr) return {};
    return std::string(step) + ": " + std::strerror(error);
}

WholeFileWrite WriteWholeHostFile(const std::string& host_path, const void* data, size_t size,
                                  bool commit) {
    WholeFileWrite result;
    auto fail = [&result](const char* step, int error) {
        result.step = step;
        result.error = error;
        return result;
    };
    if (host_path.empty() || (data == nullptr && size != 0)) return fail("create", EINVAL);
    // What killed writers left beside the file goes first.
    RemoveStaleTemporaries(host_path);
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(host_path.c_str(), &st) == 0) mode = st.st_mode & 07777;
    static std::atomic<uint32_t> counter{0};
    // A fresh temporary file: whatever has its name already (a leftover of
    // an earlier process with our id, or anything else) is passed over.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = host_path + ".tmp" + std::to_string(::getpid()) + "-" +
               std::to_string(counter.fetch_add(1, std::memory_order_relaxed));
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NONBLOCK | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return fail("create", errno);
    int error = 0;
    const char* failed = nullptr;
    if (!WriteAll(fd, data, size, &error)) {
        failed = "write";
    } else if (commit && ::fsync(fd) != 0) {
        failed = "flush";
        error = errno;
    }
    if (::close(fd) != 0 && failed == nullptr) {
        failed = "close";
        error = errno;
    }
    if (failed == nullptr && ::rename(temp.c_str(), host_path.c_str()) != 0) {
        failed = "rename";
        error = errno;
    }
    if (failed != nullptr) {
        ::unlink(temp.c_str());
        return fail(failed, error);
    }
    return result;
}

bool WriteWholeFile(std::string_view windows_path, const void* data, size_t size, bool commit) {
    const std::string host = ToHostPath(windows_path);
    if (host.empty()) return false;
    const WholeFileWrite written = WriteWholeHostFile(host, data, size, commit);
    if (!written)
        RecordLoadProblem(host, std::string("not written: ") + std::strerror(written.error));
    return static_cast<bool>(written);
}

bool File::Open(std::string_view windows_path, const char* mode) {
    Close();
    // The stdio layer knows no commit flag: take it off and remember it.
    char stdio_mode[8] = {};
    size_t n = 0;
    commit_ = false;
    for (const char* m = mode; *m != '\0'; ++m) {
        if (*m == 'c') {
            commit_ = true;
        } else if (n + 1 < sizeof stdio_mode) {
            stdio_mode[n++] = *m;
        }
    }
    const std::string host = ToHostPath(windows_path);
    if (host.empty()) return false;
    const int flags = OpenFlags(stdio_mode);
    const OpenedFile file = OpenHostFile(host, flags);
    if (!file) {
        // A file that is not there is the caller's ordinary case; one that
        // is there but cannot be opened to be read is a problem worth telling.
        RecordRefusedOpen(host, file, (flags & O_ACCMODE) == O_RDONLY);
        commit_ = false;
        return false;
    }
    stream_ = ::fdopen(file.fd, stdio_mode);
    if (stream_ == nullptr) {
        ::close(file.fd);
        commit_ = false;
    }
    return stream_ != nullptr;
}

int64_t File::Size() const {
    struct stat st {};
    if (stream_ == nullptr || ::fstat(::fileno(stream_), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

void File::Close() {
    if (stream_ != nullptr) std::fclose(stream_);
    stream_ = nullptr;
    commit_ = false;
}

size_t File::Read(void* data, size_t size) {
    if (stream_ == nullptr || size == 0) return 0;
    const size_t n = std::fread(data, 1, size, stream_);
    if (n < size && std::ferror(stream_)) {
        RecordLoadProblem(stream_, std::string("read error: ") + std::strerror(errno));
    }
    return n;
}

size_t File::Write(const void* data, size_t size) {
    if (stream_ == nullptr || size == 0) return 0;
    return std::fwrite(data, 1, size, stream_);
}

bool File::Flush() {
    if (stream_ == nullptr) return false;
    if (std::fflush(stream_) != 0) return false;
    if (commit_ && ::fsync(::fileno(stream_)) != 0) return false;
    return true;
}

bool File::ReadLine(char* line, int size) {
    if (stream_ == nullptr || line == nullptr || size <= 0) return false;
    if (std::fgets(line, size, stream_) != nullptr) return true;
    if (std::ferror(stream_)) {
        RecordLoadProblem(stream_, std::string("read error: ") + std::strerror(errno));
    }
    return false;
}

void File::Rewind() {
    if (stream_ != nullptr) std::rewind(stream_);
}

void File::RecordProblem(std::string_view what) const {
    if (stream_ != nullptr) RecordLoadProblem(stream_, what);
}

}  // namespace zu::platform
