// tavc: the debugger on a terminal, or driven through pipes and scripts.
// "--kernel" runs the kernel console (prompt "-> ") after start-up instead
// of the command window; "q" ends it and tavc with it.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands/standard_debugger.h"
#include "kconsole/kelm.h"
#include "ext/api/api_binding.h"
#include "ext/loader/extension_loader.h"
#include "kernel/startup.h"
#include "ui/console/console_host.h"

int main(int argc, char** argv) {
  tav::ConsoleHost host;
  tav::StandardDebugger debugger(host);
  host.attach(debugger);
  // Without its XGATE support library (XGATEDLLS/XGATE.so beside tavc) the
  // debugger cannot run: the error is shown and tavc ends with 2000.
  if (const int code = tav::xgate_startup(debugger, tav::executable_directory())) std::exit(code);

  // Extensions talk to this debugger; they are found beside tavc and on the
  // configuration's extension path, and closed when tavc ends.
  const std::string program_dir = tav::executable_directory();
  tav::bind_extension_api(&debugger, program_dir + "/tavc");
  tav::ExtensionLoader extensions(debugger, program_dir);
  extensions.startup_scan();

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
  extensions.close_all();
  tav::bind_extension_api(nullptr, {});
  return 0;
}
