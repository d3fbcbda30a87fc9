// setFunctionBreakpoints: break events on function entries, by name.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"

namespace tav::dap {

void set_function_breakpoints(Session& s, const Request& request, Reply& reply) {
  replace_breakpoints(s, request, reply, s.function_breakpoints, [](const json& bp, std::string& error) {
    const std::string name = string_arg(bp, "name");
    if (name.empty() || name.find_first_of(";{}") != std::string::npos) error = "not a function name";
    return name;
  });
}

}  // namespace tav::dap
