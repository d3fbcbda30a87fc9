// setVariable: "update" on the variable's expression, then its new value.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"
#include "dap/handlers/values.h"

namespace tav::dap {

void set_variable(Session& s, const Request& request, Reply& reply) {
  const json& args = request.arguments;
  if (!require(args, "variablesReference", reply) || !require(args, "name", reply) || !require(args, "value", reply))
    return;
  std::string target;
  ValueScope scope;
  if (!resolve_child(s, int_arg(args, "variablesReference", 0), string_arg(args, "name"), target, scope))
    return reply.fail("unknown variable");
  VariableRow row;
  std::string error;
  if (!assign(s, target, string_arg(args, "value"), scope, format_letter(args), row, error)) return reply.fail(error);
  json v = variable_json(s, row, scope);
  reply.body = {{"value", v["value"]}, {"type", v["type"]}, {"variablesReference", v["variablesReference"]}};
}

}  // namespace tav::dap
