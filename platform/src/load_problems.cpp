// Problems met while loading files (see load_problems.h).
#include "zu/platform/load_problems.h"

#include <unistd.h>

#include <atomic>
#include <mutex>

namespace zu::platform {
namespace {

struct Registry {
    std::mutex mutex;
    std::vector<LoadProblem> kept;
    std::atomic<uint64_t> met{0};
};

Registry& Problems() {
    static Registry registry;
    return registry;
}

}  // namespace

void RecordLoadProblem(std::string_view file, std::string_view what) {
    Registry& r = Problems();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (LoadProblem& p : r.kept) {
        if (p.file == file && p.what == what) {
            ++p.count;
            return;
        }
    }
    r.met.fetch_add(1, std::memory_order_release);
    if (r.kept.size() >= kLoadProblemsKept) return;
    r.kept.push_back({std::string(file), std::string(what), 1});
}

std::vector<LoadProblem> LoadProblems() {
    Registry& r = Problems();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.kept;
}

uint64_t LoadProblemsMet() {
    return Problems().met.load(std::memory_order_acquire);
}

void ClearLoadProblems() {
    Registry& r = Problems();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.kept.clear();
    r.met.store(0, std::memory_order_release);
}

void RecordLoadProblem(std::FILE* stream, std::string_view what) {
    char path[4096];
    char link[40];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", ::fileno(stream));
    const ssize_t n = ::readlink(link, path, sizeof path - 1);
    RecordLoadProblem(n > 0 ? std::string_view(path, static_cast<size_t>(n)) : "(unknown file)",
                      what);
}

}  // namespace zu::platform
