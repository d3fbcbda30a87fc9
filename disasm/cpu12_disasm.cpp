// CPU12 instruction text: the mnemonic in six columns, then the operands in
// the order the assembler writes them.
#include "disasm/cpu12_disasm.h"

#include "disasm/xgate_disasm.h"
#include "sim/registers.h"
#include "support/fmt.h"
#include "support/messages.h"

namespace tav {

namespace {

// How far below an address a symbol may lie and still name it ("name+12").
constexpr std::uint32_t kSymbolReach = 99;

const char* register_name(unsigned code) {
  const unsigned index = code / kRegCodeStep;
  return index < kRegisterTableSize ? kRegisterTable[index].name : "?";
}

const char* index_register_name(unsigned rr) {
  static constexpr const char* names[4] = {"x", "y", "s", "pc"};
  return names[rr & 3];
}

// A bounded line that always keeps room for its terminating NUL.
class Line {
 public:
  Line(char* text, std::size_t capacity) : text_(text), room_(capacity ? capacity - 1 : 0) {}
  ~Line() {
    if (text_) text_[size_] = 0;
  }

  template <class... A>
  void add(std::string_view format, const A&... args) {
    size_ += fmtbuf(text_ + size_, room_ - size_, format, args...);
  }

 private:
  char* text_;
  std::size_t room_;
  std::size_t size_ = 0;
};

class Formatter {
 public:
  Formatter(Line& line, const DecodedInsn& insn, const CpuRegs& regs, const DisasmLookup* lookup)
      : line_(line), insn_(insn), regs_(regs), lookup_(lookup) {}

  void run() {
    const char* mnemonic = insn_.mnemonic == Mn::wavi ? "[wav]" : insn_.name();
    line_.add("%- 6p", mnemonic);
    if (insn_.entry && opd::mode(insn_.descriptor) == opd::REG && !insn_.is_move) {
      if (insn_.is_loop) {
        line_.add("%p", register_name(insn_.loop_reg));
        branch_target(true);
      } else {
        line_.add("%p,%p", register_name(insn_.reg1), register_name(insn_.reg2));
      }
      return;
    }
    bool operand = operand_text(insn_.op);
    if (insn_.is_move) {
      line_.add(",");
      operand_text(insn_.dst);
    }
    if (insn_.has_mask) line_.add(",0x%+02hi", insn_.mask);
    if (insn_.has_page && !insn_.page_from_memory) line_.add(",%i", insn_.call_page);
    if (insn_.has_relative) branch_target(operand);
  }

 private:
  // The symbol at or up to 99 bytes below `address`, as "name" or "name+n".
  bool symbolic(std::uint32_t address) {
    if (!lookup_) return false;
    std::uint32_t value = 0;
    const char* name = lookup_->symbol_by_value(address, value);
    if (!name || value > address || address - value > kSymbolReach) return false;
    if (value == address)
      line_.add("%p", name);
    else
      line_.add("%p+%l", name, address - value);
    return true;
  }

  // " [L42]" or " [L42(2)]" when a source line starts at `address`.
  void source_reference(std::uint32_t address) {
    unsigned number = 0, statement = 0;
    if (!lookup_ || !lookup_->line_at(address, number, statement)) return;
    const char* letter = msgfind(msg::line_letter);
    line_.add(" [%p%i", letter ? letter : "L", number);
    if (statement)
      line_.add("(%i)]", statement);
    else
      line_.add("]");
  }

  void branch_target(bool after_operand) {
    if (after_operand) line_.add(",");
    if (lookup_) {
      std::uint32_t value = 0;
      const char* name = lookup_->symbol_by_value(insn_.target, value);
      if (name && value == insn_.target) {
        line_.add("%p", name);
        return;
      }
    }
    line_.add("0x%+06hl", insn_.target);
    source_reference(insn_.target);
  }

  // Returns true when text was written.
  bool operand_text(const DecodedOperand& op) {
    switch (op.kind) {
      case OperandKind::None:
        return false;
      case OperandKind::Direct:
        line_.add("<");
        if (!symbolic(op.global)) line_.add("0x%+0nhl", 2, op.global);
        return true;
      case OperandKind::Extended:
        if (!symbolic(op.global)) {
          line_.add("0x%+0nhl", 4, op.global);
          source_reference(op.global);
        }
        return true;
      case OperandKind::Immediate:
        if (op.width == 1) {
          line_.add("#0x%+0nhl", 2, op.value);
        } else {
          line_.add("#");
          const std::uint32_t global = Memory::local_to_global(static_cast<std::uint16_t>(op.value), regs_);
          if (!symbolic(global)) line_.add("0x%+0nhl", 4, op.value);
        }
        return true;
      case OperandKind::Indexed:
        indexed_text(op.idx);
        return true;
    }
    return false;
  }

  void indexed_text(const IndexedParse& p) {
    const char* reg = index_register_name(p.reg);
    switch (p.kind) {
      case IndexedKind::Offset5:
      case IndexedKind::Offset9:
      case IndexedKind::Offset16:
        line_.add("%l,%p", p.offset, reg);
        break;
      case IndexedKind::PostIncrement:
        line_.add("%l,%p%ac", p.offset, reg, '+');
        break;
      case IndexedKind::PostDecrement:
        line_.add("%l,%p%ac", p.offset, reg, '-');
        break;
      case IndexedKind::PreIncrement:
        line_.add("%l,%ac%p", p.offset, '+', reg);
        break;
      case IndexedKind::PreDecrement:
        line_.add("%l,%ac%p", p.offset, '-', reg);
        break;
      case IndexedKind::AccumulatorA:
        line_.add("%p,%p", "a", reg);
        break;
      case IndexedKind::AccumulatorB:
        line_.add("%p,%p", "b", reg);
        break;
      case IndexedKind::AccumulatorD:
        line_.add("%p,%p", "d", reg);
        break;
      case IndexedKind::Indirect16:
        line_.add("[%l,%p]", p.offset, reg);
        break;
      case IndexedKind::IndirectD:
        line_.add("[d,%p]", reg);
        break;
    }
  }

  Line& line_;
  const DecodedInsn& insn_;
  const CpuRegs& regs_;
  const DisasmLookup* lookup_;
};

}  // namespace

std::uint16_t cpu12_format(const DecodedInsn& insn, const CpuRegs& regs, char* text, std::size_t capacity,
                           const DisasmLookup* lookup) {
  if (!text || capacity == 0) return insn.length;
  Line line(text, capacity);
  if (!insn.defined()) {
    line.add("%- 6p(0x%+02hi)", kMnemonicNames[0], insn.prefix ? insn.prefix : insn.opcode);
    return kUndefinedLength;
  }
  Formatter(line, insn, regs, lookup).run();
  return insn.length;
}

std::uint16_t cpu12_disasm(const Memory& memory, const CpuRegs& regs, std::uint32_t address, char* text,
                           std::size_t capacity, const DisasmLookup* lookup) {
  return cpu12_format(decode_instruction(memory, regs, address), regs, text, capacity, lookup);
}

Disassembly Disassemble(const Memory& memory, const CpuRegs& regs, std::uint32_t address,
                        const DisasmLookup* lookup) {
  char text[kDisasmCapacity];
  Disassembly d;
  if (lookup && lookup->xgate_code(address)) {
    // Every XGATE word takes two bytes; one that is no instruction shows as data.
    const auto word = static_cast<std::uint16_t>(memory.peek(address) << 8 | memory.peek(address + 1));
    xgate_disasm_word(word, address, text, sizeof text);
    d.text = text;
    d.length = 2;
    return d;
  }
  d.length = cpu12_disasm(memory, regs, address, text, sizeof text, lookup);
  d.text = text;
  return d;
}

}  // namespace tav
