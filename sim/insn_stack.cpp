// Pushes, pulls and the returns; swi and sys stack the whole register set.
#include "sim/cpu_exec.h"

namespace tav::exec {
namespace {

// A CCR taken from the stack can clear X but never set it.
inline std::uint16_t pulled_ccr(std::uint16_t current, std::uint16_t pulled) {
  return static_cast<std::uint16_t>(pulled & (current | ~CC_X));
}

struct Stack {
  template <int I>
  static void apply(Cpu& c, Operand&) {
    constexpr Mn m = kOpcodeTable[I].mnemonic;
    CpuRegs& r = c.regs;
    if constexpr (m == Mn::psha) push8(c, r.a);
    if constexpr (m == Mn::pshb) push8(c, r.b);
    if constexpr (m == Mn::pshc) push8(c, static_cast<std::uint8_t>(r.ccr));
    if constexpr (m == Mn::pshcw) push16(c, r.ccr);
    if constexpr (m == Mn::pshd) {
      push8(c, r.b);
      push8(c, r.a);
    }
    if constexpr (m == Mn::pshx) push16(c, r.x);
    if constexpr (m == Mn::pshy) push16(c, r.y);
    if constexpr (m == Mn::pula) r.a = pull8(c);
    if constexpr (m == Mn::pulb) r.b = pull8(c);
    if constexpr (m == Mn::pulc) {
      const std::uint16_t v = pulled_ccr(r.ccr, static_cast<std::uint16_t>(0xFF00 | pull8(c)));
      r.ccr = static_cast<std::uint16_t>((r.ccr & 0xFF00) | (v & 0xFF));
    }
    if constexpr (m == Mn::pulcw) r.ccr = ccr_word(pulled_ccr(r.ccr, pull16(c)));
    if constexpr (m == Mn::puld) {
      r.a = pull8(c);
      r.b = pull8(c);
    }
    if constexpr (m == Mn::pulx) r.x = pull16(c);
    if constexpr (m == Mn::puly) r.y = pull16(c);
    if constexpr (m == Mn::rts) r.pc = pull16(c);
    if constexpr (m == Mn::rtc) {
      r.ppage = pull8(c);
      r.pc = pull16(c);
    }
    if constexpr (m == Mn::rti) {
      r.ccr = ccr_word(pulled_ccr(r.ccr, pull16(c)));
      r.b = pull8(c);
      r.a = pull8(c);
      r.x = pull16(c);
      r.y = pull16(c);
      r.pc = pull16(c);
    }
    if constexpr (m == Mn::swi || m == Mn::sys) {
      push_registers(c);
      r.ccr |= CC_I;
      // swi's vector is fixed; sys vectors through IVBR like the interrupts.
      const std::uint32_t vector =
          m == Mn::swi ? 0x7FFFF6u : global_of(c, static_cast<std::uint16_t>(c.memory.peek(0x0121) << 8 | 0x12));
      r.pc = static_cast<std::uint16_t>(c.memory.peek(vector) << 8 | c.memory.peek(vector + 1));
    }
  }

  static void push_registers(Cpu& c) {
    push16(c, c.regs.pc);
    push16(c, c.regs.y);
    push16(c, c.regs.x);
    push8(c, c.regs.a);
    push8(c, c.regs.b);
    push16(c, c.regs.ccr);
  }
};

}  // namespace

void register_stack(DispatchTable& table) { register_family<Handler::Stack, Stack>(table); }

}  // namespace tav::exec
