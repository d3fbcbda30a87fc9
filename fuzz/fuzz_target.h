// What the fuzz targets run against: target memory whose errors go nowhere,
// and a program loaded into it. One lives for a whole fuzzing session.
#pragma once
#include <string_view>

#include "image/program.h"
#include "sim/memory.h"

namespace tav::fuzz {

class NoErrors : public ErrorReporter {
 public:
  void report_error(std::string_view) override {}
};

struct TargetMemory {
  CpuRegs regs;
  NoErrors errors;
  Memory memory{regs, errors};
};

struct TargetProgram : TargetMemory {
  Program program{memory};
};

}  // namespace tav::fuzz
