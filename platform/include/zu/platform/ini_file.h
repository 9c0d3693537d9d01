// Private-profile (INI) files with the semantics the module relies on.
//
// Paths are Windows-style (backslashes, any letter case) and are mapped to
// the file system by paths.h.
//
// Matching: section and key names are compared without regard to ASCII case
// and after removing leading and trailing blanks (spaces and tabs) on both
// sides, so the key "elevator_axis_deadzone " written with a trailing blank
// finds "elevator_axis_deadzone=3" in a file, and a file line
// "elevator_axis_deadzone = 3" matches as well. Values are read with leading
// and trailing blanks removed; one pair of enclosing double quotes is removed.
// Lines starting with ';' are comments. The first occurrence of a section or
// key wins.
//
// Writing keeps the file's other lines, sections and keys in their order,
// replaces a key's value in place (keeping the line's key spelling and the
// blanks around '='), appends a new key after the last non-blank line of its
// section and a new section at the end of the file; new names are written
// with blanks trimmed. A value is cut at its first line break. A file that
// does not exist is created when its folder exists; nothing is created
// otherwise. A file's line endings (LF or CR LF, as on its first line) are
// kept; new files get LF. A file that exists but cannot be read (no
// permission, an I/O error) reads as missing (the defaults) and is never
// written: its writes fail and leave it as it is. Each write replaces the whole file through a
// temporary file and a rename, so readers never see a half-written file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zu::platform {

// Reads an integer: optional blanks, optional sign, decimal digits (text
// after the digits is ignored). A missing key or a value without digits gives
// `default_value`. The result is the 32-bit value as unsigned (a negative
// number comes back as its two's complement).
uint32_t GetPrivateProfileInt(const char* section, const char* key, int32_t default_value,
                              const char* path);

// Reads a string into `out` (size `out_size`, always terminated when
// out_size > 0), truncated to out_size - 1 characters. A missing key copies
// `default_value` (null: ""). Returns the number of characters copied.
uint32_t GetPrivateProfileString(const char* section, const char* key, const char* default_value,
                                 char* out, uint32_t out_size, const char* path);

// Writes a key. `value` null deletes the key; `key` null deletes the section
// (deleting what is not there succeeds and changes nothing). All three null
// is a no-op that succeeds. Returns false when the file could not be written
// (its folder is missing, or the file exists but cannot be read) or
// `section` is null otherwise.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path);

// Struct variant: the bytes are written as uppercase hexadecimal digit pairs
// followed by one checksum byte (the low 8 bits of the sum of the bytes).
// Reading succeeds only when the stored data have exactly `size` bytes and the
// checksum matches; otherwise `out` is left unchanged and false is returned.
// Hexadecimal digits are read in either case. Writing with `data` null
// deletes the key.
bool WritePrivateProfileStruct(const char* section, const char* key, const void* data,
                               uint32_t size, const char* path);
bool GetPrivateProfileStruct(const char* section, const char* key, void* out, uint32_t size,
                             const char* path);

// Memory-backed files, for fuzzing and tests that must leave nothing on disk.
// While they are on, a path names an entry of a process-wide table in memory
// (paths compare without regard to ASCII case, every folder exists) and no
// file is read or written; the semantics above stay the same. Turning them
// off empties the table.
void SetIniMemoryFiles(bool on);
// Sets the whole contents of a memory file (ignored while they are off).
void SetIniMemoryFile(const char* path, const void* data, size_t size);

}  // namespace zu::platform
