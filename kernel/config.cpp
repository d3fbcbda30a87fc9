#include "kernel/config.h"

#include <cstdlib>

#include "image/program.h"
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
// The first letter of a value decides; case does not matter.
bool starts_with(const std::string& value, char letter) {
  return !value.empty() && (value[0] | 0x20) == letter;
}
int int_format_of(const std::string& value) {
  if (starts_with(value, 'o')) return kIntFormatOctal;
  if (starts_with(value, 'h')) return kIntFormatHexadecimal;
  if (starts_with(value, 'b')) return kIntFormatBinary;
  return kIntFormatDecimal;
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

void apply_config(Debugger& d) {
  d.source_path = config_read(d, "Options", "Path", "");
  d.output.open_on_output = starts_with(config_read(d, "Options", "AUTOCMD", "NO"), 'y');
  const bool symbols_only = starts_with(config_read(d, "Load", "Code", "YES"), 'n') ||
                            starts_with(config_read(d, "Options", "LOAD_SYMB_ONLY", "N"), 'y');
  d.program.set_load_symbols_only(symbols_only);
  d.format_settings.default_int_format = int_format_of(config_read(d, "Options", "DefIntFormat", "D"));
}

void set_default_int_format(Debugger& d, int format) {
  d.format_settings.default_int_format = format;
  const char* text = format == kIntFormatOctal         ? "Octal"
                     : format == kIntFormatHexadecimal ? "Hexadecimal"
                     : format == kIntFormatBinary      ? "Binary"
                                                       : "Decimal";
  profile_write(d.config_file, "Options", "DefIntFormat", text);
}

void set_load_symbols_only(Debugger& d, bool on) { d.program.set_load_symbols_only(on); }

}  // namespace tav
