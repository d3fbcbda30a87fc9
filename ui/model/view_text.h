// The text of a view for a host that prints views instead of drawing them
// (the console host): the same view models the desktop host draws.
#pragma once
#include <string>

#include "kernel/host.h"

namespace tav {

class Debugger;

// Lines of the disassembly view the console shows.
inline constexpr unsigned kConsoleDisasmLines = 16;

// The view's current content, lines ended by "\n"; empty for a view with no
// text form. With `mark_pc` the disassembly marks the PC's line with "=>".
std::string view_text(Debugger& d, View view, bool mark_pc = false);

// Where the target stands: the source line with its text when the PC is in a
// function with line information, else the disassembly line at the PC.
std::string location_text(Debugger& d);

}  // namespace tav
