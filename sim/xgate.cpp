// XGATE decode-execute: the instruction families and their flags.
#include "sim/xgate.h"

#include <bit>

namespace tav {

namespace {

std::uint8_t nz16(std::uint16_t v) { return static_cast<std::uint8_t>((v & 0x8000 ? XG_N : 0) | (v == 0 ? XG_Z : 0)); }
std::uint8_t nz8(std::uint8_t v) { return static_cast<std::uint8_t>((v & 0x80 ? XG_N : 0) | (v == 0 ? XG_Z : 0)); }

// a + b + carry_in with C (carry out of bit 15), V and NZ.
std::uint16_t add16(std::uint16_t a, std::uint16_t b, unsigned carry_in, std::uint8_t& flags) {
  const std::uint32_t wide = std::uint32_t{a} + b + carry_in;
  const auto r = static_cast<std::uint16_t>(wide);
  flags = static_cast<std::uint8_t>(nz16(r) | (wide > 0xFFFF ? XG_C : 0) | ((a ^ r) & (b ^ r) & 0x8000 ? XG_V : 0));
  return r;
}

// a - b - borrow_in with C (borrow out of bit 15), V and NZ.
std::uint16_t sub16(std::uint16_t a, std::uint16_t b, unsigned borrow_in, std::uint8_t& flags) {
  const auto r = static_cast<std::uint16_t>(a - b - borrow_in);
  const bool borrow = std::uint32_t{a} < std::uint32_t{b} + borrow_in;
  flags = static_cast<std::uint8_t>(nz16(r) | (borrow ? XG_C : 0) | ((a ^ b) & (a ^ r) & 0x8000 ? XG_V : 0));
  return r;
}

// The byte compare of cmpl and cpch: flags of a - b - borrow_in.
std::uint8_t sub8_flags(std::uint8_t a, std::uint8_t b, unsigned borrow_in) {
  const auto r = static_cast<std::uint8_t>(a - b - borrow_in);
  const bool borrow = unsigned{a} < unsigned{b} + borrow_in;
  return static_cast<std::uint8_t>(nz8(r) | (borrow ? XG_C : 0) | ((a ^ b) & (a ^ r) & 0x80 ? XG_V : 0));
}

// adc, sbc and cpch chain a multi-word result: a Z that was clear stays clear.
std::uint8_t chain_zero(std::uint8_t flags, std::uint8_t old) {
  return (old & XG_Z) ? flags : static_cast<std::uint8_t>(flags & ~XG_Z);
}

// Shifts one bit per step; C is the last bit out. csl and csr fill the vacated
// bits with the carry the instruction started with.
std::uint16_t shift(XgFamily family, std::uint16_t value, int count, std::uint8_t& flags) {
  const unsigned carry_in = flags & XG_C;
  unsigned out = carry_in;
  std::uint16_t v = value;
  for (int i = 0; i < count; ++i) {
    switch (family) {
      case XgFamily::Lsl: out = v >> 15; v = static_cast<std::uint16_t>(v << 1); break;
      case XgFamily::Csl: out = v >> 15; v = static_cast<std::uint16_t>(v << 1 | carry_in); break;
      case XgFamily::Rol: out = v >> 15; v = static_cast<std::uint16_t>(v << 1 | out); break;
      case XgFamily::Lsr: out = v & 1; v = static_cast<std::uint16_t>(v >> 1); break;
      case XgFamily::Csr: out = v & 1; v = static_cast<std::uint16_t>(v >> 1 | carry_in << 15); break;
      case XgFamily::Ror: out = v & 1; v = static_cast<std::uint16_t>(v >> 1 | out << 15); break;
      default: out = v & 1; v = static_cast<std::uint16_t>(v >> 1 | (v & 0x8000)); break;  // asr
    }
  }
  flags = static_cast<std::uint8_t>(nz16(v) | ((value ^ v) & 0x8000 ? XG_V : 0) | (out ? XG_C : 0));
  return v;
}

bool is_rotate(XgFamily f) { return f == XgFamily::Rol || f == XgFamily::Ror; }

// Branch condition from bits 10-12 of the match value; bit 9 clear takes the
// branch when the condition is false. Condition 7 is bra: always.
bool branch_taken(std::uint16_t match, std::uint8_t ccr) {
  const bool c = ccr & XG_C, z = ccr & XG_Z, n = ccr & XG_N, v = ccr & XG_V;
  bool cond;
  switch ((match >> 10) & 7) {
    case 0: cond = c; break;
    case 1: cond = z; break;
    case 2: cond = n; break;
    case 3: cond = v; break;
    case 4: cond = c || z; break;
    case 5: cond = n != v; break;
    case 6: cond = z || (n != v); break;
    default: return true;
  }
  return (match & 0x0200) ? cond : !cond;
}

}  // namespace

Xgate::Xgate(Memory& memory, Registers& registers) : memory_(memory), registers_(registers) {}

XgateRegisterCopy Xgate::copy_registers() const {
  XgateRegisterCopy copy;
  auto word = [this](std::uint32_t a) {
    return static_cast<std::uint16_t>(memory_.peek(a) << 8 | memory_.peek(a + 1));
  };
  for (int i = 0; i < 8; ++i) copy.r[i] = word(kXgateR0Addr + 2 * static_cast<std::uint32_t>(i));
  copy.pc = word(kXgatePcAddr);
  copy.ccr = memory_.peek(kXgateCcrAddr) & 0x0F;
  return copy;
}

std::uint32_t Xgate::decode(std::uint32_t address, int flags, char* text, std::size_t capacity, std::uint32_t* cycles) {
  // The fetch itself is not a data access (the run loop reports fetches).
  const auto word = static_cast<std::uint16_t>(memory_.peek(address) << 8 | memory_.peek(address + 1));
  const XgateOp* op = xgate_find(word);
  if (cycles) *cycles = 0;
  if ((flags & kXgateFlagText) && text && capacity > 0) {
    if (format_text_)
      format_text_(word, address, text, capacity);
    else
      text[0] = 0;
  }
  if (!op) return kXgateUndefined;
  if (flags & kXgateFlagExecute) {
    const std::uint32_t taken = execute(*op, word, address);
    if (cycles) *cycles = taken;
  }
  return 2;
}

std::uint32_t Xgate::step(int flags, char* text, std::size_t capacity, std::uint32_t* cycles) {
  std::uint32_t taken = 0;
  const std::uint32_t result = decode(ppc(), flags, text, capacity, &taken);
  if (xtime_counter_) *xtime_counter_ += taken;
  if (cycles) *cycles = taken;
  return result;
}

// The address of a load or store; the (RB, RI+) and (RB, -RI) forms update RI
// by the access size, after forming the address or before it.
std::uint16_t Xgate::effective_address(XgOperand format, std::uint16_t word, int size) {
  const int rb = xg_rs1(word), ri = xg_rs2(word);
  switch (format) {
    case XgOperand::Offset5: return static_cast<std::uint16_t>(reg(rb) + xg_offset5(word));
    case XgOperand::IndexInc: {
      const auto ea = static_cast<std::uint16_t>(reg(rb) + reg(ri));
      set_reg(ri, static_cast<std::uint16_t>(reg(ri) + size));
      return ea;
    }
    case XgOperand::IndexDec: set_reg(ri, static_cast<std::uint16_t>(reg(ri) - size)); [[fallthrough]];
    default: return static_cast<std::uint16_t>(reg(rb) + reg(ri));
  }
}

std::uint32_t Xgate::execute(const XgateOp& op, std::uint16_t word, std::uint32_t address) {
  const auto next_pc = static_cast<std::uint16_t>(address + 2);
  set_pc(next_pc);
  std::uint32_t cycles = op.cycles;
  const int rd = xg_rd(word);
  const std::uint8_t old = ccr();
  std::uint8_t f = 0;

  // Flags of the 16-bit logic forms: NZ of the result, V clear, C kept.
  auto logic16 = [&](std::uint16_t r) {
    set_flags(static_cast<std::uint8_t>(nz16(r) | (old & XG_C)));
    set_result(rd, r);
  };
  // The byte immediates work on the low (high = false) or high byte of RD;
  // NZ come from that byte, V is cleared, C kept. bitl and bith only test.
  auto logic8 = [&](bool high, std::uint8_t byte, bool write) {
    set_flags(static_cast<std::uint8_t>(nz8(byte) | (old & XG_C)));
    if (!write) return;
    const std::uint16_t v = reg(rd);
    set_result(rd, high ? static_cast<std::uint16_t>(byte << 8 | (v & 0xFF))
                        : static_cast<std::uint16_t>((v & 0xFF00) | byte));
  };
  switch (op.family) {
    case XgFamily::NoEffect: break;
    case XgFamily::Rts: memory_.WriteByte(kXgateChannelAddr, 0); break;
    case XgFamily::Sif:
      if (raise_interrupt_) raise_interrupt_(std::uint32_t{memory_.ReadByte(kIvbrAddr)} * 256 + 2u * channel());
      break;
    case XgFamily::Sex: {
      const auto r = static_cast<std::uint16_t>(static_cast<std::int8_t>(reg(rd) & 0xFF));
      set_flags(static_cast<std::uint8_t>(nz16(r) | (old & XG_C)));
      set_result(rd, r);
      break;
    }
    case XgFamily::Par: {
      const std::uint16_t v = reg(rd);
      set_flags(static_cast<std::uint8_t>((std::popcount(v) & 1 ? XG_C : 0) | (v == 0 ? XG_Z : 0)));
      break;
    }
    case XgFamily::Jal: {
      const std::uint16_t target = reg(rd);
      set_result(rd, next_pc);
      set_pc(target);
      break;
    }
    case XgFamily::TfrFromCcr: set_result(rd, old); break;
    case XgFamily::TfrToCcr: set_flags(reg(rd) & 0x0F); break;
    case XgFamily::TfrFromPc: set_result(rd, static_cast<std::uint16_t>(next_pc + 2)); break;
    case XgFamily::Bffo: {
      const std::uint16_t v = reg(xg_rs1(word));
      const auto r = static_cast<std::uint16_t>(v ? 15 - std::countl_zero(v) : 0);
      set_flags(static_cast<std::uint8_t>(nz16(r) | (v == 0 ? XG_C : 0)));
      set_result(rd, r);
      break;
    }
    case XgFamily::Asr: case XgFamily::Csl: case XgFamily::Csr: case XgFamily::Lsl:
    case XgFamily::Lsr: case XgFamily::Rol: case XgFamily::Ror: {
      int count;
      if (op.operand2 == XgOperand::Imm4) {
        count = xg_imm4(word) ? xg_imm4(word) : 16;
      } else {
        const std::uint16_t n = reg(xg_rs1(word));
        count = is_rotate(op.family) ? (n & 15) : (n > 16 ? 16 : n);
      }
      f = old;
      const std::uint16_t r = shift(op.family, reg(rd), count, f);
      set_flags(count ? f : static_cast<std::uint8_t>((f & ~XG_C) | (old & XG_C)));
      set_result(rd, r);
      break;
    }
    case XgFamily::And: logic16(reg(xg_rs1(word)) & reg(xg_rs2(word))); break;
    case XgFamily::Or: logic16(reg(xg_rs1(word)) | reg(xg_rs2(word))); break;
    case XgFamily::Xnor: logic16(static_cast<std::uint16_t>(~(reg(xg_rs1(word)) ^ reg(xg_rs2(word))))); break;
    case XgFamily::Sub: case XgFamily::Sbc: {
      const bool chained = op.family == XgFamily::Sbc;
      const std::uint16_t r = sub16(reg(xg_rs1(word)), reg(xg_rs2(word)), chained ? (old & XG_C) : 0, f);
      set_flags(chained ? chain_zero(f, old) : f);
      set_result(rd, r);
      break;
    }
    case XgFamily::Add: case XgFamily::Adc: {
      const bool chained = op.family == XgFamily::Adc;
      const std::uint16_t r = add16(reg(xg_rs1(word)), reg(xg_rs2(word)), chained ? (old & XG_C) : 0, f);
      set_flags(chained ? chain_zero(f, old) : f);
      set_result(rd, r);
      break;
    }
    case XgFamily::Branch:
      if (branch_taken(op.match, old)) {
        set_pc(xg_branch_target(word, address, op.operand1));
        ++cycles;
      }
      break;
    case XgFamily::Ldb: {
      const std::uint16_t ea = effective_address(op.operand2, word, 1);
      set_result(rd, memory_.ReadByte(to_global(ea)));
      break;
    }
    case XgFamily::Ldw: {
      const std::uint16_t ea = effective_address(op.operand2, word, 2);
      set_result(rd, memory_.ReadWord(to_global(ea)));
      break;
    }
    case XgFamily::Stb: {
      const std::uint16_t ea = effective_address(op.operand2, word, 1);
      memory_.WriteByte(to_global(ea), static_cast<std::uint8_t>(reg(rd)));
      break;
    }
    case XgFamily::Stw: {
      const std::uint16_t ea = effective_address(op.operand2, word, 2);
      memory_.WriteWord(to_global(ea), reg(rd));
      break;
    }
    case XgFamily::Bfext: case XgFamily::Bfins: case XgFamily::Bfinsi: case XgFamily::Bfinsx: {
      // RS2 holds the field: width - 1 in bits 4-7, offset in bits 0-3.
      const std::uint16_t field_spec = reg(xg_rs2(word));
      const int offset = field_spec & 15;
      const std::uint32_t ones = (1u << (((field_spec >> 4) & 15) + 1)) - 1;
      const std::uint16_t source = reg(xg_rs1(word));
      if (op.family == XgFamily::Bfext) {
        logic16(static_cast<std::uint16_t>((source >> offset) & ones));
        break;
      }
      const std::uint16_t dest = reg(rd);
      const auto field = static_cast<std::uint16_t>(ones << offset);
      std::uint32_t bits = std::uint32_t{source} << offset;                        // bfins
      if (op.family == XgFamily::Bfinsi) bits = ~bits;                             // its complement
      if (op.family == XgFamily::Bfinsx) bits = ~(bits ^ dest);                    // complement of RS1 ^ RD
      logic16(static_cast<std::uint16_t>((dest & ~field) | (bits & field)));
      break;
    }
    case XgFamily::Andl: logic8(false, static_cast<std::uint8_t>(reg(rd) & xg_imm8(word)), true); break;
    case XgFamily::Andh: logic8(true, static_cast<std::uint8_t>((reg(rd) >> 8) & xg_imm8(word)), true); break;
    case XgFamily::Bitl: logic8(false, static_cast<std::uint8_t>(reg(rd) & xg_imm8(word)), false); break;
    case XgFamily::Bith: logic8(true, static_cast<std::uint8_t>((reg(rd) >> 8) & xg_imm8(word)), false); break;
    case XgFamily::Orl: logic8(false, static_cast<std::uint8_t>(reg(rd) | xg_imm8(word)), true); break;
    case XgFamily::Orh: logic8(true, static_cast<std::uint8_t>((reg(rd) >> 8) | xg_imm8(word)), true); break;
    case XgFamily::Xnorl: logic8(false, static_cast<std::uint8_t>(~(reg(rd) ^ xg_imm8(word))), true); break;
    case XgFamily::Xnorh: logic8(true, static_cast<std::uint8_t>(~((reg(rd) >> 8) ^ xg_imm8(word))), true); break;
    case XgFamily::Subl: case XgFamily::Subh: {
      const int shift_by = op.family == XgFamily::Subh ? 8 : 0;
      const std::uint16_t r = sub16(reg(rd), static_cast<std::uint16_t>(xg_imm8(word) << shift_by), 0, f);
      set_flags(f);
      set_result(rd, r);
      break;
    }
    case XgFamily::Addl: case XgFamily::Addh: {
      const int shift_by = op.family == XgFamily::Addh ? 8 : 0;
      const std::uint16_t r = add16(reg(rd), static_cast<std::uint16_t>(xg_imm8(word) << shift_by), 0, f);
      set_flags(f);
      set_result(rd, r);
      break;
    }
    case XgFamily::Cmpl:
      set_flags(sub8_flags(static_cast<std::uint8_t>(reg(rd)), static_cast<std::uint8_t>(xg_imm8(word)), 0));
      break;
    case XgFamily::Cpch:
      set_flags(chain_zero(
          sub8_flags(static_cast<std::uint8_t>(reg(rd) >> 8), static_cast<std::uint8_t>(xg_imm8(word)), old & XG_C),
          old));
      break;
    case XgFamily::Ldl: set_result(rd, static_cast<std::uint16_t>(xg_imm8(word))); break;
    case XgFamily::Ldh: set_result(rd, static_cast<std::uint16_t>(xg_imm8(word) << 8 | (reg(rd) & 0xFF))); break;
  }
  return cycles;
}

}  // namespace tav
