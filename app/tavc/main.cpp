// tavc: the debugger on a terminal, or driven through pipes and scripts.
// "--kernel" runs the kernel console (prompt "-> ") after start-up instead
// of the command window; "q" ends it and tavc with it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "commands/standard_debugger.h"
#include "kconsole/kelm.h"
#include "ext/api/api_binding.h"
#include "ext/loader/extension_loader.h"
#include "kernel/startup.h"
#include "ui/console/console_host.h"

namespace {

constexpr const char* kUsage =
    "usage: tavc [options] [program]\n"
    "  -i file     run a command file after start-up (instead of Options/STARTFILE)\n"
    "  -s file     load a session file\n"
    "  -p path     set the source search path (directories separated by |)\n"
    "  -v          quiet: command-file lines and created events are not echoed\n"
    "  -e          #error: lines of command files name the file and line\n"
    "  -r          run the command \"remote\"\n"
    "  -b, -m, -D  accepted; nothing to do for a console\n"
    "  --kernel    the kernel console (prompt \"-> \") instead of the command window\n"
    "  --no-peripherals  the peripheral models (IOREGS) are not loaded by themselves\n"
    "  --realtime  runs take as long as the simulated time (bus clock from the CRG)\n"
    "  --where     after each run show where the target stopped, and mark the PC in\n"
    "              disa (the default when standard input is a terminal); --no-where\n"
    "  --help      this text;  --version  the version\n"
    "Standard input a terminal: an interactive prompt \"Tav>\" (\"help\" lists the\n"
    "commands); otherwise one command per line. Exit status: 0, or 1 when a\n"
    "command reported an error.\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // The questions about tavc itself are answered before any debugger exists.
  for (const std::string& a : args) {
    if (a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--version") {
      std::printf("tavc %s\n", TAV_VERSION);
      return 0;
    }
    if (a.empty() || a[0] != '-') break;  // the program's name and what follows it
  }

  tav::ConsoleHost host;
  tav::StandardDebugger debugger(host);
  host.attach(debugger);
  // Without its XGATE support library (XGATEDLLS/XGATE.so beside tavc) the
  // debugger cannot run: the error is shown and tavc ends with 2000.
  if (const int code = tav::xgate_startup(debugger, tav::executable_directory())) std::exit(code);

  // Extensions talk to this debugger; they are found beside tavc and on the
  // configuration's extension path, and closed when tavc ends.
  const std::string program_dir = tav::executable_directory();
  bool realtime = false;
  tav::bind_extension_api(&debugger, program_dir + "/tavc");
  tav::ExtensionLoader extensions(debugger, program_dir);
  for (const char* option : {"--no-peripherals", "--realtime"}) {
    const auto at = std::find(args.begin(), args.end(), option);
    if (at == args.end()) continue;
    if (option == std::string_view("--no-peripherals")) extensions.set_peripherals(false);
    else realtime = true;
    args.erase(at);
  }
  extensions.startup_scan();
  // Real-time pacing is the CRG's: it knows the bus clock.
  if (realtime && !debugger.ext_commands.offer("crg realtime on"))
    std::fputs("Error: --realtime: the crg extension is not loaded\n", stderr);

  for (const char* option : {"--where", "--no-where"}) {
    const auto at = std::find(args.begin(), args.end(), option);
    if (at == args.end()) continue;
    host.set_show_location(option == std::string_view("--where"));
    args.erase(at);
  }
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
  // A script run through tavc tells its caller whether every command worked.
  return debugger.kernel.errors_shown ? 1 : 0;
}
