#include "dap/handlers/values.h"

#include "dap/handlers/common.h"
#include "kernel/debugger.h"

namespace tav::dap {

bool resolve_child(Session& s, std::int64_t ref, const std::string& name, std::string& expression, ValueScope& scope) {
  const VarNode* node = s.refs.find(ref);
  if (!node) return false;
  scope = {node->xgate ? Core::Xgate : Core::Cpu12, node->frame};
  switch (node->kind) {
    case VarNode::Kind::Locals:
    case VarNode::Kind::Globals:
      expression = name;
      return true;
    case VarNode::Kind::Registers:
      expression = "$" + name;
      return true;
    case VarNode::Kind::Value: {
      FrameSelection selection(s.debugger(), scope.core, scope.frame);
      for (const VariableRow& row : value_children(s.debugger(), node->expression, 0, 65536))
        if (row.name == name) {
          expression = row.expression;
          return true;
        }
      return false;
    }
  }
  return false;
}

json variable_json(Session& s, const VariableRow& row, ValueScope scope) {
  json v = {{"name", row.name}, {"value", row.value}, {"type", row.type}, {"evaluateName", row.expression}};
  int ref = 0;
  if (row.expandable) ref = s.refs.add({VarNode::Kind::Value, scope.frame, scope.core == Core::Xgate, row.expression});
  v["variablesReference"] = ref;
  if (row.in_memory) v["memoryReference"] = hex_address(row.address);
  return v;
}

bool assign(Session& s, const std::string& target, const std::string& value, ValueScope scope, char letter,
            VariableRow& row, std::string& error) {
  if (value.find_first_of(";{}") != std::string::npos) {
    error = "a value cannot contain ';' or braces";
    return false;
  }
  FrameSelection selection(s.debugger(), scope.core, scope.frame);
  const CommandResult r = s.command("update " + target + " = " + value);
  if (!r.ok()) {
    error = *r.error;
    return false;
  }
  return evaluate_row(s.debugger(), target, letter, false, row, error);
}

}  // namespace tav::dap
