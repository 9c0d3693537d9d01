// The module's globals as a fresh load has them, for the tests that run the
// module linked into their process: each test starts from them, whatever the
// tests before it left behind.
#pragma once

#include "core/module_state.h"

namespace zu::e2e {

inline void RestoreLoadedModuleState() {
    ModuleStateReset();
}

}  // namespace zu::e2e
