// Files named by Windows-style paths (see files.h).
#include "zu/platform/files.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "zu/platform/load_problems.h"
#include "zu/platform/paths.h"

namespace zu::platform {

int64_t FileSize(std::string_view windows_path) {
    const std::string host = ToHostPath(windows_path);
    struct stat st {};
    if (host.empty() || ::stat(host.c_str(), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
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

bool File::Open(std::string_view windows_path, const char* mode) {
    Close();
    // The stdio layer knows no commit flag: take it off and remember it.
    std::string stdio_mode;
    commit_ = false;
    for (const char* m = mode; *m != '\0'; ++m) {
        if (*m == 'c') {
            commit_ = true;
        } else {
            stdio_mode += *m;
        }
    }
    const std::string host = ToHostPath(windows_path);
    if (host.empty()) return false;
    stream_ = std::fopen(host.c_str(), stdio_mode.c_str());
    // A file that is not there is the caller's ordinary case; one that is
    // there but cannot be opened to be read is a problem worth telling.
    if (stream_ == nullptr && errno != ENOENT && stdio_mode.find('r') != std::string::npos &&
        stdio_mode.find('+') == std::string::npos) {
        RecordLoadProblem(host, std::string("cannot be read: ") + std::strerror(errno));
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

}  // namespace zu::platform
