// The sample program loaded through the image reader on a fresh target, with
// the evaluator, the formatter and the call-stack frames over them.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "expr/frames.h"
#include "expr/putresult.h"
#include "expr/xexpr.h"
#include "image/program.h"
#include "sim/memory.h"
#include "sim/registers.h"
#include "sample_program.h"

namespace tav::testing {


class Errors : public ErrorReporter {
 public:
  void report_error(std::string_view text) override { texts.emplace_back(text); }
  std::vector<std::string> texts;
};

class ExprTest : public ::testing::Test {
 protected:
  ExprTest();
  ~ExprTest() override;

  // Evaluates in mode 1 and expects success; returns the descriptor.
  Value eval(const std::string& text, int mode = 1);
  // The error number of an expression (0 when it succeeds).
  int error_of(const std::string& text, int mode = 1);
  std::int32_t ival(const std::string& text) { return eval(text).ival; }
  double dval(const std::string& text) { return eval(text).dval; }
  // putresult of an expression with a format letter.
  std::string shown(const std::string& text, char letter = 0);

  // Frames: enter a function with the stack pointer at `sp`, leave the innermost.
  void enter(const char* function, std::uint16_t sp, Core core = Core::Cpu12);
  void leave(const char* function, Core core = Core::Cpu12);
  const DebugRecord* start_record(const char* function) const;
  const DebugRecord* end_record(const char* function) const;

  void poke16(std::uint32_t a, std::uint16_t v) { memory.WriteWord(a, v); }
  void poke32(std::uint32_t a, std::uint32_t v) { memory.WriteLong(a, v); }

  std::filesystem::path dir;
  CpuRegs regs;
  Errors errors;
  Memory memory{regs, errors};
  Registers registers{regs, memory};
  Program program{memory};
  FrameStacks frames{memory, registers};
  ExprEnv env{memory, registers, program.symbols(), program.tables(), &frames, true, {}};
  ExprEvaluator evaluator{env};
  FormatSettings settings;
  ValueFormatter formatter{env, settings};
};

}  // namespace tav::testing
