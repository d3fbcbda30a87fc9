// File names in commands, and the source search path.
#pragma once
#include <string>
#include <string_view>

namespace tav {

class Debugger;

// A name from a command, a configuration file or debug information as the
// file system wants it: "\" separators become "/".
std::string host_path(std::string_view name);

// Reads a file name: in double quotes, or up to a blank or ";". Returns the
// position after it.
const char* file_word(const char* p, std::string& name);

// Applies a new list to the source search path: "|dir" appends, "dir|"
// puts in front, anything else replaces.
void set_source_path(Debugger& d, std::string_view list);

}  // namespace tav
