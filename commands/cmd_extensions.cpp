// The console's view of the extension loader: "extensions" lists what was
// found and what is loaded, "extload" and "extclose" load and close one by
// its file name; "extpath" shows or sets the extension path and probes it.
#include <string>

#include "kernel/config.h"
#include "support/profile.h"

#include "kernel/debugger.h"
#include "kernel/files.h"
#include "commands/handlers.h"
#include "kernel/interp.h"

namespace tav {

namespace {

bool have_loader(Debugger& d) {
  if (d.extensions) return true;
  errout(d, {"extensions are not supported by this host\n"});
  return false;
}

std::string file_part(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void list(Debugger& d, const char* title, const std::vector<ExtensionControl::Item>& items, bool loaded) {
  putstrs(d, {title, "\n"});
  if (items.empty()) putout(d, "  (none)\n");
  for (const auto& item : items) {
    std::string line = "  " + file_part(item.path) + "  " + item.description;
    if (!item.command.empty()) line += "  [command: " + item.command + "]";
    if (loaded && item.autoloaded) line += "  [autoloaded]";
    putout(d, line + "\n");
  }
}

// Loads or closes the extension named by the argument.
const char* by_name(Debugger& d, const char* args, bool load) {
  if (!have_loader(d)) return endof(args);
  if (d.run.running) {
    d.host.beep();
    return endof(args);
  }
  std::string name;
  const char* end = file_word(args, name);
  if (name.empty()) {
    errout(d, {load ? "extload" : "extclose", ": extension name expected\n"});
    return end;
  }
  std::string reason;
  if (load ? d.extensions->load(name, reason) : d.extensions->close(name, reason))
    putstrs(d, {load ? "Loaded " : "Closed ", name, "\n"});
  else
    errout(d, {load ? "Can't load extension " : "Can't close extension ", name, ": ", reason, "\n"});
  return end;
}

}  // namespace

const char* cmd_extensions(Debugger& d, const char* args, int) {
  if (!have_loader(d)) return endof(args);
  list(d, "Available extensions:", d.extensions->available(), false);
  list(d, "Loaded extensions:", d.extensions->loaded(), true);
  return endof(args);
}

const char* cmd_extload(Debugger& d, const char* args, int) { return by_name(d, args, true); }
const char* cmd_extclose(Debugger& d, const char* args, int) { return by_name(d, args, false); }

// "extpath": the directories of Options/ExtenPath; "extpath <dirs>" replaces
// them ("|"-separated; "" empties it) and probes the new ones.
const char* cmd_extpath(Debugger& d, const char* args, int) {
  if (!have_loader(d)) return endof(args);
  std::string path;
  const char* end = file_word(args, path);
  if (end == skipblanks(args)) {
    const std::string current = config_read(d, "Options", "ExtenPath", "");
    putstrs(d, {"Extension path: ", current.empty() ? "(none)" : current, "\n"});
    return end;
  }
  if (d.run.running) {
    d.host.beep();
    return endof(args);
  }
  profile_write(d.config_file, "Options", "ExtenPath", path);
  d.extensions->scan_path();
  d.host.status(StatusField::Left, " Command");
  return end;
}

}  // namespace tav
