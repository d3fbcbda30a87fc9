// C expressions of any shape over the sample program: the parser, the
// evaluator and the formatter must never crash, hang or touch memory they
// do not own. The first byte chooses the mode, the assignment switch, the
// frames and the format letter; the rest is the expression text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "expr/frames.h"
#include "expr/putresult.h"
#include "expr/xexpr.h"
#include "image/program.h"
#include "sample_program.h"
#include "sim/memory.h"
#include "sim/registers.h"

namespace {

class NoErrors : public tav::ErrorReporter {
 public:
  void report_error(std::string_view) override {}
};

struct Target {
  Target() { tav::testing::load_sample(program); }

  tav::CpuRegs regs;
  NoErrors errors;
  tav::Memory memory{regs, errors};
  tav::Registers registers{regs, memory};
  tav::Program program{memory};
  tav::FrameStacks frames{memory, registers};
  tav::ExprEnv env{memory, registers, program.symbols(), program.tables(), &frames, true, {}};
  tav::ExprEvaluator evaluator{env};
  tav::FormatSettings settings;
  tav::ValueFormatter formatter{env, settings};
};

void enter(Target& t, const char* name, std::uint16_t sp) {
  t.regs.sp = sp;
  if (const tav::FunctionBlock* f = t.program.tables().find_function(name))
    if (f->start) t.frames.update(*f->start, tav::Core::Cpu12);
}

// Debugger variables made by one input go, so that memory stays bounded.
void forget_debugger_variables(tav::SymbolTable& symbols) {
  std::vector<std::string> names;
  for (const auto& s : symbols.kernel_variables())
    if (s->name.rfind("..", 0) == 0) names.push_back(s->name);
  for (const std::string& n : names) symbols.remove_symbol(n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Target* t = new Target;
  if (size == 0 || size > 4096) return 0;
  const std::uint8_t control = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  t->memory.clear();
  tav::testing::fill_sample_memory(t->memory);
  t->regs = tav::CpuRegs{};
  t->frames.reset();
  if (control & 1) enter(*t, "main", 0x3F00);
  if (control & 2) enter(*t, "add", 0x3E00);
  t->evaluator.set_assignments((control & 4) != 0);
  const int mode = (control & 8) ? 0 : 1;
  static const char kLetters[] = {0, 'x', 'h', 'd', 'u', 'o', 'b', 'c', 'C', 's', 'S'};
  const char letter = kLetters[(control >> 4) % sizeof kLetters];
  t->settings.default_int_format = (control >> 4) & 7;

  const char* cursor = text.c_str();
  int status = 0;
  const tav::Value v = t->evaluator.xexpr(cursor, status, mode);
  if (cursor < text.c_str() || cursor > text.c_str() + text.size()) __builtin_trap();
  if (status == 0) {
    tav::StringSink out;
    t->formatter.print_line(v, letter, out.sink());
    t->formatter.put_expanded(v, out.sink());
    t->formatter.put_compact(v, out.sink());
  }
  cursor = text.c_str();
  int is_floating = 0;
  std::int32_t integer = 0;
  double floating = 0;
  t->evaluator.Expression(mode, cursor, is_floating, integer, floating);
  forget_debugger_variables(t->program.symbols());
  return 0;
}
