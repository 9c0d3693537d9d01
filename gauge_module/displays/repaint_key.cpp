#include "displays/repaint_key.h"

namespace zu {

bool RepaintEveryPicture = false;

}  // namespace zu
