// movb and movw: the decoder has put the source (address or immediate) and
// the destination address in byte-stream order back into assembler order.
#include "sim/cpu_exec.h"

namespace tav::exec {
namespace {

struct Moves {
  template <int I>
  static void apply(Cpu& c, Operand& o) {
    constexpr OpcodeEntry e = kOpcodeTable[I];
    constexpr bool immediate = opd::move_source(e.operand) == opd::IMM;
    if constexpr (e.mnemonic == Mn::movw) {
      const std::uint16_t v = immediate ? static_cast<std::uint16_t>(o.ea) : read16(c, o.ea);
      write16(c, o.ea2, v);
    } else {
      const std::uint8_t v = immediate ? static_cast<std::uint8_t>(o.ea) : read8(c, o.ea);
      write8(c, o.ea2, v);
    }
  }
};

}  // namespace

void register_moves(DispatchTable& table) { register_family<Handler::Moves, Moves>(table); }

}  // namespace tav::exec
