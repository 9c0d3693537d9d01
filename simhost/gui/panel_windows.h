// simhost's live window mode (--window): the panel windows drawn in desktop
// windows with Qt, one tab per panel window, each fitted to the window (its
// aspect kept) with the gauges that changed redrawn after every frame; the
// title shows the simulated time; the pointer is forwarded to the gauges'
// mouse rectangles. Built only with ZU_GUI, as the plug-in simhost_window.so
// that simhost loads for --window; simhost without it refuses --window.
#pragma once

#include "zu/simhost/cli.h"

namespace zu::simhost {

// Runs the session until its flight is over or the window is closed.
int RunPanelWindows(WindowSession& session);

}  // namespace zu::simhost

// The plug-in's entry: RunPanelWindows, found by name.
extern "C" int zu_simhost_run_panel_windows(zu::simhost::WindowSession* session);
