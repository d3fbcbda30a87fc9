#include "kernel/config.h"

#include <cstdlib>

#include "kernel/debugger.h"
#include "support/profile.h"

namespace tav {

namespace {
std::string with_slash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}
const char* env(const char* name) {
  const char* v = std::getenv(name);
  return (v && *v) ? v : nullptr;
}
}  // namespace

std::string config_file_path() {
  std::string dir;
  if (const char* v = env("TAV_CONFIG_DIR")) {
    dir = with_slash(v);
  } else if (const char* x = env("XDG_CONFIG_HOME")) {
    dir = with_slash(x) + "tav/";
  } else if (const char* h = env("HOME")) {
    dir = with_slash(h) + ".config/tav/";
  } else {
    dir = "./";
  }
  return dir + kConfigName;
}

std::string config_read(const Debugger& d, std::string_view section, std::string_view key,
                        std::string_view fallback) {
  return profile_read(d.config_file, section, key, fallback);
}

}  // namespace tav
