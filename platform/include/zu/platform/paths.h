// Windows-style paths built by the module, mapped to the file system.
//
// The module builds paths with backslashes, for example
// "\home\user\aircraft\Zuvav\ini\Kvx4f700.ini". ToHostPath turns every
// backslash into '/', drops a leading drive letter ("C:" maps to the root
// folder "/"), and resolves each component without regard to letter case:
// where the exact name does not exist but one entry of the folder matches it
// case-insensitively, that entry's name is used. Components that exist in no
// spelling are kept as written (so a new file is created with the module's
// spelling).
//
// FromHostPath does the reverse for paths the host hands to the module (a
// Linux absolute path becomes "\dir\dir\file").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zu::platform {

std::string ToHostPath(std::string_view windows_path);
std::string FromHostPath(std::string_view host_path);

// True when the folder named by a Windows-style path exists.
bool FolderExists(std::string_view windows_path);
// True when a file (not a folder) exists at a Windows-style path.
bool PathExists(std::string_view windows_path);

// One entry of a folder listing.
struct FolderEntry {
    char name[256];
    bool folder;
};
// Lists the folder of a Windows-style search pattern such as
// "\dir\Songs\*.*" (the last component is the pattern: "*.*" and "*"
// match every name, "*.ext" the names ending in ".ext", letter case
// ignored). Like the system's search, the listing starts with the "." and
// ".." entries (marked as folders); the other names follow in byte order.
// Writes at most `max` entries and returns how many, or -1 when the folder
// cannot be searched. Names longer than 255 bytes are skipped.
int32_t ListFolder(std::string_view windows_pattern, FolderEntry* out, int32_t max);

// The user's documents folder (the shell's "My Documents"), where the
// simulator keeps its saved flights. The host may set it (a host path; empty
// goes back to the default); otherwise it is $HOME/Documents. The folder is
// given Windows-style, without a trailing backslash, into `out` (always
// terminated when out_size > 0). Returns its length, or 0 when it is not
// known or does not fit.
void SetDocumentsFolder(std::string_view host_path);
uint32_t GetDocumentsFolder(char* out, uint32_t out_size);

}  // namespace zu::platform
