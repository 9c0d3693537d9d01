// Private-profile (INI) files (see ini_file.h).
//
// Every call reads the whole file. Only a file that does not exist reads as
// empty: one that cannot be read (no permission, an I/O error, something
// that is not a regular file, such as a named pipe, which is never waited
// on) gives the defaults to readers and is never written, and each such
// problem is recorded (load_problems.h). Writes build the new contents in
// memory and replace the file whole (WriteWholeHostFile, files.h: a
// temporary file in the same folder renamed over the original), so a crash
// of the process leaves either the old or the new file; a write that fails
// there is recorded too.
// There is no fsync: the settings pass writes dozens of keys from the
// simulator's frame. Against a power failure this relies on the file system
// writing a replaced file's data before the rename (ext4 does by default). Writers in this
// process are serialised by one mutex (read-modify-write); other processes
// writing the same file at the same moment may lose one of the two updates,
// as they may on Windows.
#include "zu/platform/ini_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ascii.h"
#include "zu/platform/files.h"
#include "zu/platform/load_problems.h"
#include "zu/platform/paths.h"

namespace zu::platform {
namespace {

struct IniText {
    std::vector<std::string> lines;  // without line endings
    std::string newline = "\n";      // the file's line ending ("\r\n" kept)
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool NamesMatch(std::string_view a, std::string_view b) {
    return EqualNoCaseAscii(Trim(a), Trim(b));
}

// Orders paths without regard to ASCII case (and looks them up as views).
struct LessNoCaseAscii {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        const size_t n = a.size() < b.size() ? a.size() : b.size();
        for (size_t i = 0; i < n; ++i) {
            const char x = LowerAscii(a[i]);
            const char y = LowerAscii(b[i]);
            if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        }
        return a.size() < b.size();
    }
};

// A memory file's section and key lines, found once when its contents are
// set: a look-up walks these instead of parsing the text again.
struct IndexedLine {
    bool section = false;  // a section header, else a key line
    std::string_view name;
    std::string_view value;  // key lines
};

struct MemoryFile {
    std::string data;
    std::vector<IndexedLine> index;  // views into `data`
};

// The memory-backed files (SetIniMemoryFiles): keyed by the path as the
// caller gave it, compared without regard to ASCII case.
struct MemoryFiles {
    std::atomic<bool> on{false};
    std::mutex mutex;
    std::map<std::string, MemoryFile, LessNoCaseAscii> files;
};

MemoryFiles& Memory() {
    static MemoryFiles memory;
    return memory;
}

bool MemoryOn() {
    return Memory().on.load(std::memory_order_acquire);
}

// Where a path's contents live: its host file, or its memory file's key.
std::string Resolve(const char* path) {
    return MemoryOn() ? std::string(path) : ToHostPath(path);
}

// What reading a file gave: its bytes, "no such file", or a failure to read
// one that may well exist (no permission, an I/O error, a folder).
struct FileRead {
    enum class Result { kRead, kMissing, kUnreadable } result = Result::kMissing;
    std::string data;
};

FileRead ReadFile(const std::string& host_path) {
    FileRead read;
    if (MemoryOn()) {
        MemoryFiles& m = Memory();
        std::lock_guard<std::mutex> lock(m.mutex);
        auto it = m.files.find(host_path);
        if (it == m.files.end()) return read;
        read.result = FileRead::Result::kRead;
        read.data = it->second.data;
        return read;
    }
    // Never waits on a named pipe or a device at the path: anything but a
    // regular file cannot be read (and so is never written either).
    const HostFileRead file = ReadWholeHostFile(host_path, &read.data);
    switch (file.result) {
        case HostFileRead::Result::kRead:
            read.result = FileRead::Result::kRead;
            break;
        case HostFileRead::Result::kMissing:
            break;
        case HostFileRead::Result::kNotRegular:
            RecordLoadProblem(host_path, file.not_regular);
            read.result = FileRead::Result::kUnreadable;
            break;
        case HostFileRead::Result::kFailed:
            RecordLoadProblem(host_path,
                              std::string("cannot be read: ") + std::strerror(file.error));
            read.result = FileRead::Result::kUnreadable;
            break;
    }
    return read;
}

IniText Parse(std::string_view data) {
    IniText text;
    text.lines.reserve(static_cast<size_t>(std::count(data.begin(), data.end(), '\n')) + 1);
    bool first = true;
    while (!data.empty()) {
        size_t end = data.find('\n');
        std::string_view line = data.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            if (first) text.newline = "\r\n";
        }
        first = false;
        text.lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        data.remove_prefix(end + 1);
    }
    return text;
}

// A section header "[name]" (blanks allowed around it; text after ']' is
// ignored; a missing ']' takes the rest of the line). Sets *name.
bool SectionHeader(std::string_view line, std::string_view* name) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return false;
    line.remove_prefix(1);
    size_t close = line.find(']');
    *name = Trim(line.substr(0, close));
    return true;
}

// A key line "key=value" (not a comment). Sets *key (trimmed) and the offset
// of the '='.
bool KeyLine(std::string_view line, std::string_view* key, size_t* equals) {
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return false;
    size_t pos = line.find('=');
    if (pos == std::string_view::npos) return false;
    *key = Trim(line.substr(0, pos));
    *equals = pos;
    return true;
}

// The value of a key line; a NUL byte ends it, as it ends the caller's string.
std::string_view ValueOf(std::string_view line, size_t equals) {
    std::string_view value = line.substr(equals + 1);
    value = Trim(value.substr(0, value.find('\0')));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    return value;
}

// Index of the first section named `section`, or -1. `end` receives the index
// of the line after the section's last line.
long FindSection(const IniText& text, std::string_view section, size_t* end) {
    for (size_t i = 0; i < text.lines.size(); ++i) {
        std::string_view name;
        if (!SectionHeader(text.lines[i], &name) || !NamesMatch(name, section)) continue;
        size_t j = i + 1;
        std::string_view other;
        while (j < text.lines.size() && !SectionHeader(text.lines[j], &other)) ++j;
        *end = j;
        return static_cast<long>(i);
    }
    return -1;
}

// Index of the first line of key `key` in lines [begin, end), or -1.
long FindKey(const IniText& text, size_t begin, size_t end, std::string_view key, size_t* equals) {
    for (size_t i = begin; i < end; ++i) {
        std::string_view name;
        if (KeyLine(text.lines[i], &name, equals) && NamesMatch(name, key))
            return static_cast<long>(i);
    }
    return -1;
}

// The value of `key` in the first section named `section` of a file's text,
// read straight from the text (the same lines Parse would give).
std::optional<std::string> FindValue(std::string_view data, std::string_view section,
                                     std::string_view key) {
    bool in_section = false;
    while (!data.empty()) {
        const size_t end = data.find('\n');
        std::string_view line = data.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string_view name;
        size_t equals = 0;
        if (SectionHeader(line, &name)) {
            if (in_section) return std::nullopt;  // the first such section ended
            in_section = NamesMatch(name, section);
        } else if (in_section && KeyLine(line, &name, &equals) && NamesMatch(name, key)) {
            return std::string(ValueOf(line, equals));
        }
        if (end == std::string_view::npos) break;
        data.remove_prefix(end + 1);
    }
    return std::nullopt;
}

// FindValue over a memory file's index: the same first section, first key.
std::optional<std::string> FindIndexedValue(const std::vector<IndexedLine>& index,
                                            std::string_view section, std::string_view key) {
    bool in_section = false;
    for (const IndexedLine& line : index) {
        if (line.section) {
            if (in_section) return std::nullopt;
            in_section = NamesMatch(line.name, section);
        } else if (in_section && NamesMatch(line.name, key)) {
            return std::string(line.value);
        }
    }
    return std::nullopt;
}

void SetMemoryFile(MemoryFile& file, std::string data) {
    file.data = std::move(data);
    file.index.clear();
    std::string_view rest = file.data;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string_view name;
        size_t equals = 0;
        if (SectionHeader(line, &name)) {
            file.index.push_back({true, name, {}});
        } else if (KeyLine(line, &name, &equals)) {
            file.index.push_back({false, name, ValueOf(line, equals)});
        }
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
}

std::optional<std::string> Lookup(const char* section, const char* key, const char* path) {
    if (section == nullptr || key == nullptr || path == nullptr) return std::nullopt;
    if (MemoryOn()) {
        MemoryFiles& m = Memory();
        std::lock_guard<std::mutex> lock(m.mutex);
        auto it = m.files.find(std::string_view(path));
        if (it == m.files.end()) return std::nullopt;
        return FindIndexedValue(it->second.index, section, key);
    }
    const FileRead read = ReadFile(ToHostPath(path));
    if (read.result != FileRead::Result::kRead) return std::nullopt;  // the defaults
    return FindValue(read.data, section, key);
}

std::string ParentFolder(const std::string& host_path) {
    size_t slash = host_path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return host_path.substr(0, slash);
}

// A file's lines: none when it does not exist; `*unreadable` when it may
// exist but cannot be read.
std::optional<IniText> LoadText(const std::string& host_path, bool* unreadable) {
    *unreadable = false;
    if (MemoryOn()) {
        MemoryFiles& m = Memory();
        std::lock_guard<std::mutex> lock(m.mutex);
        auto it = m.files.find(host_path);
        if (it == m.files.end()) return std::nullopt;
        return Parse(it->second.data);
    }
    const FileRead read = ReadFile(host_path);
    if (read.result == FileRead::Result::kUnreadable) *unreadable = true;
    if (read.result != FileRead::Result::kRead) return std::nullopt;
    return Parse(read.data);
}

// Replaces the file with `text` through a temporary file and a rename.
bool Store(const std::string& host_path, const IniText& text) {
    std::string data;
    size_t size = 0;
    for (const std::string& line : text.lines) size += line.size() + text.newline.size();
    data.reserve(size);
    for (const std::string& line : text.lines) {
        data += line;
        data += text.newline;
    }
    if (MemoryOn()) {
        MemoryFiles& m = Memory();
        std::lock_guard<std::mutex> lock(m.mutex);
        SetMemoryFile(m.files[host_path], std::move(data));
        return true;
    }
    const WholeFileWrite written = WriteWholeHostFile(host_path, data.data(), data.size(), false);
    // A folder that cannot be written (no permission, a full disk) is worth
    // telling: the settings the module meant to keep are lost.
    if (!written) {
        RecordLoadProblem(host_path, std::string("not written: ") + std::strerror(written.error));
    }
    return static_cast<bool>(written);
}

std::mutex& WriteMutex() {
    static std::mutex mutex;
    return mutex;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

uint8_t HexValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
    return static_cast<uint8_t>(c - 'a' + 10);
}

}  // namespace

uint32_t GetPrivateProfileInt(const char* section, const char* key, int32_t default_value,
                              const char* path) {
    std::optional<std::string> value = Lookup(section, key, path);
    if (!value) return static_cast<uint32_t>(default_value);
    std::string_view s = Trim(*value);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.front() < '0' || s.front() > '9')
        return static_cast<uint32_t>(default_value);
    uint32_t result = 0;  // wraps modulo 2^32 like the 32-bit original
    while (!s.empty() && s.front() >= '0' && s.front() <= '9') {
        result = result * 10u + static_cast<uint32_t>(s.front() - '0');
        s.remove_prefix(1);
    }
    return negative ? 0u - result : result;
}

uint32_t GetPrivateProfileString(const char* section, const char* key, const char* default_value,
                                 char* out, uint32_t out_size, const char* path) {
    if (out == nullptr || out_size == 0) return 0;
    std::optional<std::string> value = Lookup(section, key, path);
    std::string_view source =
        value ? std::string_view(*value) : std::string_view(default_value ? default_value : "");
    size_t n = source.size() < out_size - 1 ? source.size() : out_size - 1;
    std::memcpy(out, source.data(), n);
    out[n] = '\0';
    return static_cast<uint32_t>(n);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path) {
    if (section == nullptr && key == nullptr && value == nullptr) return true;  // "flush"
    if (section == nullptr || path == nullptr) return false;
    std::lock_guard<std::mutex> lock(WriteMutex());
    const std::string host_path = Resolve(path);
    bool unreadable = false;
    std::optional<IniText> loaded = LoadText(host_path, &unreadable);
    if (unreadable) {
        // Writing now would replace settings we could not read with the one
        // key: the file stays as it is.
        RecordLoadProblem(host_path, "not written: the file cannot be read");
        return false;
    }
    if (!loaded && !MemoryOn()) {
        struct stat st {};
        std::string folder = ParentFolder(host_path);
        if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    }
    if (!loaded && (key == nullptr || value == nullptr)) return true;  // nothing to delete
    IniText text = loaded ? std::move(*loaded) : IniText{};
    const std::string section_name(Trim(section));

    size_t end = 0;
    long header = FindSection(text, section_name, &end);
    if (key == nullptr) {  // delete the section
        if (header < 0) return true;
        text.lines.erase(text.lines.begin() + header, text.lines.begin() + static_cast<long>(end));
        return Store(host_path, text);
    }
    const std::string key_name(Trim(key));
    size_t equals = 0;
    long line =
        header < 0 ? -1 : FindKey(text, static_cast<size_t>(header) + 1, end, key_name, &equals);
    if (value == nullptr) {  // delete the key
        if (line < 0) return true;
        text.lines.erase(text.lines.begin() + line);
        return Store(host_path, text);
    }
    // A line break in the value would start a new line (or section) of its own.
    std::string_view value_text(value);
    value_text = value_text.substr(0, value_text.find_first_of("\r\n"));
    const std::string new_value(value_text);
    if (line >= 0) {
        // Replace in place, keeping the line's key spelling and spacing.
        std::string& old = text.lines[static_cast<size_t>(line)];
        size_t value_start = equals + 1;
        while (value_start < old.size() && IsBlank(old[value_start])) ++value_start;
        old = old.substr(0, value_start) + new_value;
    } else if (header >= 0) {
        // After the section's last non-blank line.
        size_t insert_at = end;
        while (insert_at > static_cast<size_t>(header) + 1 &&
               Trim(text.lines[insert_at - 1]).empty()) {
            --insert_at;
        }
        text.lines.insert(text.lines.begin() + static_cast<long>(insert_at),
                          key_name + "=" + new_value);
    } else {
        text.lines.push_back("[" + section_name + "]");
        text.lines.push_back(key_name + "=" + new_value);
    }
    return Store(host_path, text);
}

bool WritePrivateProfileStruct(const char* section, const char* key, const void* data,
                               uint32_t size, const char* path) {
    if (data == nullptr) return WritePrivateProfileString(section, key, nullptr, path);
    static const char kDigits[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::string hex;
    hex.reserve((static_cast<size_t>(size) + 1) * 2);
    uint8_t sum = 0;
    for (uint32_t i = 0; i < size; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 0xF];
        sum = static_cast<uint8_t>(sum + bytes[i]);
    }
    hex += kDigits[sum >> 4];
    hex += kDigits[sum & 0xF];
    return WritePrivateProfileString(section, key, hex.c_str(), path);
}

bool GetPrivateProfileStruct(const char* section, const char* key, void* out, uint32_t size,
                             const char* path) {
    if (out == nullptr && size != 0) return false;
    std::optional<std::string> value = Lookup(section, key, path);
    if (!value) return false;
    const std::string& hex = *value;
    if (hex.size() != (static_cast<size_t>(size) + 1) * 2) return false;
    for (char c : hex) {
        if (!IsHexDigit(c)) return false;
    }
    std::vector<uint8_t> bytes(size);
    uint8_t sum = 0;
    for (uint32_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(HexValue(hex[2 * i]) << 4 | HexValue(hex[2 * i + 1]));
        sum = static_cast<uint8_t>(sum + bytes[i]);
    }
    const uint8_t stored =
        static_cast<uint8_t>(HexValue(hex[2 * size]) << 4 | HexValue(hex[2 * size + 1]));
    if (stored != sum) return false;
    if (size != 0) std::memcpy(out, bytes.data(), size);
    return true;
}

void SetIniMemoryFiles(bool on) {
    MemoryFiles& m = Memory();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.on.store(on, std::memory_order_release);
    if (!on) m.files.clear();
}

void SetIniMemoryFile(const char* path, const void* data, size_t size) {
    if (path == nullptr || !MemoryOn()) return;
    const std::string key = Resolve(path);
    MemoryFiles& m = Memory();
    std::lock_guard<std::mutex> lock(m.mutex);
    SetMemoryFile(m.files[key], std::string(static_cast<const char*>(data), size));
}

}  // namespace zu::platform
