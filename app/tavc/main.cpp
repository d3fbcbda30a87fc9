// tavc: the debugger on a terminal, or driven through pipes and scripts.
#include <string>
#include <vector>

#include "kernel/debugger.h"
#include "kernel/startup.h"
#include "ui/console/console_host.h"

int main(int argc, char** argv) {
  tav::ConsoleHost host;
  tav::Debugger debugger(host);
  host.attach(debugger);

  std::vector<std::string> args(argv + 1, argv + argc);
  tav::startup(debugger, args);
  host.run(debugger);
  tav::shutdown(debugger);
  return 0;
}
