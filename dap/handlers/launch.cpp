// launch: loads the program (it stops at its first C line), after the
// initCommands and before the preRunCommands; the client then sets its
// breakpoints and says configurationDone.
#include <filesystem>
#include <unistd.h>

#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"

namespace tav::dap {

namespace {

std::vector<std::string> string_list(const json& args, const char* name) {
  std::vector<std::string> out;
  const auto it = args.find(name);
  if (it == args.end()) return out;
  if (it->is_string()) out.push_back(it->get<std::string>());
  if (it->is_array())
    for (const json& item : *it)
      if (item.is_string()) out.push_back(item.get<std::string>());
  return out;
}

}  // namespace

// Loads the program named by the launch arguments; false with the error.
bool load_program(Session& s, std::string& error) {
  const CommandResult r = s.command("load " + s.program);
  if (!r.ok()) {
    error = *r.error;
    return false;
  }
  if (!r.output.empty()) s.out().event("output", {{"category", "console"}, {"output", r.output}});
  return true;
}

void launch(Session& s, const Request& request, Reply& reply) {
  const json& args = request.arguments;
  if (s.launched) return reply.fail("a program is already launched");
  const std::string program = string_arg(args, "program");
  if (program.empty()) return reply.fail("launch needs 'program': the file to debug");
  const std::string cwd = string_arg(args, "cwd");
  if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) return reply.fail("cannot change to the directory " + cwd);

  namespace fs = std::filesystem;
  std::error_code ec;
  s.program = fs::absolute(program, ec).lexically_normal().string();
  s.stop_on_entry = bool_arg(args, "stopOnEntry", false);
  s.command_prefix = string_arg(args, "commandPrefix", ">");
  s.source_dirs = string_list(args, "sourcePath");
  s.source_dirs.push_back(fs::path(s.program).parent_path().string());
  s.source_dirs.push_back(fs::current_path(ec).string());
  s.launch_arguments = args;

  // The stop request is a command only in internals mode: conditional
  // breakpoints stop with it.
  s.command("internals");
  for (const std::string& line : string_list(args, "initCommands")) s.console_command(line);
  std::string error;
  if (!load_program(s, error)) return reply.fail(error);
  for (const std::string& line : string_list(args, "preRunCommands")) s.console_command(line);
  s.launched = true;
  reply.after = [&s] { s.out().event("initialized"); };
}

void attach(Session&, const Request&, Reply& reply) {
  reply.fail("attach is not supported: the target is simulated, use launch");
}

}  // namespace tav::dap
