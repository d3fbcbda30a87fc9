// stepIn: Steps one source line, into calls (one instruction with granularity "instruction").
#include "dap/handlers/handlers.h"
#include "dap/session.h"

namespace tav::dap {

void step_in(Session& s, const Request& request, Reply& reply) {
  const bool instruction = string_arg(request.arguments, "granularity") == "instruction";
  reply.after = [&s, instruction] { s.run(instruction ? "istep" : "step", "step"); };
}

}  // namespace tav::dap
