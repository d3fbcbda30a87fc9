// dataBreakpointInfo and setDataBreakpoints: data events on variables in
// target memory, by the expression that names them.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"
#include "dap/handlers/values.h"
#include "kernel/debugger.h"
#include "ui/model/variables_model.h"

namespace tav::dap {

void data_breakpoint_info(Session& s, const Request& request, Reply& reply) {
  const json* name = require(request.arguments, "name", reply);
  if (!name) return;
  std::string expression = name->is_string() ? name->get<std::string>() : std::string();
  ValueScope scope;
  if (request.arguments.contains("variablesReference")) {
    if (!resolve_child(s, int_arg(request.arguments, "variablesReference", 0), expression, expression, scope))
      expression.clear();
  }
  VariableRow row;
  std::string error;
  if (!expression.empty()) {
    FrameSelection selection(s.debugger(), scope.core, scope.frame);
    if (!evaluate_row(s.debugger(), expression, 0, false, row, error)) row.in_memory = false;
  }
  if (expression.empty() || !row.in_memory) {
    reply.body = {{"dataId", nullptr}, {"description", "not a variable in target memory"}};
    return;
  }
  reply.body = {{"dataId", expression},
                {"description", expression + " at " + hex_address(row.address)},
                {"accessTypes", {"read", "write", "readWrite"}},
                {"canPersist", false}};
}

void set_data_breakpoints(Session& s, const Request& request, Reply& reply) {
  s.delete_events(s.data_breakpoints);
  json result = json::array();
  const auto list = request.arguments.find("breakpoints");
  if (list != request.arguments.end() && list->is_array()) {
    for (const json& bp : *list) {
      BreakpointLink link;
      const std::string expression = string_arg(bp, "dataId");
      const std::string access = string_arg(bp, "accessType", "write");
      const char kind = access == "read" ? 'r' : access == "readWrite" ? 'a' : 'w';
      std::string count;
      if (const std::string hits = string_arg(bp, "hitCondition"); !hits.empty()) count = "/C:" + hits + " ";
      if (expression.empty() || expression.find_first_of(";{}") != std::string::npos) {
        result.push_back({{"id", link.id = s.next_breakpoint_id()}, {"verified", false}, {"message", "no data id"}});
      } else {
        result.push_back(make_breakpoint(s, std::string("dbreak /T:") + kind + " " + count + expression, link));
      }
      s.data_breakpoints.push_back(link);
    }
  }
  reply.body = {{"breakpoints", result}};
}

}  // namespace tav::dap
