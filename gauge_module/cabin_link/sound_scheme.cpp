#include "cabin_link/sound_scheme.h"

namespace zu {

WiperStateRecord WiperState{170, 1};

}  // namespace zu
