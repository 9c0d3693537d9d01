// Files named by Windows-style paths (see files.h).
#include "zu/platform/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "zu/platform/paths.h"

namespace zu::platform {

int64_t FileSize(std::string_view windows_path) {
    const std::string host = ToHostPath(windows_path);
    struct stat st {};
    if (host.empty() || ::stat(host.c_str(), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
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
    return std::fread(data, 1, size, stream_);
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
    return std::fgets(line, size, stream_) != nullptr;
}

void File::Rewind() {
    if (stream_ != nullptr) std::rewind(stream_);
}

}  // namespace zu::platform
