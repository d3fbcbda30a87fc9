// The texts of call-stack frames and variables shared by the "stack" and
// "frame" commands and the views.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "expr/frames.h"
#include "kernel/view_state.h"

namespace tav {

class Debugger;
struct FileEntry;
struct FunctionBlock;
struct SymbolEntry;

// One line per frame, innermost first (CPU12 frames, then XGATE frames):
// "  #0  fib()  main.c:34  frame 0x3FF0"; the current frame is marked ">".
std::vector<std::string> frame_lines(Debugger& d);
// The line of one frame, as listed above.
std::string frame_line(Debugger& d, const Frame& frame, int number, bool current);

// "    auto int i = 5" (with `address`: " at 0x0FE010" before the value). A
// variable whose frame is needed but missing shows " (no frame)" instead.
std::string variable_line(Debugger& d, const SymbolEntry& entry, const Frame* frame, bool with_value,
                          bool with_address);
// Entries the variable listings skip: typedefs, enumerators, nameless entries.
bool listed_variable(const SymbolEntry& entry);
// True when the variable lives in its function's frame (arguments, autos, registers).
bool needs_frame(const SymbolEntry& entry);

}  // namespace tav
