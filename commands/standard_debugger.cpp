#include "commands/standard_debugger.h"

#include "commands/command_table.h"

namespace tav {

StandardDebugger::StandardDebugger(Host& host)
    : Debugger(host, DebuggerParts{execution_, low_breaks_, kelm_, cmdtab}) {
  execution_.set_kernel_break(&low_breaks_);
}

// A run that "start" began uses every part of the debugger: it ends first.
StandardDebugger::~StandardDebugger() { execution_.join(); }

}  // namespace tav
