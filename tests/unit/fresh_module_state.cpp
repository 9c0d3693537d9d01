// Every test of the module, unit or end-to-end, starts from the module's
// state as a fresh load has it, whatever the tests before it left behind:
// the tests share one process, the systems' globals are the module's own,
// and the module keeps them across a kill of its gauges. A test that flies
// several flights restores the state before each one itself.
#include <gtest/gtest.h>

#include "../module_state.h"

namespace {

class FreshModuleState : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& /*info*/) override {
        zu::e2e::RestoreLoadedModuleState();
    }
};

const bool kRegistered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshModuleState);
    return true;
}();

}  // namespace
