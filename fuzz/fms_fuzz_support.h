// Shared by the FMS file fuzz targets: a private FMS folder for the
// process (removed at exit) (FmsDirectoryPath points at it) and writing one input as a file.
// "Fmswpt2.dat" is a folder there, so the variation write-back fails (its
// temporary file is removed again) instead of committing a file to disk on
// every input.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fms/fms_lifecycle.h"
#include "zu/platform/paths.h"

// Each input opens the files several times, and every open takes a stdio
// buffer: without filling fresh blocks and with a small quarantine the
// sanitizer does not spend the run on memset and page faults.
extern "C" const char* __asan_default_options() {
    return "max_malloc_fill_size=0:quarantine_size_mb=4";
}

namespace zu::fms_fuzz {

inline const std::string& Folder() {
    static const std::string folder = [] {
        // In memory where the system has a memory file system: a file
        // written and read back per input must not wait for a disk.
        char shm[] = "/dev/shm/zu_fms_fuzz_XXXXXX";
        char tmp[] = "/tmp/zu_fms_fuzz_XXXXXX";
        const char* made = ::mkdtemp(shm);
        if (made == nullptr) made = ::mkdtemp(tmp);
        if (made == nullptr) std::abort();
        const std::string f = made;
        static const std::string removed_at_exit = f;
        std::atexit([] { std::filesystem::remove_all(removed_at_exit); });
        ::mkdir((f + "/Fmswpt2.dat").c_str(), 0700);
        const std::string windows = platform::FromHostPath(f) + "\\";
        std::snprintf(FmsDirectoryPath, sizeof FmsDirectoryPath, "%s", windows.c_str());
        return f;
    }();
    return folder;
}

inline void WriteInput(const char* name, const uint8_t* data, size_t size) {
    const std::string path = Folder() + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
}

// A NUL-terminated text of at most n characters taken from the input.
inline void TakeText(const uint8_t*& data, size_t& size, char* out, size_t n) {
    size_t i = 0;
    while (i < n && size > 0) {
        const char c = static_cast<char>(*data++);
        --size;
        if (c == '|') break;
        out[i++] = c;
    }
    out[i] = '\0';
}

}  // namespace zu::fms_fuzz
