// The text of a view for a host that prints views instead of drawing them
// (the console host): the same view models the desktop host draws.
#pragma once
#include <string>

#include "kernel/host.h"

namespace tav {

class Debugger;

// Lines of the disassembly view the console shows.
inline constexpr unsigned kConsoleDisasmLines = 16;

// The view's current content, lines ended by "\n"; empty for a view with no text form.
std::string view_text(Debugger& d, View view);

}  // namespace tav
