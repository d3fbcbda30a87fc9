#include "ui/model/register_view.h"

#include "sim/memory.h"
#include "sim/registers.h"
#include "support/fmt.h"

namespace tav {

namespace {

constexpr const char* kPanelFormat =
    "    S12X         %pXGATE%p \n"
    "               %p\n"
    "       a:%+02hi \n"
    "       b:%+02hi \n"
    "     x:%+04hi     r0:%+04hl\n"
    "     y:%+04hi     r1:%+04hl\n"
    "     s:%+04hi     r2:%+04hl\n"
    "   epage:%+02hl     r3:%+04hl\n"
    "   gpage:%+02hl     r4:%+04hl\n"
    "   ppage:%+02hl     r5:%+04hl\n"
    "   rpage:%+02hl     r6:%+04hl\n"
    "  direct:%+02hl     r7:%+04hl\n"
    "    pc:%+04hl    xpc:%+04hl\n"
    " ppc:%+06hl   chid:  %+02hl\n"
    " gpc:%+06hl gxpc:%+06hl\n"
    "cc:%b    xcc:%b\n"
    "   %b         \n"
    "   Cycles:    \n"
    " %+010ul %+010ul \n"
    " %+010ul %+010ul \n";

// Each bit from the highest: the character of `set` where it is 1, of `clear` where it is 0.
void bit_chars(char* out, unsigned value, const char* set, const char* clear, int bits) {
  for (int i = 0; i < bits; ++i) out[i] = (value >> (bits - 1 - i)) & 1 ? set[i] : clear[i];
}

}  // namespace

const char* core_mode_text(CoreMode state) {
  switch (state) {
    case CoreMode::Active: return " Active ";
    case CoreMode::Enabled: return " Enabled";
    case CoreMode::Disabled: break;
  }
  return "Disabled";
}

std::string register_panel_text(Registers& r, const Memory& memory, const RegisterPanelState& state) {
  const CpuRegs& cpu = r.cpu();
  char cc[8], xcc[4], ccrh[8];
  bit_chars(cc, cpu.ccr & 0xFF, "SXHINZVC", "........", 8);
  bit_chars(xcc, r.ReadRegister(REG_XCCR) & 0x0F, "NZVC", "....", 4);
  bit_chars(ccrh, cpu.ccr >> 8, "U0000111", ".0000000", 8);
  std::uint32_t x[8];
  for (int i = 0; i < 8; ++i) x[i] = r.ReadRegister(REG_R0 + 32 * i);
  const std::uint32_t chid = memory.peek(kXgateChannelAddr) & 0x7F;
  return fmtstr(kPanelFormat, core_mode_text(state.s12x), core_mode_text(state.xgate), kRegisterTable[0].name,
                cpu.a, cpu.b, cpu.x, x[0], cpu.y, x[1], cpu.sp, x[2], cpu.epage, x[3], cpu.gpage, x[4], cpu.ppage,
                x[5], cpu.rpage, x[6], cpu.direct, x[7], cpu.pc, r.ReadRegister(REG_XPC), r.ReadRegister(REG_PPC),
                chid, r.ReadPC(), r.ReadRegister(REG_XPPC), Bytes{cc, 8}, Bytes{xcc, 4}, Bytes{ccrh, 8},
                state.cycles[0], state.cycles[1], state.cycles[2], state.cycles[3]);
}

}  // namespace tav
