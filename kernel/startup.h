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

// Runs Options/ENDFILE when it is set.
void shutdown(Debugger& d);

}  // namespace tav
