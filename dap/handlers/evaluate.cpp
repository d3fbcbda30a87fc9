// evaluate: an expression in a frame; in the debug console a line that
// starts with the command prefix (">") runs as a Tav command line and its
// output is the result.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"
#include "dap/handlers/values.h"
#include "kernel/debugger.h"

namespace tav::dap {

void evaluate(Session& s, const Request& request, Reply& reply) {
  const json& args = request.arguments;
  if (!require(args, "expression", reply)) return;
  const std::string expression = string_arg(args, "expression");
  const std::string context = string_arg(args, "context", "repl");
  if (context == "repl" && !s.command_prefix.empty() && expression.rfind(s.command_prefix, 0) == 0) {
    const std::string line = expression.substr(s.command_prefix.size());
    CommandResult r;
    // A command that ran the target moved it: the client reads its state again.
    if (s.run_command(line, r)) reply.after = [&s] {
      s.refs.clear();
      s.report_last_run("step");
    };
    std::string text = r.output;
    if (r.error) text += *r.error;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    reply.body = {{"result", text}, {"variablesReference", 0}};
    return;
  }
  const FrameRef frame = requested_frame(args);
  const ValueScope scope{frame.core, frame.index};
  FrameSelection selection(s.debugger(), scope.core, scope.frame);
  VariableRow row;
  std::string error;
  // Only the console may change the target: hovers and watches read.
  if (!evaluate_row(s.debugger(), expression, format_letter(args), context == "repl", row, error))
    return reply.fail(error);
  json v = variable_json(s, row, scope);
  reply.body = {{"result", v["value"]}, {"type", v["type"]}, {"variablesReference", v["variablesReference"]}};
  if (v.contains("memoryReference")) reply.body["memoryReference"] = v["memoryReference"];
}

}  // namespace tav::dap
