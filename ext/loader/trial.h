// Tries an extension library in a child process, so that a library that
// crashes (or hangs) while it is opened, probed or initialised is reported
// instead of taking the debugger down with it.
#pragma once
#include <string>

namespace tav {

enum class TrialInit { IfAutomatic, Always };

struct TrialResult {
  enum Outcome { Accepted, Rejected, Failed } outcome = Failed;
  std::string reason;  // for Failed: what went wrong, one line
};

TrialResult try_extension(const std::string& path, TrialInit init, void* main_window);

}  // namespace tav
