// A command table: command words with their flags and handlers.
#pragma once
#include <cstdint>
#include <string_view>

namespace tav {

class Debugger;

// A handler gets the text after the command word (blanks skipped) and the
// caller's mode word; it returns where its parsing stopped.
using CmdHandler = const char* (*)(Debugger& d, const char* args, int mode);

enum CmdFlag : std::uint16_t {
  kCmdNoUpdate = 0x0004,   // no after-command refresh
  kCmdNeedsDebug = 0x0010, // refused while no program with C source is loaded
  kCmdFrame = 0x0020,      // works on a stack frame (not tested by the interpreter)
  kCmdLoad = 0x0040,       // loads or restarts the program (not tested by the interpreter)
  kCmdInternal = 0x0100,   // known only in internals mode
};

struct CmdEntry {
  const char* name;  // lower case; null ends the table
  std::uint16_t length;
  std::uint16_t flags;
  CmdHandler handler;
};

// The entry of the debugger's command table whose name is the first word of `word` (case-insensitive, whole
// word only), or null.
const CmdEntry* findcmd(const Debugger& d, const char* word);

}  // namespace tav
