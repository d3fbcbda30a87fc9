#include "ui/model/disasm_view.h"

#include "support/fmt.h"

namespace tav {

namespace {
// An undefined opcode covers its prefix and opcode byte, or the one byte.
std::uint16_t undefined_length(const Memory& memory, std::uint32_t address) {
  return memory.peek(address) == kPage2Prefix ? 2 : 1;
}
}  // namespace

std::string CodeLine::text() const { return fmtstr("%+0nhl ", 6, address & 0xFFFFFF) + instruction; }

std::string CodeLine::coloured() const {
  std::string s = fmtstr("%+0nhl ", 6, address & 0xFFFFFF);
  s += kColourSwitch;
  s += static_cast<char>(kColourInstruction);
  s += instruction.substr(0, mnemonic_end);
  s += kColourSwitch;
  s += static_cast<char>(kColourChanged);
  if (mnemonic_end < instruction.size()) s += instruction.substr(mnemonic_end);
  return s;
}

std::uint32_t DisasmView::first_address(std::uint32_t address) const {
  std::uint32_t entry = 0;
  if (lookup_ && lookup_->function_entry(address, entry)) return entry;
  return address;
}

CodeLine DisasmView::line_at(std::uint32_t address, std::uint32_t pc) const {
  CodeLine line;
  line.address = address;
  const Disassembly d = Disassemble(memory_, regs_, address, lookup_);
  line.defined = d.defined();
  line.length = d.defined() ? d.length : undefined_length(memory_, address);
  line.instruction = d.text;
  // The mnemonic column: six characters, or the whole of a longer mnemonic.
  const std::size_t blank = line.instruction.find(' ');
  line.mnemonic_end = blank == std::string::npos ? line.instruction.size() : blank;
  line.at_pc = address == pc;
  line.event = lookup_ ? lookup_->event_at(address) : EventMark::None;
  return line;
}

std::vector<CodeLine> DisasmView::lines_from(std::uint32_t first, unsigned count, std::uint32_t pc) const {
  std::vector<CodeLine> lines;
  lines.reserve(count);
  std::uint32_t address = first;
  for (unsigned i = 0; i < count; ++i) {
    lines.push_back(line_at(address, pc));
    address += lines.back().length;
  }
  return lines;
}

std::uint32_t DisasmView::next_address(std::uint32_t address) const {
  const Disassembly d = Disassemble(memory_, regs_, address, lookup_);
  return address + (d.defined() ? d.length : undefined_length(memory_, address));
}

}  // namespace tav
