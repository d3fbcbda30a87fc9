// Ctrl-C in the console host: it sets the debugger's stop request and never
// ends the process. Signal handlers can reach no object, so this is the one
// process-wide state of the console host.
#pragma once
#include "sim/run_state.h"

namespace tav {

// Installs the SIGINT and SIGWINCH handlers; SIGINT then requests a stop.
void install_interrupt(RunState* stop);

// True once after each Ctrl-C; clears the mark.
bool take_interrupt();

// True once after each change of the terminal's size.
bool take_resize();

}  // namespace tav
