// Shared pieces of the memory and register tests: an error reporter that keeps
// what it was told, and a target (registers + memory) to run against.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "sim/cpu_regs.h"
#include "sim/memory.h"

namespace tav::test {

class RecordingErrors : public ErrorReporter {
 public:
  void report_error(std::string_view text) override { texts.emplace_back(text); }
  std::vector<std::string> texts;
};

struct Target {
  CpuRegs regs;
  RecordingErrors errors;
  Memory memory{regs, errors};
};

}  // namespace tav::test
