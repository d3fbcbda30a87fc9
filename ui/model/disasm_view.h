// The disassembly view and the code memory views as data: which addresses
// they show, each line's text, and the marks the hosts draw (the instruction
// at the PC, events on an address). No toolkit here: the console host prints
// the lines, the desktop host draws them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "disasm/cpu12_disasm.h"

namespace tav {

enum class EventMark : std::uint8_t { None, On, Off };

// What a code view asks of the program and the event table beyond the
// disassembler's symbols and lines.
class CodeViewLookup : public DisasmLookup {
 public:
  // The entry address of the function that contains `address`, when the
  // debug information knows that function.
  virtual bool function_entry(std::uint32_t address, std::uint32_t& entry) const = 0;
  // The event set on `address`, if any.
  virtual EventMark event_at(std::uint32_t address) const = 0;
};

// Colour switches inside line texts: the byte 1 followed by a colour table entry.
inline constexpr char kColourSwitch = 1;
inline constexpr std::uint8_t kColourChanged = 10;
inline constexpr std::uint8_t kColourInstruction = 11;

struct CodeLine {
  std::uint32_t address = 0;
  std::uint16_t length = 0;        // bytes the line covers
  bool defined = true;             // false: "???"
  std::string instruction;         // the disassembler's text
  std::size_t mnemonic_end = 0;    // where the mnemonic column ends in `instruction`
  bool at_pc = false;              // the instruction at the program counter
  EventMark event = EventMark::None;

  // "%+0nhl " with 6 digits, then the instruction.
  std::string text() const;
  // The same with the view's colour switches: entry 11 before the
  // instruction, entry 10 after its mnemonic.
  std::string coloured() const;
};

class DisasmView {
 public:
  DisasmView(const Memory& memory, const CpuRegs& regs, const CodeViewLookup* lookup = nullptr)
      : memory_(memory), regs_(regs), lookup_(lookup) {}

  // The first line's address for showing `address`: the entry of its function
  // when the debug information knows it, otherwise the address itself.
  std::uint32_t first_address(std::uint32_t address) const;

  // `count` lines from `first`; `pc` marks its line.
  std::vector<CodeLine> lines_from(std::uint32_t first, unsigned count, std::uint32_t pc) const;

  // The lines of a view asked to show `address`.
  std::vector<CodeLine> show(std::uint32_t address, unsigned count, std::uint32_t pc) const {
    return lines_from(first_address(address), count, pc);
  }

  // One line down: the second line's address.
  std::uint32_t next_address(std::uint32_t address) const;

  // Lines that fit a client area: its height over the line height, rounded up.
  static unsigned lines_for(unsigned client_height, unsigned line_height) {
    return line_height ? (client_height + line_height - 1) / line_height : 0;
  }

 private:
  CodeLine line_at(std::uint32_t address, std::uint32_t pc) const;

  const Memory& memory_;
  const CpuRegs& regs_;
  const CodeViewLookup* lookup_;
};

}  // namespace tav
