// The start-up and shutdown sequences that every host runs around its own
// command loop.
#pragma once
#include <string>
#include <vector>

namespace tav {

class Debugger;

// Options that the kernel leaves to the host.
struct HostOptions {
  bool no_banner = false;  // -b
  bool minimized = false;  // -m
  bool dash_d = false;     // -D
};

// Reads the configuration (source path, AUTOCMD), processes the command-line
// arguments (without the program name), loads a program named there and runs
// the start file (-i, else Options/STARTFILE).
HostOptions startup(Debugger& d, const std::vector<std::string>& args);

// Runs Options/ENDFILE when it is set, then releases the XGATE support library.
void shutdown(Debugger& d);

// The directory of the running executable, without a trailing "/" (empty
// when the system does not tell).
std::string executable_directory();

// Loads the XGATE support library XGATEDLLS/XGATE.so from `program_dir` and
// binds its address map. A missing library or one without all four entry
// points is reported as an error; the result is then the exit code the host
// ends with (2000), else 0.
int xgate_startup(Debugger& d, const std::string& program_dir);

}  // namespace tav
