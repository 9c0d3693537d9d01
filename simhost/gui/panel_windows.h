// simhost's live window mode (--window): the panel windows drawn in desktop
// windows with Qt, one tab per panel window, each fitted to the window (its
// aspect kept) with the gauges that changed redrawn after every frame; the
// title shows the simulated time; the pointer is forwarded to the gauges'
// mouse rectangles. Built only with ZU_GUI; simhost without it refuses
// --window.
#pragma once

#include "zu/simhost/cli.h"

namespace zu::simhost {

// Runs the session until its flight is over or the window is closed.
int RunPanelWindows(WindowSession& session);

}  // namespace zu::simhost
