// The call stack as data: one row per frame of a core, innermost first, with
// the function, the source position and the address execution is at (the
// innermost frame) or will return to the line of (outer frames). Rows with
// no source have only the address.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "expr/frames.h"

namespace tav {

class Debugger;

struct StackRow {
  int index = 0;          // 0: innermost
  Core core = Core::Cpu12;
  std::string function;   // empty when no debug information names it
  std::string file;       // the debug tables' file name; empty: no source
  unsigned line = 0;
  std::uint32_t address = 0;  // global address
  bool current = false;       // the frame expressions refer to
};

// The frames of a core; for the CPU12 at least one row (the PC) even when
// no frame is known.
std::vector<StackRow> stack_rows(Debugger& d, Core core);

// A row for where a core's program counter stands (with its function,
// file and line when debug information covers it): the XGATE's place when
// no XGATE frame is known.
StackRow pc_row(Debugger& d, Core core);

// Makes frame `index` of a core current for expressions while it lives,
// then goes back to the frame that was current.
class FrameSelection {
 public:
  FrameSelection(Debugger& d, Core core, int index);
  ~FrameSelection();
  FrameSelection(const FrameSelection&) = delete;
  FrameSelection& operator=(const FrameSelection&) = delete;
  const Frame* frame() const { return frame_; }

 private:
  Debugger& d_;
  const Frame* saved_;
  const Frame* frame_ = nullptr;
};

}  // namespace tav
