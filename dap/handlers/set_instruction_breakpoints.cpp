// setInstructionBreakpoints: break events at addresses.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"

namespace tav::dap {

void set_instruction_breakpoints(Session& s, const Request& request, Reply& reply) {
  replace_breakpoints(s, request, reply, s.instruction_breakpoints, [](const json& bp, std::string& error) {
    const auto address = parse_address(string_arg(bp, "instructionReference"));
    if (!address) {
      error = "the instruction reference is not an address";
      return std::string();
    }
    return "@" + hex_address(*address + static_cast<std::uint32_t>(int_arg(bp, "offset", 0)));
  });
}

}  // namespace tav::dap
