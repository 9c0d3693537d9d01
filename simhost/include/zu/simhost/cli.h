// The simhost program: command line, flight loop and outputs.
#pragma once

#include <functional>
#include <ostream>

#include "zu/simhost/gauge_renderer.h"

namespace zu::simhost {

// Exit codes of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitCheckFailed = 1;  // a scenario check or command failed
inline constexpr int kExitUsage = 2;        // bad command line or scenario file
inline constexpr int kExitModule = 3;       // the module cannot be loaded or is not one
inline constexpr int kExitAircraft = 4;     // aircraft, panel or start-up problem
inline constexpr int kExitOutput = 5;       // outputs cannot be written
inline constexpr int kExitNoDisplay = 6;    // --window with no display to show it on

// The live window mode (--window): the flight shown in desktop windows. The
// runner calls `step` at `fps` frames per second (it runs one frame and
// returns false once the flight is over), draws the panel windows with
// `renderer` after each frame, forwards the pointer through `router`, and
// returns when the flight is over or the user closes the windows.
struct WindowSession {
    Simulator& sim;
    GaugeRenderer& renderer;
    PointerRouter& router;
    RenderOptions options;
    int fps;
    std::function<bool()> step;
};
using WindowRunner = int (*)(WindowSession& session);

// SIGINT and SIGTERM stop the flight cleanly: the frame under way finishes,
// the gauges are killed as at a normal end, the state file and the summary
// are written, and SimhostMain returns 128 + the signal's number (130, 143).
// Interrupted calls are not restarted, and the waits for the instructor
// link give up soon after the signal, so a run ends within a second or so
// wherever it waits.
// A second signal ends the process at once with that code. The program
// installs the handlers before SimhostMain; StopSignal is the signal
// received (0: none).
void InstallStopSignals();
int StopSignal();

// Runs simhost with the given arguments; `out` gets the results meant for the
// user (gauge list, where the outputs are), `err` errors and warnings.
// `window_runner` serves --window (null: a build without the window mode).
int SimhostMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                WindowRunner window_runner = nullptr);

}  // namespace zu::simhost
