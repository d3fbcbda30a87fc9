// Where the configuration file lives and how the kernel reads it.
#pragma once
#include <string>
#include <string_view>

namespace tav {

class Debugger;

inline constexpr const char* kConfigName = "ZUZU12Z.INI";

// $TAV_CONFIG_DIR/ZUZU12Z.INI, else $XDG_CONFIG_HOME/tav/, else ~/.config/tav/.
std::string config_file_path();

// A key of the debugger's configuration file, or `fallback` when it is missing.
std::string config_read(const Debugger& d, std::string_view section, std::string_view key,
                        std::string_view fallback);

// Default integer display formats (Options/DefIntFormat).
inline constexpr int kIntFormatDecimal = 0;
inline constexpr int kIntFormatOctal = 1;
inline constexpr int kIntFormatHexadecimal = 2;
inline constexpr int kIntFormatBinary = 4;

// Applies the keys of sections Options and Load that a host without windows
// uses: Path, AUTOCMD, DefIntFormat, LOAD_SYMB_ONLY and Load/Code.
void apply_config(Debugger& d);

// The settings the main frame's menus change. The integer format is written
// back to the configuration file; the load option lasts for the session.
void set_default_int_format(Debugger& d, int format);
void set_load_symbols_only(Debugger& d, bool on);

}  // namespace tav
