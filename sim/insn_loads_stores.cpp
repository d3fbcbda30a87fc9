// Loads, stores and the effective-address loads (lea*), with their global
// (GPAGE) forms: the decoder already formed the GPAGE address.
#include "sim/cpu_exec.h"

namespace tav::exec {
namespace {

constexpr bool is_lea(Mn m) { return m == Mn::leas || m == Mn::leax || m == Mn::leay; }

struct Loads {
  template <int I>
  static void apply(Cpu& c, Operand& o) {
    constexpr OpcodeEntry e = kOpcodeTable[I];
    constexpr unsigned reg = opd::own_register(e.operand);
    if constexpr (is_lea(e.mnemonic)) {
      // The address itself, untranslated; no flags. An update of the same
      // register by the operand was written already and gives way.
      write_register(c.regs, reg, o.local);
    } else {
      constexpr bool wide = opd::is_16bit_register(reg);
      std::uint16_t v;
      if constexpr (opd::mode(e.operand) == opd::IMM)
        v = static_cast<std::uint16_t>(o.ea);
      else if constexpr (wide)
        v = read16(c, o.ea);
      else
        v = read8(c, o.ea);
      c.regs.ccr &= static_cast<std::uint16_t>(~CC_V);
      if constexpr (wide)
        nz16(c.regs, v);
      else
        nz8(c.regs, static_cast<std::uint8_t>(v));
      write_register(c.regs, reg, v);
    }
  }
};

struct Stores {
  template <int I>
  static void apply(Cpu& c, Operand& o) {
    constexpr OpcodeEntry e = kOpcodeTable[I];
    constexpr unsigned reg = opd::own_register(e.operand);
    const std::uint16_t v = read_register(c.regs, reg);
    c.regs.ccr &= static_cast<std::uint16_t>(~CC_V);
    if constexpr (opd::is_16bit_register(reg)) {
      nz16(c.regs, v);
      write16(c, o.ea, v);
    } else {
      nz8(c.regs, static_cast<std::uint8_t>(v));
      write8(c, o.ea, static_cast<std::uint8_t>(v));
    }
  }
};

}  // namespace

void register_loads_stores(DispatchTable& table) {
  register_family<Handler::Loads, Loads>(table);
  register_family<Handler::Stores, Stores>(table);
}

}  // namespace tav::exec
