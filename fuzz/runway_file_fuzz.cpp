// Fuzzes the runway file: the input up to the first '|' (at most 8
// characters) is the airport asked for, the rest is "Fmsrwy.dat".
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fms/nav_database.h"
#include "fms_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;
    char airport[9];
    fms_fuzz::TakeText(data, size, airport, 8);
    fms_fuzz::WriteInput("Fmsrwy.dat", data, size);
    ReadRunways(airport);
    if (RunwayList.count < 0 || RunwayList.count > kRunwayListMax) std::abort();
    for (int32_t i = 0; i < RunwayList.count; ++i)
        if (FieldText(RunwayList.runways[i].airport) != std::string_view(airport)) std::abort();
    return 0;
}
