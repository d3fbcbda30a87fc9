// What the data views show, kept by the kernel so that commands can change
// it: the monitor list ("monit", "del /m", "write /m", "zero /m"), the scope
// of the variable browser ("vars"), and the texts of call-stack frames and
// variables shared by the "stack" and "frame" commands and the views.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "expr/frames.h"
#include "kernel/monitor_list.h"

namespace tav {

class Debugger;
struct FileEntry;
struct FunctionBlock;
struct SymbolEntry;

struct Monitor {
  std::string expression;
  char letter = 0;  // display format letter; 0: the type's own
};

class Monitors : public MonitorList {
 public:
  void add(std::string expression, char letter);
  // Monitors are numbered from 1 in the order they were added.
  bool remove(std::size_t number);
  const std::vector<Monitor>& list() const { return list_; }
  std::vector<Monitor>& list() { return list_; }

  std::string saved() const override;
  const char* del(const char* args) override;
  void clear() override { list_.clear(); }

 private:
  std::vector<Monitor> list_;
};

// The variable browser's choice: the whole program, one file or one function.
struct VariablesScope {
  const FileEntry* file = nullptr;          // set: only this file
  const FunctionBlock* function = nullptr;  // set: only this function
  bool values = false;                      // "/v": with values
  bool addresses = false;                   // "/a": with addresses
};

// One line per frame, innermost first (CPU12 frames, then XGATE frames):
// "  #0  fib()  main.c:34  frame 0x3FF0"; the current frame is marked ">".
std::vector<std::string> frame_lines(Debugger& d);
// The line of one frame, as listed above.
std::string frame_line(Debugger& d, const Frame& frame, int number, bool current);

// "    auto int i = 5" (with `address`: " at 0x0FE010" before the value). A
// variable whose frame is needed but missing shows " (no frame)" instead.
std::string variable_line(Debugger& d, const SymbolEntry& entry, const Frame* frame, bool with_value,
                          bool with_address);
// Entries the variable listings skip: typedefs, enumerators, nameless entries.
bool listed_variable(const SymbolEntry& entry);
// True when the variable lives in its function's frame (arguments, autos, registers).
bool needs_frame(const SymbolEntry& entry);

}  // namespace tav
