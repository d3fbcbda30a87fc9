// setBreakpoints: the whole list of one source file, replaced each time.
#include <filesystem>

#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"

namespace tav::dap {

void set_breakpoints(Session& s, const Request& request, Reply& reply) {
  const json* source = require(request.arguments, "source", reply);
  if (!source) return;
  std::string path = string_arg(*source, "path");
  if (path.empty()) path = string_arg(*source, "name");
  if (path.empty()) return reply.fail("the source has neither a path nor a name");
  // The debug tables name files without their directories.
  const std::string file = std::filesystem::path(path).filename().string();

  replace_breakpoints(s, request, reply, s.source_breakpoints[path], [&file](const json& bp, std::string& error) {
    const std::int64_t number = int_arg(bp, "line", 0);
    if (number <= 0) {
      error = "no line";
      return std::string();
    }
    return file + ":" + std::to_string(number);
  });
}

}  // namespace tav::dap
