// XGATE instruction text: the mnemonic in eight columns, then the operands.
#include "disasm/xgate_disasm.h"

#include "sim/registers.h"
#include "support/fmt.h"

namespace tav {

namespace {

const char* reg_name(int n) { return kRegisterTable[REG_R0 / kRegCodeStep + n].name; }

// A bounded line that always keeps room for its terminating NUL.
class Line {
 public:
  Line(char* text, std::size_t capacity) : text_(text), room_(capacity - 1) {}
  ~Line() { text_[size_] = 0; }

  template <class... A>
  void add(std::string_view format, const A&... args) {
    size_ += fmtbuf(text_ + size_, room_ - size_, format, args...);
  }

 private:
  char* text_;
  std::size_t room_;
  std::size_t size_ = 0;
};

void add_operand(Line& line, XgOperand format, std::uint16_t w, std::uint32_t address) {
  const int rd = xg_rd(w), rs1 = xg_rs1(w), rs2 = xg_rs2(w);
  switch (format) {
    case XgOperand::None: break;
    case XgOperand::Imm3: line.add("#%i", xg_imm3(w)); break;
    case XgOperand::Rd: line.add("%p", reg_name(rd)); break;
    case XgOperand::Rs: line.add("%p", reg_name(rs1)); break;
    case XgOperand::Imm4: line.add("#%i", xg_imm4(w)); break;
    case XgOperand::Rs1Rs2: line.add("%p,%p", reg_name(rs1), reg_name(rs2)); break;
    case XgOperand::Rel9:
    case XgOperand::Rel10: line.add("0x%+04hl", xg_branch_target(w, address, format)); break;
    case XgOperand::Offset5:
      if (xg_offset5(w))
        line.add("(%p,#%i)", reg_name(rs1), xg_offset5(w));
      else
        line.add("(%p)", reg_name(rs1));
      break;
    // With RB = r0 the address is RI alone, and only RI is named.
    case XgOperand::Index:
      if (rs1)
        line.add("(%p,%p)", reg_name(rs1), reg_name(rs2));
      else
        line.add("(%p)", reg_name(rs2));
      break;
    case XgOperand::IndexInc:
      if (rs1)
        line.add("(%p,%p+)", reg_name(rs1), reg_name(rs2));
      else
        line.add("(%p+)", reg_name(rs2));
      break;
    case XgOperand::IndexDec:
      if (rs1)
        line.add("(%p,-%p)", reg_name(rs1), reg_name(rs2));
      else
        line.add("(-%p)", reg_name(rs2));
      break;
    case XgOperand::Imm8: line.add("#0x%hi", xg_imm8(w)); break;
    case XgOperand::RdCcr: line.add("%p,ccr", reg_name(rd)); break;
    case XgOperand::CcrRd: line.add("ccr,%p", reg_name(rd)); break;
    case XgOperand::RdPc: line.add("%p,pc", reg_name(rd)); break;
  }
}

}  // namespace

std::uint32_t xgate_disasm_word(std::uint16_t word, std::uint32_t address, char* text, std::size_t capacity) {
  const XgateOp* op = xgate_find(word);
  if (!text || capacity == 0) return op ? 2 : kXgateUndefined;
  Line line(text, capacity);
  if (!op) {
    line.add("%- 8p(0x%+04hi)", kXgateMnemonics[0], word);
    return kXgateUndefined;
  }
  // Display spellings: sub into r0 is a compare (the cmp entry follows sub);
  // an or with r0 as a source is a register move.
  if (op->mnemonic == XgMnemonic::sub && xg_rd(word) == 0) ++op;
  if (op->mnemonic == XgMnemonic::or_ && (xg_rs1(word) == 0 || xg_rs2(word) == 0)) {
    if (xg_rs1(word) == 0)
      line.add("%- 8p%p,%p", "mov", reg_name(xg_rd(word)), reg_name(xg_rs2(word)));
    else
      line.add("%- 8p%p,%p", "ldw", reg_name(xg_rd(word)), reg_name(xg_rs1(word)));
    return 2;
  }
  line.add("%- 8p", xgate_mnemonic_text(op->mnemonic));
  add_operand(line, op->operand1, word, address);
  if (op->operand2 != XgOperand::None) {
    line.add(",");
    add_operand(line, op->operand2, word, address);
  }
  return 2;
}

std::uint32_t xgate_disasm(Memory& memory, std::uint32_t address, char* text, std::size_t capacity) {
  return xgate_disasm_word(memory.ReadWord(address), address, text, capacity);
}

std::string xgate_disasm_text(std::uint16_t word, std::uint32_t address) {
  char text[kXgateTextCapacity];
  xgate_disasm_word(word, address, text, sizeof text);
  return text;
}

}  // namespace tav
