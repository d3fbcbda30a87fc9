// What the variable, evaluation and data-breakpoint handlers share: the
// frame a value is read in, and values as the client's variable objects.
#pragma once
#include <string>

#include "dap/session.h"
#include "expr/frames.h"
#include "ui/model/stack_model.h"
#include "ui/model/variables_model.h"

namespace tav::dap {

struct ValueScope {
  Core core = Core::Cpu12;
  int frame = 0;
};

// The expression that reads the variable `name` shown under `ref` (a
// local, a global, a register or a member), and the frame it is read in.
bool resolve_child(Session& s, std::int64_t ref, const std::string& name, std::string& expression, ValueScope& scope);

// A variable object; an expandable value gets a reference for its children.
json variable_json(Session& s, const VariableRow& row, ValueScope scope);

// Changes a target through "update" and reads it back; false with the error.
bool assign(Session& s, const std::string& target, const std::string& value, ValueScope scope, char letter,
            VariableRow& row, std::string& error);

}  // namespace tav::dap
