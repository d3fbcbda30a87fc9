// threads: the CPU12, and the XGATE while the program has XGATE code.
#include "dap/handlers/handlers.h"
#include "dap/session.h"

namespace tav::dap {

void threads(Session& s, const Request&, Reply& reply) {
  json list = json::array();
  for (int id : s.thread_ids()) list.push_back({{"id", id}, {"name", id == kCpu12Thread ? "CPU12" : "XGATE"}});
  reply.body = {{"threads", list}};
}

}  // namespace tav::dap
