// next: Steps over calls: one source line of this function (one instruction with granularity "instruction").
#include "dap/handlers/handlers.h"
#include "dap/session.h"

namespace tav::dap {

void next(Session& s, const Request& request, Reply& reply) {
  const bool instruction = string_arg(request.arguments, "granularity") == "instruction";
  reply.after = [&s, instruction] { s.run(instruction ? "istep" : "ostep", "step"); };
}

}  // namespace tav::dap
