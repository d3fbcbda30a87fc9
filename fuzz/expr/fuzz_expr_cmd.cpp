// Command operands of any shape: the operand evaluator must never crash or
// hang, in execute and in scan mode, with or without input lines and macro
// arguments. The first byte chooses the mode; the rest is the operand text,
// which also serves as the line that '?' reads.
#include <cstddef>
#include <cstdint>
#include <string>

#include "expr/cmd_expr.h"
#include "image/program.h"
#include "sample_program.h"
#include "sim/memory.h"
#include "sim/registers.h"

namespace {

class NoErrors : public tav::ErrorReporter {
 public:
  void report_error(std::string_view) override {}
};

class Echo : public tav::OperandInput {
 public:
  bool read_line(std::string& out) override {
    if (left-- <= 0) return false;
    out = line;
    return true;
  }
  std::string line;
  int left = 0;
};

class Arguments : public tav::MacroArguments {
 public:
  bool argument(int number, std::uint32_t& value) override {
    if (number < 0 || number > 3) return false;
    value = static_cast<std::uint32_t>(number == 0 ? 3 : number * 100);
    return true;
  }
};

struct Target {
  Target() { tav::testing::load_sample(program); }

  tav::CpuRegs regs;
  NoErrors errors;
  tav::Memory memory{regs, errors};
  tav::Registers registers{regs, memory};
  tav::Program program{memory};
  Echo input;
  Arguments macro;
  tav::CmdExprEnv env{memory, registers, program.symbols(), &program.tables(), &input, nullptr, {}, false};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Target* t = new Target;
  if (size == 0 || size > 4096) return 0;
  const std::uint8_t control = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  t->input.line = text;
  t->input.left = 4;
  t->env.macro = (control & 2) ? &t->macro : nullptr;
  t->env.unknown_is_minus_one = (control & 4) != 0;
  const tav::FileEntry* main_c = t->program.tables().find_file("main.c");
  if (control & 8)
    t->env.current_file = [main_c] { return main_c; };
  else
    t->env.current_file = nullptr;
  const char* cursor = text.c_str();
  int error = 0;
  tav::cmd_expr(t->env, cursor, error, (control & 1) != 0);
  if (cursor < text.c_str() || cursor > text.c_str() + text.size()) __builtin_trap();
  return 0;
}
