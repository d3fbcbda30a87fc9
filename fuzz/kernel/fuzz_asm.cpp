// The line assembler on any text, and the disassembler on what it wrote:
// no crash, and never more bytes than an instruction can have.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "disasm/asm_line.h"
#include "disasm/cpu12_disasm.h"
#include "fuzz/fuzz_target.h"

using Target = tav::fuzz::TargetMemory;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Target* t = new Target;
  const std::string line(reinterpret_cast<const char*>(data), size);
  const char* cursor = line.c_str();
  tav::AsmHooks hooks;
  hooks.evaluate = [](const char*& c, std::uint32_t& value, int& error) { return tav::asm_number(c, value, error); };
  hooks.define_label = [](std::string_view, std::uint32_t) {};
  hooks.error = [](int) {};
  const std::uint32_t address = 0x4000;
  const unsigned length = tav::asmline(t->memory, address, cursor, hooks);
  if (length > 8) std::abort();
  if (cursor < line.c_str() || cursor > line.c_str() + line.size()) std::abort();
  if (length > 0) tav::Disassemble(t->memory, t->regs, address);
  return 0;
}
