// 8-bit arithmetic and logic (a nibble of the opcode names the operation),
// and the 16-bit arithmetic, logic and compares of D, X, Y and SP.
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
    // The flags are worked out as bits and set in one go: a chain of
    // conditional updates of the CCR costs more than the operation itself.
    unsigned result;
    std::uint32_t flags = 0;
    std::uint16_t cleared = CC_N | CC_Z | CC_V;
    if constexpr (k == Op8::Sub || k == Op8::Cmp) {
      std::int8_t signed_result;  // the host's flags, as in Arith16
      const bool overflow = __builtin_sub_overflow(static_cast<std::int8_t>(R), static_cast<std::int8_t>(M), &signed_result);
      result = static_cast<std::uint8_t>(signed_result);
      cleared |= CC_C;
      flags = (R < M ? CC_C : 0) | (overflow ? CC_V : 0);
    } else if constexpr (k == Op8::Add) {
      std::int8_t signed_result;
      const bool overflow = __builtin_add_overflow(static_cast<std::int8_t>(R), static_cast<std::int8_t>(M), &signed_result);
      result = static_cast<std::uint8_t>(signed_result);
      cleared |= CC_C | CC_H;
      flags = (R + M > 0xFF ? CC_C : 0) | (overflow ? CC_V : 0) | ((R ^ M ^ result) >> 4 & 1) * CC_H;
    } else if constexpr (k == Op8::Sbc || k == Op8::Adc) {
      // R + M + carry in, M inverted for sbc; bit k of R ^ M ^ sum is the
      // carry into bit k, so H and V come from the carries without a branch.
      const unsigned carry = (r.ccr & CC_C) ? 1 : 0;
      const unsigned operand = k == Op8::Sbc ? (~M & 0xFF) : M;
      const unsigned sum = R + operand + (k == Op8::Sbc ? carry ^ 1 : carry);
      const unsigned carries = R ^ operand ^ sum;
      const unsigned carry_out = sum >> 8 & 1;
      result = sum & 0xFF;
      cleared |= k == Op8::Sbc ? CC_C : CC_C | CC_H;
      flags = (k == Op8::Sbc ? carry_out ^ 1 : carry_out) * CC_C | ((carries >> 7 ^ carry_out) & 1) * CC_V;
      if constexpr (k == Op8::Adc) flags |= (carries >> 4 & 1) * CC_H;
    } else {
      if constexpr (k == Op8::And || k == Op8::Bit) result = R & M;
      if constexpr (k == Op8::Eor) result = R ^ M;
      if constexpr (k == Op8::Or) result = R | M;
    }
    flags |= (result >> 7 & 1) * CC_N | (result == 0) * CC_Z;
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
    const std::uint32_t carry = (r.ccr & CC_C) ? 1 : 0;
    std::uint32_t result;
    std::uint32_t flags = 0;  // as bits, set in one go (see Arith8)
    if constexpr (!k.carry && (k.op == Op16::Add || k.op == Op16::Sub)) {
      // Without a carry in, the host's own flags give the overflow and the carry.
      std::int16_t signed_result;
      bool overflow, carry_out;
      if constexpr (k.op == Op16::Add) {
        overflow = __builtin_add_overflow(static_cast<std::int16_t>(R), static_cast<std::int16_t>(M), &signed_result);
        carry_out = R + M > 0xFFFF;
      } else {
        overflow = __builtin_sub_overflow(static_cast<std::int16_t>(R), static_cast<std::int16_t>(M), &signed_result);
        carry_out = R < M;
      }
      result = static_cast<std::uint16_t>(signed_result);
      flags = (carry_out ? CC_C : 0) | (overflow ? CC_V : 0);
    } else if constexpr (k.op == Op16::Add) {
      const std::uint32_t sum = R + M + (k.carry ? carry : 0);
      result = sum & 0xFFFF;
      flags = (sum >> 16 & 1) * CC_C | ((~(R ^ M) & (R ^ result)) >> 15 & 1) * CC_V;
    } else if constexpr (k.op == Op16::Sub) {
      const std::uint32_t sum = R + (~M & 0xFFFF) + (k.carry ? carry ^ 1 : 1);
      result = sum & 0xFFFF;
      flags = (~sum >> 16 & 1) * CC_C | (((R ^ M) & (R ^ result)) >> 15 & 1) * CC_V;
    } else if constexpr (k.op == Op16::And) {
      result = R & M;
    } else if constexpr (k.op == Op16::Eor) {
      result = R ^ M;
    } else {
      result = R | M;
    }
    // The extended-carry forms only keep Z set when it was set before.
    const std::uint32_t zero = result == 0 ? 1 : 0;
    flags |= (result >> 15 & 1) * CC_N | (k.carry && !(r.ccr & CC_Z) ? 0 : zero) * CC_Z;
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
