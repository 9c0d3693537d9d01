// simhost: the simulator stand-in (see docs/simhost.md).
#include <iostream>

#include "zu/simhost/cli.h"
#ifdef ZU_SIMHOST_GUI
#include "panel_windows.h"
#endif

int main(int argc, char** argv) {
    zu::simhost::InstallStopSignals();
#ifdef ZU_SIMHOST_GUI
    return zu::simhost::SimhostMain(argc, argv, std::cout, std::cerr, zu::simhost::RunPanelWindows);
#else
    return zu::simhost::SimhostMain(argc, argv, std::cout, std::cerr);
#endif
}
