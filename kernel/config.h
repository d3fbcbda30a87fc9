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

}  // namespace tav
