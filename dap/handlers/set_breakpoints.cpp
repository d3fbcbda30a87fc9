// setBreakpoints: the whole list of one source file, replaced each time.
#include <filesystem>

#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"

namespace tav::dap {

void set_breakpoints(Session& s, const Request& request, Reply& reply) {
  const json* source = require(request.arguments, "source", reply);
  if (!source) return;
  std::string path = string_arg(*source, "path");
  if (path.empty()) path = string_arg(*source, "name");
  if (path.empty()) return reply.fail("the source has neither a path nor a name");
  // The debug tables name files without their directories.
  const std::string file = std::filesystem::path(path).filename().string();

  std::vector<BreakpointLink>& links = s.source_breakpoints[path];
  s.delete_events(links);
  json result = json::array();
  const auto list = request.arguments.find("breakpoints");
  if (list != request.arguments.end() && list->is_array()) {
    for (const json& bp : *list) {
      BreakpointLink link;
      std::string line, error;
      const std::int64_t number = int_arg(bp, "line", 0);
      if (number <= 0) {
        result.push_back({{"id", link.id = s.next_breakpoint_id()}, {"verified", false}, {"message", "no line"}});
        continue;
      }
      if (!breakpoint_command(bp, file + ":" + std::to_string(number), line, error)) {
        result.push_back({{"id", link.id = s.next_breakpoint_id()}, {"verified", false}, {"message", error}});
        links.push_back(link);
        continue;
      }
      json made = make_breakpoint(s, line, link);
      if (!made.contains("line")) made["line"] = number;
      result.push_back(std::move(made));
      links.push_back(link);
    }
  }
  reply.body = {{"breakpoints", result}};
}

}  // namespace tav::dap
