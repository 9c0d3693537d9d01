#include "instruments/id809_panels.h"

namespace zu {

int32_t Id809BlankCountdown[2] = {0, 0};

}  // namespace zu
