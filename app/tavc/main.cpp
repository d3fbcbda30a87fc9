// tavc: the debugger on a terminal, or driven through pipes and scripts.
// "--kernel" runs the kernel console (prompt "-> ") after start-up instead
// of the command window; "q" ends it and tavc with it.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands/standard_debugger.h"
#include "kconsole/kelm.h"
#include "kernel/startup.h"
#include "ui/console/console_host.h"

int main(int argc, char** argv) {
  tav::ConsoleHost host;
  tav::StandardDebugger debugger(host);
  host.attach(debugger);
  // Without its XGATE support library (XGATEDLLS/XGATE.so beside tavc) the
  // debugger cannot run: the error is shown and tavc ends with 2000.
  if (const int code = tav::xgate_startup(debugger, tav::executable_directory())) std::exit(code);

  std::vector<std::string> args(argv + 1, argv + argc);
  const auto kernel_option = std::find(args.begin(), args.end(), "--kernel");
  const bool kernel_console = kernel_option != args.end();
  if (kernel_console) args.erase(kernel_option);

  tav::startup(debugger, args);
  if (!kernel_console)
    host.run(debugger);
  else if (!debugger.kernel.ending())
    debugger.kelm.kelm_exec(nullptr, 1);
  tav::shutdown(debugger);
  return 0;
}
