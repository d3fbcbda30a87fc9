// configurationDone: the program stands at its first C line; it stops there
// ("entry") or runs.
#include "dap/handlers/handlers.h"
#include "dap/session.h"

namespace tav::dap {

void configuration_done(Session& s, const Request&, Reply& reply) {
  reply.after = [&s] {
    if (s.stop_on_entry)
      s.report_stop("entry");
    else
      s.run("go", "breakpoint");
  };
}

}  // namespace tav::dap
