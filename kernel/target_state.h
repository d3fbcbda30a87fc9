// What the target commands (registers, memory display and fill) keep from one
// use to the next.
#pragma once
#include <cstdint>

namespace tav {

struct TargetCommandState {
  // The pseudo-random sequence of "fill /r": each fill goes on where the last one stopped.
  std::uint32_t random = 0x2545F491u;
  // Bus cycles of the last execution command, shown by "r". Execution control
  // keeps it up to date; nothing has run before that.
  std::uint32_t command_cycles = 0;
};

}  // namespace tav
