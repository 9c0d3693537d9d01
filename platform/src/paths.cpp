// Windows-style paths mapped to the host file system (see paths.h).
#include "zu/platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "ascii.h"

namespace zu::platform {
namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Looks in `folder` for an entry whose name matches `name` without regard to
// ASCII case. When several do (a case-sensitive file system may hold
// "a.ini" and "A.INI"), the smallest name in byte order is taken, so the
// result does not depend on the directory's order. Empty when none matches.
std::string FindNoCase(const std::string& folder, std::string_view name) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return {};
    std::string best;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view candidate(entry->d_name);
        if (EqualNoCaseAscii(candidate, name) && (best.empty() || candidate < best))
            best = candidate;
    }
    ::closedir(dir);
    return best;
}

}  // namespace

std::string ToHostPath(std::string_view windows_path) {
    std::string path(windows_path);
    std::replace(path.begin(), path.end(), '\\', '/');
    // A drive letter ("C:", "c:\...", "C:relative") maps to the root folder.
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        path.erase(0, 2);
        if (path.empty() || path[0] != '/') path.insert(path.begin(), '/');
    }
    if (path.empty()) return path;

    const bool absolute = path[0] == '/';
    const bool trailing_slash = path.size() > 1 && path.back() == '/';

    std::vector<std::string_view> components;
    std::string_view rest(path);
    while (!rest.empty()) {
        size_t slash = rest.find('/');
        std::string_view part = rest.substr(0, slash);
        if (!part.empty()) components.push_back(part);
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }

    std::string result = absolute ? "/" : "";
    bool resolving = true;  // false once a component exists in no spelling
    for (std::string_view part : components) {
        std::string name(part);
        if (resolving && part != "." && part != "..") {
            std::string candidate = result + name;
            if (!Exists(candidate)) {
                std::string found = FindNoCase(result, part);
                if (found.empty()) {
                    resolving = false;
                } else {
                    name = found;
                }
            }
        }
        result += name;
        result += '/';
    }
    // `result` ends with '/' unless it is empty; keep it only where the input had it.
    if (!components.empty() && !trailing_slash) result.pop_back();
    return result;
}

std::string FromHostPath(std::string_view host_path) {
    std::string path(host_path);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool FolderExists(std::string_view windows_path) {
    if (windows_path.empty()) return false;
    std::string host = ToHostPath(windows_path);
    struct stat st {};
    return ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(std::string_view windows_path) {
    if (windows_path.empty()) return false;
    std::string host = ToHostPath(windows_path);
    struct stat st {};
    return ::stat(host.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

namespace {

bool PatternMatches(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*" || pattern == "*") return true;
    if (pattern.size() >= 2 && pattern[0] == '*' && pattern[1] == '.') {
        const std::string_view ext = pattern.substr(1);
        if (name.size() < ext.size()) return false;
        const std::string_view tail = name.substr(name.size() - ext.size());
        for (std::size_t i = 0; i < ext.size(); ++i) {
            if (LowerAscii(tail[i]) != LowerAscii(ext[i])) return false;
        }
        return true;
    }
    return EqualNoCaseAscii(pattern, name);
}

}  // namespace

int32_t ListFolder(std::string_view windows_pattern, FolderEntry* out, int32_t max) {
    const std::size_t cut = windows_pattern.find_last_of("\\/");
    const std::string_view folder =
        cut == std::string_view::npos ? std::string_view{} : windows_pattern.substr(0, cut);
    const std::string_view pattern =
        cut == std::string_view::npos ? windows_pattern : windows_pattern.substr(cut + 1);
    const std::string host = ToHostPath(folder.empty() ? std::string_view{"."} : folder);
    DIR* dir = ::opendir(host.c_str());
    if (dir == nullptr) return -1;
    std::vector<std::pair<std::string, bool>> names;
    while (const dirent* d = ::readdir(dir)) {
        const std::string name = d->d_name;
        if (name == "." || name == ".." || name.size() > 255) continue;
        if (!PatternMatches(pattern, name)) continue;
        struct stat st {};
        const bool is_folder = ::stat((host + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        names.emplace_back(name, is_folder);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    int32_t n = 0;
    auto put = [&](const std::string& name, bool is_folder) {
        if (out == nullptr || n >= max) return;
        std::snprintf(out[n].name, sizeof out[n].name, "%s", name.c_str());
        out[n].folder = is_folder;
        ++n;
    };
    put(".", true);
    put("..", true);
    for (const auto& [name, is_folder] : names) put(name, is_folder);
    return n;
}

namespace {

std::mutex documents_mutex;
std::string documents_folder;  // host path set by the host; empty: the default

}  // namespace

void SetDocumentsFolder(std::string_view host_path) {
    std::lock_guard lock(documents_mutex);
    documents_folder.assign(host_path);
}

uint32_t GetDocumentsFolder(char* out, uint32_t out_size) {
    if (out == nullptr || out_size == 0) return 0;
    out[0] = 0;
    std::string folder;
    {
        std::lock_guard lock(documents_mutex);
        folder = documents_folder;
    }
    if (folder.empty()) {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == 0) return 0;
        folder = std::string(home) + "/Documents";
    }
    std::string windows = FromHostPath(folder);
    while (windows.size() > 1 && windows.back() == '\\') windows.pop_back();
    if (windows.size() + 1 > out_size) return 0;
    std::memcpy(out, windows.c_str(), windows.size() + 1);
    return static_cast<uint32_t>(windows.size());
}

}  // namespace zu::platform
