// andcc, orcc, daa, the index increments, mul and the instructions that only
// cost cycles (nop, bgnd, wai, stop).
#include "sim/cpu_exec.h"

namespace tav::exec {
namespace {

inline void daa(CpuRegs& r) {
  const std::uint8_t a = r.a;
  const unsigned low = a & 0x0F, high = a >> 4;
  unsigned correction = 0;
  if (low > 9 || (r.ccr & CC_H)) correction |= 0x06;
  if ((r.ccr & CC_C) || high > 9 || (high == 9 && low > 9)) correction |= 0x60;
  const unsigned sum = a + correction;
  if (sum > 0xFF) r.ccr |= CC_C;  // never cleared
  r.a = static_cast<std::uint8_t>(sum);
  nz8(r, r.a);
  set_flag(r, CC_V, !(a & 0x80) && (r.a & 0x80));
}

struct Misc {
  template <int I>
  static void apply(Cpu& c, Operand& o) {
    constexpr Mn m = kOpcodeTable[I].mnemonic;
    CpuRegs& r = c.regs;
    if constexpr (m == Mn::andcc) {
      r.ccr &= static_cast<std::uint16_t>(0xFF00 | o.ea);
    } else if constexpr (m == Mn::orcc) {
      r.ccr |= keep_x_rule(r.ccr, static_cast<std::uint16_t>(o.ea & 0xFF));
    } else if constexpr (m == Mn::daa) {
      daa(r);
    } else if constexpr (m == Mn::inx || m == Mn::dex || m == Mn::iny || m == Mn::dey) {
      std::uint16_t& reg = (m == Mn::inx || m == Mn::dex) ? r.x : r.y;
      reg = static_cast<std::uint16_t>((m == Mn::inx || m == Mn::iny) ? reg + 1 : reg - 1);
      set_flag(r, CC_Z, reg == 0);
    } else if constexpr (m == Mn::mul) {
      r.set_d(static_cast<std::uint16_t>(r.a * r.b));
      set_flag(r, CC_C, r.b & 0x80);
    } else {
      static_assert(m == Mn::nop || m == Mn::bgnd || m == Mn::wai || m == Mn::stop || m == Mn::none);
    }
  }
};

}  // namespace

void register_misc(DispatchTable& table) { register_family<Handler::Misc, Misc>(table); }

}  // namespace tav::exec
