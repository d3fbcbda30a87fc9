// variables: the rows of a scope or the children of a value, from the
// variables and register models.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"
#include "dap/handlers/values.h"
#include "kernel/debugger.h"
#include "ui/model/register_model.h"

namespace tav::dap {

namespace {
// Elements of an array the client gets at most in one list.
constexpr std::size_t kChildLimit = 1000;

std::string register_text(const RegisterRow& r, bool hex) {
  if (!hex && r.bits <= 8) return std::to_string(r.value);
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", static_cast<int>((r.bits + 3) / 4), r.value);
  return text;
}
}  // namespace

void variables(Session& s, const Request& request, Reply& reply) {
  const json* ref = require(request.arguments, "variablesReference", reply);
  if (!ref) return;
  const VarNode* node = s.refs.find(ref->is_number_integer() ? ref->get<std::int64_t>() : 0);
  if (!node) return reply.fail("unknown variables reference");
  const VarNode at = *node;  // adding references below may move the table
  const char letter = format_letter(request.arguments);
  const ValueScope scope{at.xgate ? Core::Xgate : Core::Cpu12, at.frame};
  Debugger& d = s.debugger();
  std::vector<VariableRow> rows;
  json list = json::array();
  switch (at.kind) {
    case VarNode::Kind::Locals: {
      FrameSelection selection(d, scope.core, scope.frame);
      if (selection.frame()) rows = frame_variables(d, *selection.frame(), letter);
      break;
    }
    case VarNode::Kind::Globals:
      rows = global_variables(d, letter);
      break;
    case VarNode::Kind::Value: {
      FrameSelection selection(d, scope.core, scope.frame);
      rows = value_children(d, at.expression, letter, kChildLimit);
      break;
    }
    case VarNode::Kind::Registers: {
      const bool hex = true;
      for (const RegisterRow& r : at.xgate ? xgate_register_rows(d.registers) : cpu12_register_rows(d.registers))
        list.push_back({{"name", r.name},
                        {"value", register_text(r, hex || letter)},
                        {"evaluateName", "$" + r.name},
                        {"variablesReference", 0}});
      break;
    }
  }
  for (const VariableRow& row : rows) list.push_back(variable_json(s, row, scope));
  reply.body = {{"variables", list}};
}

}  // namespace tav::dap
