#include "core/ahrs.h"

namespace zu {

namespace {
constexpr AhrsRecord MakeAhrs() {
    AhrsRecord r{};
    r.align_countdown = 40;
    r.fine_align_countdown = 128;
    return r;
}
}  // namespace

AhrsRecord Ahrs1 = MakeAhrs();
AhrsRecord Ahrs2 = MakeAhrs();

}  // namespace zu
