// setExpression: "update" on an expression in a frame, then its new value.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"
#include "dap/handlers/values.h"

namespace tav::dap {

void set_expression(Session& s, const Request& request, Reply& reply) {
  const json& args = request.arguments;
  if (!require(args, "expression", reply) || !require(args, "value", reply)) return;
  const FrameRef frame = requested_frame(args);
  const ValueScope scope{frame.core, frame.index};
  VariableRow row;
  std::string error;
  if (!assign(s, string_arg(args, "expression"), string_arg(args, "value"), scope, format_letter(args), row, error))
    return reply.fail(error);
  json v = variable_json(s, row, scope);
  reply.body = {{"value", v["value"]}, {"type", v["type"]}, {"variablesReference", v["variablesReference"]}};
}

}  // namespace tav::dap
