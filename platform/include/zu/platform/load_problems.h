// Problems the platform's file layers met while loading what the module asked
// for: a file that exists but cannot be read, a settings file left unwritten
// because it could not be read first, a damaged RIFF file. The module's
// loaders stay silent (they fall back to their defaults); the layers below
// them record what went wrong so that the host can tell the user.
//
// Each distinct problem (file and what) is kept once, with the number of
// times it was met, in the order first met; at most kLoadProblemsKept are
// kept, later new ones are only counted. Recording a problem already kept
// allocates nothing. Any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace zu::platform {

inline constexpr size_t kLoadProblemsKept = 256;

struct LoadProblem {
    std::string file;  // the host path
    std::string what;  // what was wrong with it
    uint64_t count = 0;
};

void RecordLoadProblem(std::string_view file, std::string_view what);
// The same for the file an open stream reads (named by its descriptor).
void RecordLoadProblem(std::FILE* stream, std::string_view what);
// The problems kept, in the order first met.
std::vector<LoadProblem> LoadProblems();
// Grows with every problem not kept before (once the list is full, with
// every such meeting): a cheap check whether anything new was recorded.
uint64_t LoadProblemsMet();
// Forgets every problem (a host starting a new flight).
void ClearLoadProblems();

}  // namespace zu::platform
