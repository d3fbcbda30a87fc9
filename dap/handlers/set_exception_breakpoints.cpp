// setExceptionBreakpoints: the simulator always stops at an instruction it
// cannot execute; there is nothing to choose.
#include "dap/handlers/handlers.h"
#include "dap/session.h"

namespace tav::dap {

void set_exception_breakpoints(Session&, const Request&, Reply& reply) {
  reply.body = {{"breakpoints", json::array()}};
}

}  // namespace tav::dap
