#include "displays/tcas.h"

namespace zu {

TcasStateRecord TcasState{};

}  // namespace zu
