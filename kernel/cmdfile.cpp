#include <cstring>
#include <string>

#include "kernel/debugger.h"
#include "kernel/files.h"
#include "support/messages.h"

namespace tav {

namespace {
// Command files may run command files; a file that runs itself must end
// somewhere short of the stack's end.
constexpr int kMaxNesting = 100;

FilePtr open_command_file(const Debugger& d, const std::string& name) {
  FilePtr f(std::fopen(name.c_str(), "r"));
  std::string_view path = d.source_path;
  while (!f && !path.empty()) {
    std::size_t bar = path.find('|');
    std::string dir(path.substr(0, bar));
    path = bar == std::string_view::npos ? std::string_view() : path.substr(bar + 1);
    if (dir.empty()) continue;
    dir = host_path(dir);
    if (dir.back() == '/') dir.pop_back();
    f.reset(std::fopen((dir + "/" + name).c_str(), "r"));
  }
  return f;
}
}  // namespace

int cmdfile(Debugger& d, const char* name) {
  KernelState& k = d.kernel;
  FilePtr f;
  if (k.cmdfile_depth < kMaxNesting) f = open_command_file(d, host_path(name));
  if (!f) {
    errout(d, {name, ": ", msgtext(22), "\n"});
    return 0;
  }
  ++k.cmdfile_depth;
  bool close_seen = false;
  char line[512];
  while (std::fgets(line, sizeof line, f.get())) {
    k.in_command_file = true;
    std::size_t n = std::strlen(line);
    if (n >= 2 && line[n - 2] == '\r' && line[n - 1] == '\n') {
      line[n - 2] = '\n';
      line[--n] = '\0';
    }
    if (!k.echo_off) putout(d, line, n);
    if (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r')) line[--n] = '\0';
    docmd(d, line, 1);
    if (!close_seen && d.host.pump_events()) close_seen = true;
  }
  k.in_command_file = false;
  --k.cmdfile_depth;
  if (close_seen) k.close_requested = true;
  return 1;
}

}  // namespace tav
