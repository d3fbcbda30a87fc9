// loadedSources: the source files of the debug tables.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"
#include "kernel/debugger.h"

namespace tav::dap {

void loaded_sources(Session& s, const Request&, Reply& reply) {
  json list = json::array();
  for (const FileEntry* file : s.debugger().program.tables().files()) list.push_back(source_json(s, std::string(file->name)));
  reply.body = {{"sources", list}};
}

}  // namespace tav::dap
