#include "displays/display_pixel_size.h"

namespace zu {

int32_t DisplayPixelSize[2] = {1024, 768};
int32_t DisplayPixelSize2[2] = {1024, 768};

}  // namespace zu
