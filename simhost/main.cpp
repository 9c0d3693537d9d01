// simhost: the simulator stand-in (see docs/simhost.md).
#include <iostream>

#include "zu/simhost/cli.h"
#ifdef ZU_SIMHOST_GUI
#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#endif

namespace {

#ifdef ZU_SIMHOST_GUI
// The window mode lives in the plug-in beside the program, loaded only when
// a flight is shown in a window: other flights never map Qt.
int RunPanelWindowsPlugin(zu::simhost::WindowSession& session) {
    std::error_code ec;
    const std::filesystem::path plugin =
        std::filesystem::read_symlink("/proc/self/exe", ec).parent_path() / "simhost_window.so";
    void* handle = ::dlopen(plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    using Run = int (*)(zu::simhost::WindowSession*);
    Run run = handle != nullptr
                  ? reinterpret_cast<Run>(::dlsym(handle, "zu_simhost_run_panel_windows"))
                  : nullptr;
    if (run == nullptr) {
        const char* why = ::dlerror();
        std::cerr << "simhost: --window: cannot load " << plugin.string() << ": "
                  << (why != nullptr ? why : "no entry") << '\n';
        return 1;
    }
    return run(&session);
}
#endif

}  // namespace

int main(int argc, char** argv) {
    zu::simhost::InstallStopSignals();
#ifdef ZU_SIMHOST_GUI
    return zu::simhost::SimhostMain(argc, argv, std::cout, std::cerr, RunPanelWindowsPlugin);
#else
    return zu::simhost::SimhostMain(argc, argv, std::cout, std::cerr);
#endif
}
