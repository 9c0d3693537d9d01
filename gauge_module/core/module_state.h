// The module's state as a fresh load has it. The simulator kills and
// installs the gauges again when the flight or the aircraft changes, with the
// module still loaded: the kill service puts every system's state back to
// what it was when the module was loaded, so the next install starts clean.
#pragma once

namespace zu {

// Puts the module's state back to its loaded values. Runs on the gauge thread
// with the systems tick stopped.
void ModuleStateReset();

}  // namespace zu
