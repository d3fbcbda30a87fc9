// Adds and subtracts of 8 and 16 bits (adc and sbc with a carry or borrow
// in), and the shifts, neg, inc and dec of the read-modify-write family,
// with the CCR bits they set: N, Z, V and C, and H for the 8-bit adds.
//
// The CPU12's flags of these operations are the x86's own: sign, zero,
// overflow, carry (a borrow on a subtract) and, for H, the auxiliary carry
// out of bit 3; only after shr and sar does V differ (N ^ C). On an x86-64 host the operation is one host instruction
// whose flags come out in one lahf; worked out bit by bit they took 15-25
// host instructions. The portable versions are the reference the host
// versions are tested against.
#pragma once
#include <array>
#include <cstdint>

#include "sim/cpu_regs.h"

namespace tav::alu {

struct Result {
  std::uint32_t value;  // 8 or 16 bits
  std::uint32_t flags;  // CCR bits: N Z V C, and H for the 8-bit adds
};

namespace portable {

// R + M + carry in (0 or 1). Bit k of R ^ M ^ sum is the carry into bit k.
template <unsigned kBits, bool kHalfCarry = kBits == 8>
constexpr Result add(std::uint32_t r, std::uint32_t m, std::uint32_t carry) {
  constexpr std::uint32_t mask = (1u << kBits) - 1;
  const std::uint32_t sum = r + m + carry;
  const std::uint32_t value = sum & mask;
  const std::uint32_t carries = r ^ m ^ sum;
  const std::uint32_t carry_out = sum >> kBits & 1;
  std::uint32_t flags = carry_out * CC_C | ((carries >> (kBits - 1) ^ carry_out) & 1) * CC_V |
                        (value >> (kBits - 1) & 1) * CC_N | (value == 0) * CC_Z;
  if (kHalfCarry) flags |= (carries >> 4 & 1) * CC_H;
  return {value, flags};
}

// R - M - borrow in (0 or 1): R + ~M + 1 - borrow, C the borrow out.
template <unsigned kBits>
constexpr Result sub(std::uint32_t r, std::uint32_t m, std::uint32_t borrow) {
  constexpr std::uint32_t mask = (1u << kBits) - 1;
  const Result sum = add<kBits, false>(r, ~m & mask, borrow ^ 1);
  return {sum.value, sum.flags ^ CC_C};
}

// The read-modify-write operations; inc and dec leave C to the caller (it is
// kept). Shifts set V to N ^ C; neg sets C when the operand was not zero.
enum class Unary { Lsl, Lsr, Asr, Neg, Inc, Dec };

template <Unary K, unsigned kBits>
constexpr Result unary(std::uint32_t old) {
  constexpr unsigned high = kBits - 1;
  constexpr std::uint32_t top = 1u << high;
  constexpr std::uint32_t all = (top << 1) - 1;
  std::uint32_t v, c = 0, overflow = 0;  // c and overflow: 0 or 1
  if constexpr (K == Unary::Lsl) {
    v = (old << 1) & all;
    c = old >> high & 1;
  } else if constexpr (K == Unary::Lsr || K == Unary::Asr) {
    v = (old >> 1) | (K == Unary::Asr ? old & top : 0);
    c = old & 1;
  } else if constexpr (K == Unary::Neg) {
    v = (0u - old) & all;
    c = old != 0;
    overflow = old == top;
  } else if constexpr (K == Unary::Dec) {
    v = (old - 1) & all;
    overflow = old == top;
  } else {
    v = (old + 1) & all;
    overflow = old == top - 1;
  }
  if constexpr (K == Unary::Lsl || K == Unary::Lsr || K == Unary::Asr) overflow = (v >> high & 1) ^ c;
  return {v, (v >> high & 1) * CC_N | (v == 0) * CC_Z | overflow * CC_V | c * CC_C};
}

}  // namespace portable

#if defined(__x86_64__) && defined(__GNUC__) && !defined(TAV_PORTABLE_ALU)

namespace detail {

// lahf's AH (sign, zero, auxiliary carry, parity, carry at bits 7, 6, 4,
// 2, 0) as CCR bits; the table for 16 bits leaves out H.
template <bool kHalfCarry>
constexpr std::array<std::uint8_t, 256> kFlagsOfAh = [] {
  std::array<std::uint8_t, 256> t{};
  for (unsigned ah = 0; ah < 256; ++ah)
    t[ah] = static_cast<std::uint8_t>((ah & 0x80 ? CC_N : 0) | (ah & 0x40 ? CC_Z : 0) | (ah & 0x01 ? CC_C : 0) |
                                      (kHalfCarry && (ah & 0x10) ? CC_H : 0));
  return t;
}();

template <bool kHalfCarry>
[[gnu::always_inline]] inline std::uint32_t flags_of(unsigned long ax, bool overflow) {
  return kFlagsOfAh<kHalfCarry>[(ax >> 8) & 0xFF] | (overflow ? CC_V : 0);
}

}  // namespace detail

// The operation `insn` (or `carry_insn` after bt has put bit 0 of `carry`
// into the host's carry flag) on the low kBits of v and m, then lahf.
#define TAV_ALU_BINARY(insn, carry_insn)                                                                   \
  if constexpr (kBits == 8) {                                                                              \
    std::uint8_t v = static_cast<std::uint8_t>(r);                                                         \
    if constexpr (kCarry)                                                                                  \
      asm("btl $0, %k[c]\n\t" carry_insn "b %b[m], %b[v]\n\tlahf"                                        \
          : [v] "+q"(v), "=a"(ax), "=@cco"(overflow) : [m] "q"(m), [c] "r"(carry) : "cc");                \
    else                                                                                                   \
      asm(insn "b %b[m], %b[v]\n\tlahf" : [v] "+q"(v), "=a"(ax), "=@cco"(overflow) : [m] "q"(m) : "cc");  \
    value = v;                                                                                             \
  } else {                                                                                                 \
    std::uint16_t v = static_cast<std::uint16_t>(r);                                                       \
    if constexpr (kCarry)                                                                                  \
      asm("btl $0, %k[c]\n\t" carry_insn "w %w[m], %w[v]\n\tlahf"                                        \
          : [v] "+r"(v), "=a"(ax), "=@cco"(overflow) : [m] "r"(m), [c] "r"(carry) : "cc");                \
    else                                                                                                   \
      asm(insn "w %w[m], %w[v]\n\tlahf" : [v] "+r"(v), "=a"(ax), "=@cco"(overflow) : [m] "r"(m) : "cc");  \
    value = v;                                                                                             \
  }

// kCarry: add with the carry (sub with the borrow) in bit 0 of `carry`.
template <unsigned kBits, bool kCarry = false, bool kHalfCarry = kBits == 8>
[[gnu::always_inline]] inline Result add(std::uint32_t r, std::uint32_t m, std::uint32_t carry = 0) {
  unsigned long ax;
  bool overflow;
  std::uint32_t value;
  TAV_ALU_BINARY("add", "adc")
  return {value, detail::flags_of<kBits == 8 && kHalfCarry>(ax, overflow)};
}

template <unsigned kBits, bool kCarry = false>
[[gnu::always_inline]] inline Result sub(std::uint32_t r, std::uint32_t m, std::uint32_t carry = 0) {
  unsigned long ax;
  bool overflow;
  std::uint32_t value;
  TAV_ALU_BINARY("sub", "sbb")
  return {value, detail::flags_of<false>(ax, overflow)};
}
#undef TAV_ALU_BINARY

using portable::Unary;

// The host's flags of the operation: x86 shl by one sets OF to N ^ C as the
// CPU12 does; after shr and sar V is worked out from N and C.
template <Unary K, unsigned kBits>
[[gnu::always_inline]] inline Result unary(std::uint32_t old) {
  unsigned long ax;
  bool overflow = false;
#define TAV_ALU_UNARY(insn)                                                                               \
  if constexpr (kBits == 8) {                                                                             \
    std::uint8_t v = static_cast<std::uint8_t>(old);                                                      \
    asm(insn "b %b[v]\n\tlahf" : [v] "+q"(v), "=a"(ax), "=@cco"(overflow) : : "cc");                    \
    result = v;                                                                                           \
  } else {                                                                                                \
    std::uint16_t v = static_cast<std::uint16_t>(old);                                                    \
    asm(insn "w %w[v]\n\tlahf" : [v] "+r"(v), "=a"(ax), "=@cco"(overflow) : : "cc");                    \
    result = v;                                                                                           \
  }
  std::uint32_t result;
  if constexpr (K == Unary::Lsl) {
    TAV_ALU_UNARY("shl")
  } else if constexpr (K == Unary::Lsr) {
    TAV_ALU_UNARY("shr")
  } else if constexpr (K == Unary::Asr) {
    TAV_ALU_UNARY("sar")
  } else if constexpr (K == Unary::Neg) {
    TAV_ALU_UNARY("neg")
  } else if constexpr (K == Unary::Inc) {
    TAV_ALU_UNARY("inc")
  } else {
    TAV_ALU_UNARY("dec")
  }
#undef TAV_ALU_UNARY
  // x86's OF after shr and sar by one is not the CPU12's V: that is N ^ C.
  constexpr bool v_from_n_c = K == Unary::Lsr || K == Unary::Asr;
  std::uint32_t flags = detail::flags_of<false>(ax, v_from_n_c ? false : overflow);
  if constexpr (v_from_n_c) flags |= ((flags >> 3 ^ flags) & 1) * CC_V;
  if constexpr (K == Unary::Inc || K == Unary::Dec) flags &= ~static_cast<std::uint32_t>(CC_C);
  return {result, flags};
}

#else

using portable::Unary;

template <Unary K, unsigned kBits>
constexpr Result unary(std::uint32_t old) {
  return portable::unary<K, kBits>(old);
}

template <unsigned kBits, bool kCarry = false, bool kHalfCarry = kBits == 8>
constexpr Result add(std::uint32_t r, std::uint32_t m, std::uint32_t carry = 0) {
  return portable::add<kBits, kHalfCarry>(r, m, kCarry ? carry & 1 : 0);
}
template <unsigned kBits, bool kCarry = false>
constexpr Result sub(std::uint32_t r, std::uint32_t m, std::uint32_t carry = 0) {
  return portable::sub<kBits>(r, m, kCarry ? carry & 1 : 0);
}

#endif

}  // namespace tav::alu
