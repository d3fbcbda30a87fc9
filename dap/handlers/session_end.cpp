// restart, terminate and disconnect: loading again, and ending.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"
#include "kernel/debugger.h"

namespace tav::dap {

bool load_program(Session& s, std::string& error);

namespace {
// Makes every breakpoint's event again after a load (events on code of the
// old load would point nowhere).
void remake_breakpoints(Session& s) {
  auto remake = [&s](std::vector<BreakpointLink>& links) {
    for (BreakpointLink& link : links) {
      if (link.command.empty()) continue;
      const std::size_t before = s.debugger().events.events().size();
      const CommandResult r = s.command(link.command);
      link.event = r.ok() && s.debugger().events.events().size() > before ? s.debugger().events.GetLastBkptNum() : 0;
    }
  };
  for (auto& [path, links] : s.source_breakpoints) remake(links);
  for (auto* links : {&s.function_breakpoints, &s.instruction_breakpoints, &s.data_breakpoints, &s.console_breakpoints})
    remake(*links);
}
}  // namespace

void restart(Session& s, const Request&, Reply& reply) {
  s.command("del *");
  std::string error;
  if (!load_program(s, error)) return reply.fail(error);
  remake_breakpoints(s);
  s.refs.clear();
  reply.after = [&s] {
    if (s.stop_on_entry)
      s.report_stop("entry");
    else
      s.run("go", "breakpoint", true);
  };
}

void terminate(Session& s, const Request&, Reply& reply) {
  s.terminated = true;
  reply.after = [&s] { s.end_debuggee(); };
}

// The client leaves: a debuggee still there ends with it (a client that
// waits for "terminated" gets it).
void disconnect(Session& s, const Request&, Reply& reply) {
  s.terminated = true;
  reply.after = [&s] { s.end_debuggee(); };
}

}  // namespace tav::dap
