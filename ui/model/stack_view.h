// The stack view: the call frames the debugger follows, innermost first,
// under the heading "STACK LAYOUT"; the current frame is marked ">".
#pragma once
#include <string>

namespace tav {

class Debugger;

// The view's text, lines ended by "\n".
std::string stack_view_text(Debugger& d);
// What "Save" writes: the frames under "\n\t\tStack Layout\n\n".
std::string stack_save_text(Debugger& d);

}  // namespace tav
