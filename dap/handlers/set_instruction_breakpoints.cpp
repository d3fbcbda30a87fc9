// setInstructionBreakpoints: break events at addresses.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"

namespace tav::dap {

void set_instruction_breakpoints(Session& s, const Request& request, Reply& reply) {
  s.delete_events(s.instruction_breakpoints);
  json result = json::array();
  const auto list = request.arguments.find("breakpoints");
  if (list != request.arguments.end() && list->is_array()) {
    for (const json& bp : *list) {
      BreakpointLink link;
      std::string line, error;
      const auto address = parse_address(string_arg(bp, "instructionReference"));
      if (!address)
        error = "the instruction reference is not an address";
      else
        breakpoint_command(bp, "@" + hex_address(*address + static_cast<std::uint32_t>(int_arg(bp, "offset", 0))),
                           line, error);
      if (!error.empty())
        result.push_back({{"id", link.id = s.next_breakpoint_id()}, {"verified", false}, {"message", error}});
      else
        result.push_back(make_breakpoint(s, line, link));
      s.instruction_breakpoints.push_back(link);
    }
  }
  reply.body = {{"breakpoints", result}};
}

}  // namespace tav::dap
