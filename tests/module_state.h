// The module's globals as a fresh load has them, for the tests and
// benchmarks that run the module linked into their process: each flight
// starts from them, whatever the flights before it left behind. The module
// itself keeps its state across a kill and a new install, as it does in the
// simulator; only a new process starts it afresh.
#pragma once

namespace zu::e2e {

// Puts every system's globals back to their loaded values. Call it with the
// systems tick stopped (no simulator started, or before its first frame).
// tests/module_state.cpp lists the globals it restores: a global added to a
// system joins that list.
void RestoreLoadedModuleState();

}  // namespace zu::e2e
