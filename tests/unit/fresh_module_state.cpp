// Every unit test of the module starts from the module's state as a fresh
// load has it, whatever the tests before it left behind: the tests share one
// process, and the systems' globals are the module's own.
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
