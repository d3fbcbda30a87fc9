#include "kernel/startup.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "kernel/config.h"
#include "kernel/debugger.h"
#include "kernel/files.h"

namespace tav {

namespace {
std::string join_from(const std::vector<std::string>& args, std::size_t i, std::size_t skip) {
  std::string out;
  for (std::size_t j = i; j < args.size(); ++j) {
    if (j > i) out += ' ';
    out += j == i ? args[j].substr(skip) : args[j];
  }
  return out;
}
std::string unquote(std::string s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}
}  // namespace

HostOptions startup(Debugger& d, const std::vector<std::string>& args) {
  HostOptions host;
  apply_config(d);

  std::optional<std::string> start_file;
  bool illegal = false;
  std::size_t i = 0;
  for (; i < args.size() && !args[i].empty() && args[i][0] == '-'; ++i) {
    const std::string& a = args[i];
    char letter = a.size() > 1 ? a[1] : '\0';
    bool takes_value = letter == 'i' || letter == 's' || letter == 'p';
    std::optional<std::string> value;
    if (takes_value) {
      if (a.size() > 2)
        value = a.substr(2);
      else if (i + 1 < args.size())
        value = args[++i];
    }
    bool ok = takes_value ? value.has_value() : a.size() == 2;
    if (ok) {
      switch (letter) {
        case 'i': start_file = unquote(*value); continue;
        case 's': docmd(d, ("session /l " + unquote(*value)).c_str(), 1); continue;
        case 'p': set_source_path(d, unquote(*value)); continue;
        case 'v': d.kernel.echo_off = true; continue;
        case 'e': d.kernel.error_locations = true; continue;
        case 'r': docmd(d, "remote", 1); continue;
        case 'b': host.no_banner = true; continue;
        case 'm': host.minimized = true; continue;
        case 'D': host.dash_d = true; continue;
        default: break;
      }
    }
    errout(d, {"Illegal Option: ", join_from(args, i, 1)});
    illegal = true;
    break;
  }
  if (!illegal && i < args.size()) {
    // The rest names one program; quotes keep a name with blanks whole.
    std::string program = join_from(args, i, 0);
    if (program.find_first_of(" \t") != std::string::npos && program.find('"') == std::string::npos)
      program = '"' + program + '"';
    docmd(d, ("load " + program).c_str(), 1);
  }

  if (start_file) {
    cmdfile(d, start_file->c_str());
  } else if (std::string f = config_read(d, "Options", "STARTFILE", ""); !f.empty()) {
    cmdfile(d, f.c_str());
  }
  return host;
}

void shutdown(Debugger& d) {
  if (std::string f = config_read(d, "Options", "ENDFILE", ""); !f.empty()) cmdfile(d, f.c_str());
  xgate_lib_shutdown(d.xgate_library, d.registers);
}

std::string executable_directory() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return self.parent_path().string();
}

int xgate_startup(Debugger& d, const std::string& program_dir) {
  return xgate_lib_startup(d.xgate_library, program_dir, d.registers, nullptr, nullptr,
                           [&d](std::string_view text) { errout(d, {text, "\n"}); });
}

}  // namespace tav
