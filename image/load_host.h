// What the loaders need from the program around them: output, errors, the
// status line, a progress display with its stop request, and a setting of the
// configuration. Every method has a quiet default, so tests and tools can load
// without a host.
#pragma once
#include <cstdint>
#include <string_view>

namespace tav {

enum class LoadResult {
  Ok,
  Failed,   // reported; what was loaded stays
  Stopped,  // the user's stop request: ends quietly
  Fatal,    // reported; the load is abandoned and the tables emptied
};

class LoadHost {
 public:
  virtual ~LoadHost() = default;

  virtual void output(std::string_view text) {}  // command output
  virtual void error(std::string_view text) {}   // error output (a box with the title "Error" when typed)
  virtual void status(std::string_view text) {}  // the status line
  // A progress display: a title with the number of steps to come, then one step at a time.
  virtual void progress(std::string_view title, std::uint32_t count) {}
  virtual void step() {}
  // The user's stop request; the loaders poll it per record and per block.
  virtual bool stop_requested() { return false; }
  // Options/NODUPFILES starts with "y" or "Y": a second file of the same name is dropped.
  virtual bool no_duplicate_files() { return false; }
  virtual void refresh_views() {}
};

}  // namespace tav
