// The divisions (idiv idivs fdiv ediv edivs) and multiplications (emul emuls
// emacs).
#include "sim/cpu_exec.h"

namespace tav::exec {
namespace {

struct Division {
  template <int I>
  static void apply(Cpu& c, Operand&) {
    constexpr Mn m = kOpcodeTable[I].mnemonic;
    CpuRegs& r = c.regs;
    r.ccr &= static_cast<std::uint16_t>(~(CC_Z | CC_V | CC_C));  // N is kept unless set below
    const std::uint16_t divisor = r.x;
    if constexpr (m == Mn::idiv || m == Mn::fdiv) {
      const std::uint16_t dividend = r.d();
      if (divisor == 0) r.ccr |= CC_C;
      if (m == Mn::fdiv && dividend >= divisor) {
        r.ccr |= CC_V;
        r.x = 0xFFFF;
        return;
      }
      if (divisor == 0) {
        r.x = 0xFFFF;
        return;
      }
      const std::uint32_t numerator = m == Mn::fdiv ? std::uint32_t{dividend} << 16 : dividend;
      const std::uint16_t quotient = static_cast<std::uint16_t>(numerator / divisor);
      r.set_d(static_cast<std::uint16_t>(numerator % divisor));
      r.x = quotient;
      set_flag(r, CC_Z, quotient == 0);
    } else if constexpr (m == Mn::idivs) {
      if (divisor == 0) {
        r.ccr |= CC_C;
        return;
      }
      const std::int32_t n = static_cast<std::int16_t>(r.d());
      const std::int32_t d = static_cast<std::int16_t>(divisor);
      const std::int32_t quotient = n / d;
      set_flag(r, CC_N, quotient & 0x8000);
      set_flag(r, CC_Z, quotient == 0);
      if (quotient < -32768 || quotient > 32767) {
        r.ccr |= CC_V;
        return;
      }
      r.x = static_cast<std::uint16_t>(quotient);
      r.set_d(static_cast<std::uint16_t>(n % d));
    } else {
      static_assert(m == Mn::ediv || m == Mn::edivs);
      if (divisor == 0) {
        r.ccr |= CC_C;
        return;
      }
      const std::uint32_t dividend = std::uint32_t{r.y} << 16 | r.d();
      std::int64_t quotient;
      std::int64_t remainder;
      bool overflow;
      if constexpr (m == Mn::ediv) {
        quotient = dividend / divisor;
        remainder = dividend % divisor;
        overflow = quotient > 0xFFFF;
      } else {
        const std::int64_t n = static_cast<std::int32_t>(dividend);
        const std::int64_t d = static_cast<std::int16_t>(divisor);
        if (dividend == 0x80000000u && divisor == 0xFFFF) {
          quotient = 1;  // the overflow case reports quotient 1
          remainder = 0;
          overflow = true;
        } else {
          quotient = n / d;
          remainder = n % d;
          overflow = quotient < -32768 || quotient > 32767;
        }
      }
      set_flag(r, CC_N, quotient & 0x8000);
      set_flag(r, CC_Z, quotient == 0);
      if (overflow) {
        r.ccr |= CC_V;
        return;
      }
      r.y = static_cast<std::uint16_t>(quotient);
      r.set_d(static_cast<std::uint16_t>(remainder));
    }
  }
};

struct MulAcc {
  template <int I>
  static void apply(Cpu& c, Operand& o) {
    constexpr Mn m = kOpcodeTable[I].mnemonic;
    CpuRegs& r = c.regs;
    r.ccr &= static_cast<std::uint16_t>(~(CC_N | CC_Z | CC_C));
    if constexpr (m == Mn::emul || m == Mn::emuls) {
      const std::uint32_t product =
          m == Mn::emul ? std::uint32_t{r.d()} * r.y
                        : static_cast<std::uint32_t>(std::int32_t{static_cast<std::int16_t>(r.d())} *
                                                     static_cast<std::int16_t>(r.y));
      r.y = static_cast<std::uint16_t>(product >> 16);
      r.set_d(static_cast<std::uint16_t>(product));
      if (product & 0x80000000u) r.ccr |= CC_N;
      if (product == 0) r.ccr |= CC_Z;
      if (product & 0x8000) r.ccr |= CC_C;
    } else {
      static_assert(m == Mn::emacs);
      const std::int32_t a = static_cast<std::int16_t>(read16(c, global_of(c, r.x)));
      const std::int32_t b = static_cast<std::int16_t>(read16(c, global_of(c, r.y)));
      const std::uint32_t product = static_cast<std::uint32_t>(a * b);
      const std::uint32_t high = read16(c, o.ea);
      const std::uint32_t accumulator = high << 16 | read16(c, o.ea + 2);
      const std::uint32_t sum = accumulator + product;
      if (sum & 0x80000000u) r.ccr |= CC_N;
      if (sum == 0) r.ccr |= CC_Z;
      if (~(accumulator ^ product) & (accumulator ^ sum) & 0x80000000u) r.ccr |= CC_V;  // never cleared here
      if (((accumulator & 0xFFFF) + (product & 0xFFFF)) & 0x10000) r.ccr |= CC_C;
      write16(c, o.ea, static_cast<std::uint16_t>(sum >> 16));
      write16(c, o.ea + 2, static_cast<std::uint16_t>(sum));
    }
  }
};

}  // namespace

void register_divide_multiply(DispatchTable& table) {
  register_family<Handler::Division, Division>(table);
  register_family<Handler::MulAcc, MulAcc>(table);
}

}  // namespace tav::exec
