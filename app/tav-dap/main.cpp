// tav-dap: the debugger as a debug adapter. It speaks the protocol on
// standard input and output, or with "--dap-port N" to one client that
// connects to 127.0.0.1:N. Standard output is kept for the protocol: anything
// else that writes there goes to standard error instead.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "commands/standard_debugger.h"
#include "dap/dap_host.h"
#include "dap/protocol.h"
#include "dap/server.h"
#include "dap/session.h"
#include "kernel/debugger.h"
#include "kernel/startup.h"

namespace {
constexpr const char* kUsage = "usage: tav-dap [--stdio | --dap-port N]\n";
}

int main(int argc, char** argv) {
  int port = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--dap-port" && i + 1 < argc) {
      port = std::atoi(argv[++i]);
    } else if (arg != "--stdio") {  // standard input and output: the default, also by name
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  std::signal(SIGPIPE, SIG_IGN);  // a client that went away ends the session, not the process

  int in_fd = STDIN_FILENO;
  int out_fd = -1;
  if (port) {
    std::string error;
    in_fd = out_fd = tav::dap::accept_client(port, error);
    if (in_fd < 0) {
      std::fprintf(stderr, "tav-dap: port %d: %s\n", port, error.c_str());
      return 1;
    }
  } else {
    out_fd = ::dup(STDOUT_FILENO);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
  }

  tav::dap::DapHost host;
  tav::StandardDebugger debugger(host);
  tav::dap::Transport out([out_fd](std::string_view framed) { tav::dap::write_all(out_fd, framed); });
  host.attach(out, debugger.run);
  if (const int code = tav::xgate_startup(debugger, tav::executable_directory())) return code;
  tav::startup(debugger, {"-b"});
  {
    tav::dap::Session session(debugger, host, out);
    tav::dap::serve(in_fd, session);
    session.wait_ended();
  }
  tav::shutdown(debugger);
  return 0;
}
