// stepOut: Runs until the current function returns.
#include "dap/handlers/handlers.h"
#include "dap/session.h"

namespace tav::dap {

void step_out(Session& s, const Request&, Reply& reply) {
  reply.after = [&s] { s.run("finish", "step"); };
}

}  // namespace tav::dap
