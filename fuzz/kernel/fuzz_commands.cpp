// Whole command lines, statements included, and kernel-console lines (those
// that begin with "->"): the interpreter must answer every line with output
// or a clear error. Lines that reach the system (a shell, file removal) or
// write files outside the working directory are left out, and so is "start":
// its run thread shares the debugger with the commands that follow.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_host.h"
#include "kconsole/kelm.h"
#include "run/run_control.h"

namespace {

bool harmless(std::string line, bool kernel_console) {
  std::transform(line.begin(), line.end(), line.begin(), [](unsigned char c) { return std::tolower(c); });
  for (const char* word : {"sys", "remove", "record", "output", "write", "fopen", "session", "layout", "input",
                           "load", "start"})
    if (line.find(word) != std::string::npos) return false;
  // The kernel console's file commands (<, >, h, w) stay in the fuzzer's directory.
  if (kernel_console && line.find_first_of("/\\") != std::string::npos) return false;
  return line.find("..") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static tav::FuzzSession* s = [] {
    auto* session = new tav::FuzzSession;
    tav::docmd(session->d, "internals", 1);
    return session;
  }();
  std::string text(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  int lines = 0;
  while (start < text.size() && ++lines <= 16) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    const bool kernel_console = line.rfind("->", 0) == 0;
    if (line.find('\0') != std::string::npos || !harmless(line, kernel_console)) continue;
    s->begin();
    if (kernel_console) {
      s->d.kelm.kelm_exec(line.c_str() + 2, 1);
    } else {
      tav::docmd(s->d, line.c_str(), 1);
    }
  }
  // A "start" run ends before the next input.
  s->d.execution.join();
  return 0;
}
