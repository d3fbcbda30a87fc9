#include "ui/model/register_model.h"

#include "sim/registers.h"

namespace tav {

namespace {

struct RegisterColumn {
  int code;
  const char* name;
  unsigned bits;
};

// The panel's order; ppc and xppc are global addresses.
constexpr RegisterColumn kCpu12[] = {
    {REG_A, "a", 8},         {REG_B, "b", 8},         {REG_D, "d", 16},        {REG_X, "x", 16},
    {REG_Y, "y", 16},        {REG_SP, "s", 16},       {REG_PC, "pc", 16},      {REG_CCR, "ccr", 8},
    {REG_CCRH, "ccrh", 8},   {REG_EPAGE, "epage", 8}, {REG_GPAGE, "gpage", 8}, {REG_PPAGE, "ppage", 8},
    {REG_RPAGE, "rpage", 8}, {REG_DIRECT, "direct", 8}, {REG_PPC, "ppc", 24},
};
constexpr RegisterColumn kXgate[] = {
    {REG_R0, "r0", 16},        {REG_R0 + 32, "r1", 16},  {REG_R0 + 64, "r2", 16},  {REG_R0 + 96, "r3", 16},
    {REG_R0 + 128, "r4", 16},  {REG_R0 + 160, "r5", 16}, {REG_R0 + 192, "r6", 16}, {REG_R7, "r7", 16},
    {REG_XPC, "xpc", 16},      {REG_XCCR, "xccr", 4},    {REG_XPPC, "xppc", 24},
};

template <std::size_t N>
std::vector<RegisterRow> rows(Registers& registers, const RegisterColumn (&columns)[N]) {
  std::vector<RegisterRow> out;
  for (const RegisterColumn& c : columns) {
    const std::uint32_t mask = c.bits >= 32 ? 0xFFFFFFFFu : (1u << c.bits) - 1;
    out.push_back({c.name, registers.ReadRegister(c.code) & mask, c.bits});
  }
  return out;
}

}  // namespace

std::vector<RegisterRow> cpu12_register_rows(Registers& registers) { return rows(registers, kCpu12); }
std::vector<RegisterRow> xgate_register_rows(Registers& registers) { return rows(registers, kXgate); }

}  // namespace tav
