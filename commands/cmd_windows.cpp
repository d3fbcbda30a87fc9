// The main frame's window commands: "cmdwin", "maximize", "minimize". The
// host decides what they mean; a host without such windows ignores them.
#include "kernel/debugger.h"
#include "commands/handlers.h"
#include "kernel/options.h"

namespace tav {

const char* cmd_cmdwin(Debugger& d, const char* args, int) {
  OptionSpec spec;
  spec.letters = "hs";
  OptionSet options;
  const char* rest = parse_options(d, args, spec, options);
  if (!rest) return endof(args);
  if (options.last_of("hs") == 'h')
    d.host.hide_command_window();
  else
    d.host.open_command_window();
  return rest;
}

const char* cmd_maximize(Debugger& d, const char* args, int) {
  d.host.show_main_window(MainWindowState::Maximized);
  return args;
}

const char* cmd_minimize(Debugger& d, const char* args, int) {
  d.host.show_main_window(MainWindowState::Minimized);
  return args;
}

}  // namespace tav
