// stackTrace: the frames of a thread's core from the stack model; a frame
// without source is named by its address.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"
#include "kernel/debugger.h"
#include "ui/model/stack_model.h"

namespace tav::dap {

void stack_trace(Session& s, const Request& request, Reply& reply) {
  const std::int64_t thread = int_arg(request.arguments, "threadId", kCpu12Thread);
  const Core core = thread == kXgateThread ? Core::Xgate : Core::Cpu12;
  std::vector<StackRow> rows = stack_rows(s.debugger(), core);
  // An XGATE with no thread under way still has a place: its program counter.
  if (rows.empty() && core == Core::Xgate && !s.debugger().xgate_code.empty())
    rows.push_back(pc_row(s.debugger(), core));
  const std::int64_t start = std::max<std::int64_t>(0, int_arg(request.arguments, "startFrame", 0));
  std::int64_t levels = int_arg(request.arguments, "levels", 0);
  if (levels <= 0) levels = static_cast<std::int64_t>(rows.size());
  json frames = json::array();
  for (std::int64_t i = start; i < static_cast<std::int64_t>(rows.size()) && i < start + levels; ++i) {
    const StackRow& row = rows[static_cast<std::size_t>(i)];
    json f = {{"id", frame_id(core, row.index)},
              {"name", row.function.empty() ? hex_address(row.address) : row.function},
              {"line", row.line},
              {"column", row.file.empty() ? 0 : 1},
              {"instructionPointerReference", hex_address(row.address)}};
    if (!row.file.empty())
      f["source"] = source_json(s, row.file);
    else
      f["presentationHint"] = "subtle";
    frames.push_back(std::move(f));
  }
  reply.body = {{"stackFrames", frames}, {"totalFrames", rows.size()}};
}

}  // namespace tav::dap
