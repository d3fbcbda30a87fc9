// 8-bit arithmetic and logic (a nibble of the opcode names the operation),
// and the 16-bit arithmetic, logic and compares of D, X, Y and SP.
#include "sim/alu_flags.h"
#include "sim/cpu_exec.h"

namespace tav::exec {
namespace {

enum class Op8 { Sub, Cmp, Sbc, And, Bit, Eor, Adc, Or, Add };

constexpr Op8 op8_of(const OpcodeEntry& e) {
  if (e.mnemonic == Mn::aba) return Op8::Add;
  if (e.mnemonic == Mn::sba) return Op8::Sub;
  if (e.mnemonic == Mn::cba) return Op8::Cmp;
  switch (e.opcode & 0x0F) {
    case 0x0: return Op8::Sub;
    case 0x1: return Op8::Cmp;
    case 0x2: return Op8::Sbc;
    case 0x4: return Op8::And;
    case 0x5: return Op8::Bit;
    case 0x8: return Op8::Eor;
    case 0x9: return Op8::Adc;
    case 0xA: return Op8::Or;
    default: return Op8::Add;
  }
}

struct Arith8 {
  template <int I>
  static void apply(Cpu& c, Operand& o) {
    constexpr OpcodeEntry e = kOpcodeTable[I];
    constexpr Op8 k = op8_of(e);
    constexpr unsigned reg = opd::own_register(e.operand);
    CpuRegs& r = c.regs;
    const unsigned R = reg == opd::R_A ? r.a : r.b;
    unsigned M;
    if constexpr (e.mnemonic == Mn::aba || e.mnemonic == Mn::sba || e.mnemonic == Mn::cba)
      M = r.b;
    else if constexpr (opd::mode(e.operand) == opd::IMM)
      M = o.ea & 0xFF;
    else
      M = read8(c, o.ea);
    // The flags are set in one go: a chain of conditional updates of the
    // CCR costs more than the operation itself.
    unsigned result;
    std::uint32_t flags;
    std::uint16_t cleared = CC_N | CC_Z | CC_V;
    if constexpr (k == Op8::And || k == Op8::Bit || k == Op8::Eor || k == Op8::Or) {
      if constexpr (k == Op8::And || k == Op8::Bit) result = R & M;
      if constexpr (k == Op8::Eor) result = R ^ M;
      if constexpr (k == Op8::Or) result = R | M;
      flags = (result >> 7 & 1) * CC_N | (result == 0) * CC_Z;
    } else {
      // The carry in is the CCR's bit 0, C.
      alu::Result a;
      if constexpr (k == Op8::Sub || k == Op8::Cmp) a = alu::sub<8>(R, M);
      if constexpr (k == Op8::Sbc) a = alu::sub<8, true>(R, M, r.ccr);
      if constexpr (k == Op8::Add) a = alu::add<8>(R, M);
      if constexpr (k == Op8::Adc) a = alu::add<8, true>(R, M, r.ccr);
      result = a.value;
      flags = a.flags;
      cleared |= k == Op8::Add || k == Op8::Adc ? CC_C | CC_H : CC_C;
    }
    r.ccr = static_cast<std::uint16_t>((r.ccr & ~cleared) | flags);
    if constexpr (k != Op8::Cmp && k != Op8::Bit) write_register(r, reg, static_cast<std::uint16_t>(result));
  }
};

enum class Op16 { Add, Sub, And, Eor, Or };

struct Op16Info {
  Op16 op;
  bool carry;    // aded/adex/adey, sbed/sbex/sbey, cped/cpex/cpey/cpes: carry in, sticky Z
  bool write;    // compares and bit tests write nothing
};

constexpr Op16Info op16_of(Mn m) {
  switch (m) {
    case Mn::addd: case Mn::addx: case Mn::addy: return {Op16::Add, false, true};
    case Mn::aded: case Mn::adex: case Mn::adey: return {Op16::Add, true, true};
    case Mn::subd: case Mn::subx: case Mn::suby: return {Op16::Sub, false, true};
    case Mn::sbed: case Mn::sbex: case Mn::sbey: return {Op16::Sub, true, true};
    case Mn::cpd: case Mn::cpx: case Mn::cpy: case Mn::cps: return {Op16::Sub, false, false};
    case Mn::cped: case Mn::cpex: case Mn::cpey: case Mn::cpes: return {Op16::Sub, true, false};
    case Mn::andx: case Mn::andy: return {Op16::And, false, true};
    case Mn::bitx: case Mn::bity: return {Op16::And, false, false};
    case Mn::eorx: case Mn::eory: return {Op16::Eor, false, true};
    default: return {Op16::Or, false, true};
  }
}

struct Arith16 {
  template <int I>
  static void apply(Cpu& c, Operand& o) {
    constexpr OpcodeEntry e = kOpcodeTable[I];
    constexpr Op16Info k = op16_of(e.mnemonic);
    constexpr unsigned reg = opd::own_register(e.operand);
    CpuRegs& r = c.regs;
    const std::uint32_t R = read_register(r, reg);
    std::uint32_t M;
    if constexpr (opd::mode(e.operand) == opd::IMM)
      M = o.ea & 0xFFFF;
    else
      M = read16(c, o.ea);
    std::uint32_t result;
    std::uint32_t flags;  // set in one go (see Arith8)
    if constexpr (k.op == Op16::Add || k.op == Op16::Sub) {
      // The carry in is the CCR's bit 0, C.
      const alu::Result a = k.op == Op16::Add ? alu::add<16, k.carry>(R, M, r.ccr) : alu::sub<16, k.carry>(R, M, r.ccr);
      result = a.value;
      flags = a.flags;
      // The extended-carry forms only keep Z set when it was set before.
      if constexpr (k.carry) flags &= ~static_cast<std::uint32_t>(CC_Z) | r.ccr;
    } else {
      if constexpr (k.op == Op16::And) result = R & M;
      if constexpr (k.op == Op16::Eor) result = R ^ M;
      if constexpr (k.op == Op16::Or) result = R | M;
      flags = (result >> 15 & 1) * CC_N | (result == 0) * CC_Z;
    }
    r.ccr = static_cast<std::uint16_t>((r.ccr & ~(CC_N | CC_Z | CC_V | CC_C)) | flags);
    if constexpr (k.write) write_register(r, reg, static_cast<std::uint16_t>(result));
  }
};

}  // namespace

void register_arithmetic(DispatchTable& table) {
  register_family<Handler::Arith8, Arith8>(table);
  register_family<Handler::Arith16, Arith16>(table);
}

}  // namespace tav::exec
