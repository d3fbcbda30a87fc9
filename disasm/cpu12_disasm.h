// The CPU12 disassembler: the text mode of the decoder. One instruction at a
// global address becomes one line of assembler text, built from the same
// decoded operands the simulator executes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/cpu_regs.h"
#include "sim/decode.h"
#include "sim/memory.h"

namespace tav {

// The bounded buffer every instruction line is formatted into.
inline constexpr std::size_t kDisasmCapacity = 512;

// What the disassembler asks of the loaded program: symbol names for address
// operands and the source lines that start at an address. The program image
// implements it; without a program there is nothing to find.
class DisasmLookup {
 public:
  virtual ~DisasmLookup() = default;
  // The program symbol at `address`, or the last one below it; null when none.
  // `value` receives the symbol's value.
  virtual const char* symbol_by_value(std::uint32_t address, std::uint32_t& value) const = 0;
  // True when a source line starts exactly at `address`; `statement` is the
  // statement number within the line (0 for the first).
  virtual bool line_at(std::uint32_t address, unsigned& line, unsigned& statement) const = 0;
  // True when the debug information marks `address` as XGATE code: it is shown
  // in the XGATE's instruction set.
  virtual bool xgate_code(std::uint32_t address) const {
    (void)address;
    return false;
  }
};

// Formats an already decoded instruction. `regs` are the registers the
// instruction was decoded with (a 16-bit immediate is looked up as a local
// address under them). Returns the instruction's length, kUndefinedLength for
// an undefined opcode. `text` receives at most `capacity` bytes including the NUL.
std::uint16_t cpu12_format(const DecodedInsn& insn, const CpuRegs& regs, char* text, std::size_t capacity,
                           const DisasmLookup* lookup = nullptr);

// Decodes and formats the instruction at global `address`; nothing changes.
std::uint16_t cpu12_disasm(const Memory& memory, const CpuRegs& regs, std::uint32_t address, char* text,
                           std::size_t capacity = kDisasmCapacity, const DisasmLookup* lookup = nullptr);

// The instruction at `address` as text and its length in bytes.
struct Disassembly {
  std::string text;
  std::uint16_t length = kUndefinedLength;
  bool defined() const { return length != kUndefinedLength; }
};
Disassembly Disassemble(const Memory& memory, const CpuRegs& regs, std::uint32_t address,
                        const DisasmLookup* lookup = nullptr);

// Where the mnemonic column ends in a line: the text before it is the mnemonic.
inline constexpr std::size_t kMnemonicColumn = 6;

}  // namespace tav
