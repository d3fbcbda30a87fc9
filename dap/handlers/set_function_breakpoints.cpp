// setFunctionBreakpoints: break events on function entries, by name.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"

namespace tav::dap {

void set_function_breakpoints(Session& s, const Request& request, Reply& reply) {
  s.delete_events(s.function_breakpoints);
  json result = json::array();
  const auto list = request.arguments.find("breakpoints");
  if (list != request.arguments.end() && list->is_array()) {
    for (const json& bp : *list) {
      BreakpointLink link;
      std::string line, error;
      const std::string name = string_arg(bp, "name");
      if (name.empty() || name.find_first_of(";{}") != std::string::npos)
        error = "not a function name";
      else
        breakpoint_command(bp, name, line, error);
      if (!error.empty()) {
        result.push_back({{"id", link.id = s.next_breakpoint_id()}, {"verified", false}, {"message", error}});
      } else {
        result.push_back(make_breakpoint(s, line, link));
      }
      s.function_breakpoints.push_back(link);
    }
  }
  reply.body = {{"breakpoints", result}};
}

}  // namespace tav::dap
