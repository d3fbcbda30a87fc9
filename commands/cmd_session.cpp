// "session" and "layout": save (/s, the default) or load (/l) the working
// state or the window arrangement.
#include <cstdio>

#include "kernel/debugger.h"
#include "kernel/files.h"
#include "commands/handlers.h"
#include "kernel/options.h"
#include "kernel/session.h"

namespace tav {

namespace {

const char* session_command(Debugger& d, const char* args, bool full) {
  OptionSpec spec;
  spec.letters = "sl";
  spec.path_args = true;
  OptionSet options;
  const char* rest = parse_options(d, args, spec, options);
  if (!rest) return endof(args);
  const bool load = options.last_of("sl") == 'l';
  std::string name;
  const char* end = file_word(rest, name);
  // A bare name is taken from the current directory.
  if (name.find_first_of("/\\") == std::string::npos) name = "./" + name;
  const std::string path = host_path(name);
  const char* what = full ? "Session" : "Layout";
  std::FILE* f = std::fopen(path.c_str(), load ? "r" : "a");
  if (!f) {
    errout(d, {load ? "Can't Open " : "Can't Write ", what, " File: ", name, "\n"});
    return end;
  }
  std::fclose(f);
  if (load)
    loadsession(d, path, full);
  else
    savesession(d, path, full);
  return end;
}

}  // namespace

const char* cmd_session(Debugger& d, const char* args, int) { return session_command(d, args, true); }
const char* cmd_layout(Debugger& d, const char* args, int) { return session_command(d, args, false); }

}  // namespace tav
