// continue: Runs until a breakpoint, a pause or a fault.
#include "dap/handlers/handlers.h"
#include "dap/session.h"

namespace tav::dap {

void continue_(Session& s, const Request&, Reply& reply) {
  reply.body = {{"allThreadsContinued", true}};
  reply.after = [&s] { s.run("go", "breakpoint"); };
}

}  // namespace tav::dap
