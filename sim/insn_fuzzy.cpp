// Fuzzy logic (mem, rev, revw, wav and its resume wavi), table lookup (tbl,
// etbl) and the unsigned min/max instructions. rev, revw and wav execute one
// element per execution and move the PC back by 2 until they are done, so
// that interrupts can come in between.
#include <algorithm>

#include "sim/cpu_exec.h"

namespace tav::exec {
namespace {

inline std::uint8_t membership(std::uint8_t input, std::uint8_t p1, std::uint8_t p2, std::uint8_t s1, std::uint8_t s2) {
  if (input < p1 || input > p2) return 0;
  const unsigned g1 = s1 == 0 ? 256 : std::min(unsigned(input - p1) * s1, 256u);
  const unsigned g2 = s2 == 0 ? 256 : std::min(unsigned(p2 - input) * s2, 256u);
  return static_cast<std::uint8_t>(std::min({g1, g2, 255u}));
}

inline void mem(Cpu& c) {
  CpuRegs& r = c.regs;
  const std::uint16_t points = read16(c, global_of(c, r.x));
  const std::uint16_t slopes = read16(c, global_of(c, static_cast<std::uint16_t>(r.x + 2)));
  r.x = static_cast<std::uint16_t>(r.x + 4);
  write8(c, global_of(c, r.y), membership(r.a, points >> 8, points & 0xFF, slopes >> 8, slopes & 0xFF));
  r.y = static_cast<std::uint16_t>(r.y + 1);
}

// One rule element at `address` (Y + offset for rev, the word itself for revw).
inline void rule_element(Cpu& c, std::uint32_t address) {
  CpuRegs& r = c.regs;
  const std::uint8_t v = read8(c, address);
  if (!(r.ccr & CC_V)) {
    if (v < r.a) r.a = v;  // antecedent: the rule's strength is the smallest input
  } else {
    write8(c, address, v > r.a ? v : r.a);  // consequent: keep the strongest rule
  }
}

inline void rev(Cpu& c, bool words) {
  CpuRegs& r = c.regs;
  std::uint16_t element;
  if (words) {
    element = read16(c, global_of(c, r.x));
    r.x = static_cast<std::uint16_t>(r.x + 2);
  } else {
    element = read8(c, global_of(c, r.x));
    r.x = static_cast<std::uint16_t>(r.x + 1);
  }
  const std::uint16_t end = words ? 0xFFFF : 0xFF;
  if (element == end) return;
  r.pc = static_cast<std::uint16_t>(r.pc - 2);
  if (element == end - 1) {
    r.ccr ^= CC_V;
    if (!(r.ccr & CC_V)) {
      r.a = 0xFF;
    } else if (words && (r.ccr & CC_C)) {
      // Weighted rules: the strength is scaled by the rule's weight at Y.
      const std::uint8_t weight = read8(c, global_of(c, r.y));
      r.a = static_cast<std::uint8_t>((r.a * (weight + 1u)) >> 8);
      r.y = static_cast<std::uint16_t>(r.y + 1);
    }
    return;
  }
  rule_element(c, global_of(c, words ? element : static_cast<std::uint16_t>(r.y + element)));
}

inline void wav_element(Cpu& c) {
  CpuRegs& r = c.regs;
  WavState& w = c.wav;
  if (!w.active) {
    w.sum24 = 0;
    w.sum16 = 0;
    w.active = true;
  }
  const std::uint8_t s = read8(c, global_of(c, r.x));
  const std::uint8_t f = read8(c, global_of(c, r.y));
  r.x = static_cast<std::uint16_t>(r.x + 1);
  r.y = static_cast<std::uint16_t>(r.y + 1);
  w.sum24 = (w.sum24 + std::uint32_t{s} * f) & 0xFFFFFF;
  w.sum16 = static_cast<std::uint16_t>(w.sum16 + f);
  r.b = static_cast<std::uint8_t>(r.b - 1);
  if (r.b == 0) {
    r.y = static_cast<std::uint16_t>(w.sum24 >> 16);
    r.set_d(static_cast<std::uint16_t>(w.sum24));
    r.x = w.sum16;
    r.ccr |= CC_Z;
    w.active = false;
  } else {
    r.pc = static_cast<std::uint16_t>(r.pc - 2);
  }
}

// Takes back the partial sums an interrupt stacked (a byte and a word of the
// 24-bit sum, then the 16-bit sum) and goes on with the next element.
inline void wavi(Cpu& c) {
  const std::uint32_t high = pull8(c);
  const std::uint32_t low = pull16(c);
  c.wav.sum24 = high << 16 | low;
  c.wav.sum16 = pull16(c);
  c.wav.active = true;
  wav_element(c);
}

inline void table_lookup(Cpu& c, std::uint32_t ea, bool words) {
  CpuRegs& r = c.regs;
  r.ccr &= static_cast<std::uint16_t>(~(CC_N | CC_Z | CC_C));
  if (!words) {
    const std::uint16_t pair = read16(c, ea);
    const int y1 = pair >> 8, y2 = pair & 0xFF;
    const int p = (y2 - y1) * r.b;
    r.a = static_cast<std::uint8_t>(y1 + (static_cast<std::int16_t>(p) >> 8));
    if (p & 0x80) r.ccr |= CC_C;
    nz8(r, r.a);
  } else {
    const int y1 = read16(c, ea);
    const int y2 = read16(c, ea + 2);
    const std::int32_t p = (y2 - y1) * r.b;
    r.set_d(static_cast<std::uint16_t>(y1 + (p >> 8)));
    if (p & 0x80) r.ccr |= CC_C;
    nz16(r, r.d());
  }
}

// Unsigned min/max: only Z (equal) and C (register below memory) change.
template <bool Max, bool ToMemory, bool Words>
inline void min_max(Cpu& c, std::uint32_t ea) {
  CpuRegs& r = c.regs;
  const std::uint16_t reg = Words ? r.d() : r.a;
  const std::uint16_t m = Words ? read16(c, ea) : read8(c, ea);
  set_flag(r, CC_Z, reg == m);
  set_flag(r, CC_C, reg < m);
  const std::uint16_t v = Max ? std::max(reg, m) : std::min(reg, m);
  if constexpr (ToMemory) {
    if constexpr (Words)
      write16(c, ea, v);
    else
      write8(c, ea, static_cast<std::uint8_t>(v));
  } else if constexpr (Words) {
    r.set_d(v);
  } else {
    r.a = static_cast<std::uint8_t>(v);
  }
}

struct Fuzzy {
  template <int I>
  static void apply(Cpu& c, Operand& o) {
    constexpr Mn m = kOpcodeTable[I].mnemonic;
    if constexpr (m == Mn::mem) mem(c);
    if constexpr (m == Mn::rev) rev(c, false);
    if constexpr (m == Mn::revw) rev(c, true);
    if constexpr (m == Mn::wav) wav_element(c);
    if constexpr (m == Mn::wavi) wavi(c);
    if constexpr (m == Mn::tbl) table_lookup(c, o.ea, false);
    if constexpr (m == Mn::etbl) table_lookup(c, o.ea, true);
    if constexpr (m == Mn::mina) min_max<false, false, false>(c, o.ea);
    if constexpr (m == Mn::maxa) min_max<true, false, false>(c, o.ea);
    if constexpr (m == Mn::minm) min_max<false, true, false>(c, o.ea);
    if constexpr (m == Mn::maxm) min_max<true, true, false>(c, o.ea);
    if constexpr (m == Mn::emind) min_max<false, false, true>(c, o.ea);
    if constexpr (m == Mn::emaxd) min_max<true, false, true>(c, o.ea);
    if constexpr (m == Mn::eminm) min_max<false, true, true>(c, o.ea);
    if constexpr (m == Mn::emaxm) min_max<true, true, true>(c, o.ea);
  }
};

}  // namespace

void register_fuzzy(DispatchTable& table) { register_family<Handler::Fuzzy, Fuzzy>(table); }

}  // namespace tav::exec
