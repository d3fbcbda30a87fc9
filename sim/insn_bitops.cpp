// bset, bclr and btas: the decoder has read (and logged) the byte at the operand.
#include "sim/cpu_exec.h"

namespace tav::exec {
namespace {

struct BitOps {
  template <int I>
  static void apply(Cpu& c, Operand& o) {
    constexpr Mn m = kOpcodeTable[I].mnemonic;
    std::uint8_t written;
    std::uint8_t flags_from;
    if constexpr (m == Mn::bclr) {
      written = flags_from = static_cast<std::uint8_t>(o.memory & ~o.mask);
    } else if constexpr (m == Mn::bset) {
      written = flags_from = static_cast<std::uint8_t>(o.memory | o.mask);
    } else {
      static_assert(m == Mn::btas);
      written = static_cast<std::uint8_t>(o.memory | o.mask);
      flags_from = static_cast<std::uint8_t>(o.memory & o.mask);
    }
    write8(c, o.ea, written);
    c.regs.ccr &= static_cast<std::uint16_t>(~CC_V);
    nz8(c.regs, flags_from);
  }
};

}  // namespace

void register_bit_ops(DispatchTable& table) { register_family<Handler::BitOps, BitOps>(table); }

}  // namespace tav::exec
