// 8- and 16-bit read-modify-write: neg com inc dec lsl/asl lsr asr rol ror clr
// tst on A, B, D, X, Y or a memory byte/word.
#include "sim/alu_flags.h"
#include "sim/cpu_exec.h"

namespace tav::exec {
namespace {

enum class Op { Neg, Com, Inc, Dec, Lsl, Lsr, Asr, Rol, Ror, Clr, Tst };

constexpr bool starts_with(const char* s, const char* p) {
  while (*p)
    if (*s++ != *p++) return false;
  return true;
}

constexpr Op op_of(Mn m) {
  const char* n = mnemonic_name(m);
  if (starts_with(n, "neg")) return Op::Neg;
  if (starts_with(n, "com")) return Op::Com;
  if (starts_with(n, "inc")) return Op::Inc;
  if (starts_with(n, "dec")) return Op::Dec;
  if (starts_with(n, "lsl") || starts_with(n, "asl")) return Op::Lsl;
  if (starts_with(n, "lsr")) return Op::Lsr;
  if (starts_with(n, "asr")) return Op::Asr;
  if (starts_with(n, "rol")) return Op::Rol;
  if (starts_with(n, "ror")) return Op::Ror;
  if (starts_with(n, "clr")) return Op::Clr;
  return Op::Tst;
}

constexpr bool on_host(Op k) {
  return k == Op::Lsl || k == Op::Lsr || k == Op::Asr || k == Op::Neg || k == Op::Inc || k == Op::Dec;
}
constexpr alu::Unary unary_of(Op k) {
  switch (k) {
    case Op::Lsl: return alu::Unary::Lsl;
    case Op::Lsr: return alu::Unary::Lsr;
    case Op::Asr: return alu::Unary::Asr;
    case Op::Neg: return alu::Unary::Neg;
    case Op::Inc: return alu::Unary::Inc;
    default: return alu::Unary::Dec;
  }
}

// The operation on a value of `Bits` bits; sets C, V, N, Z (inc and dec
// keep C). The flags are set in one go: a chain of conditional updates
// costs twice the instructions on this hot path. Shifts, neg, inc and dec
// take them from the host (see alu_flags.h).
template <Op K, unsigned Bits>
inline std::uint32_t operate(CpuRegs& r, std::uint32_t old) {
  constexpr unsigned high = Bits - 1;
  constexpr std::uint32_t top = 1u << high;
  constexpr std::uint32_t all = (top << 1) - 1;
  constexpr bool keeps_c = K == Op::Inc || K == Op::Dec;
  constexpr std::uint16_t cleared = CC_N | CC_Z | CC_V | (keeps_c ? 0 : CC_C);
  if constexpr (on_host(K)) {
    const alu::Result a = alu::unary<unary_of(K), Bits>(old);
    r.ccr = static_cast<std::uint16_t>((r.ccr & ~cleared) | a.flags);
    return a.value;
  }
  const std::uint32_t carry_in = r.ccr & CC_C;
  std::uint32_t v = 0, c = 0, overflow = 0;  // c and overflow: 0 or 1
  if constexpr (K == Op::Rol) {
    v = ((old << 1) | carry_in) & all;
    c = old >> high & 1;
    overflow = (v >> high & 1) ^ c;
  } else if constexpr (K == Op::Ror) {
    v = (old >> 1) | carry_in << high;
    c = old & 1;
    overflow = (v >> high & 1) ^ c;
  } else if constexpr (K == Op::Com) {
    v = ~old & all;
    c = 1;
  } else if constexpr (K == Op::Tst) {
    v = old;
  }  // clr: all zero
  const std::uint32_t flags = (v >> high & 1) * CC_N | (v == 0) * CC_Z | overflow * CC_V | c * CC_C;
  r.ccr = static_cast<std::uint16_t>((r.ccr & ~cleared) | flags);
  return v;
}

template <unsigned Bits>
struct ReadModifyWrite {
  template <int I>
  static void apply(Cpu& c, Operand& o) {
    constexpr OpcodeEntry e = kOpcodeTable[I];
    constexpr Op k = op_of(e.mnemonic);
    constexpr std::uint32_t field = opd::reg_field(e.operand);
    if constexpr (field == opd::MEM8 || field == opd::MEM16) {
      // A memory operand: read (logged), then written (logged); clr only
      // writes and tst only reads.
      std::uint32_t old = 0;
      if constexpr (k != Op::Clr) old = Bits == 16 ? read16(c, o.ea) : read8(c, o.ea);
      const std::uint32_t v = operate<k, Bits>(c.regs, old);
      if constexpr (k != Op::Tst) {
        if constexpr (Bits == 16)
          write16(c, o.ea, static_cast<std::uint16_t>(v));
        else
          write8(c, o.ea, static_cast<std::uint8_t>(v));
      }
    } else {
      const std::uint32_t v = operate<k, Bits>(c.regs, read_register(c.regs, field));
      if constexpr (k != Op::Tst) write_register(c.regs, field, static_cast<std::uint16_t>(v));
    }
  }
};

}  // namespace

void register_read_modify_write(DispatchTable& table) {
  register_family<Handler::Rmw8, ReadModifyWrite<8>>(table);
  register_family<Handler::Rmw16, ReadModifyWrite<16>>(table);
}

}  // namespace tav::exec
