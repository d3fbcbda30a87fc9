// Register codes: a register is named by its index in the register table
// times 32. The opcode table, the execution path, the disassembler, the
// evaluator and the extension interface all name registers this way.
#pragma once

namespace tav {

// Codes step by 32 from one register table entry to the next.
inline constexpr int kRegCodeStep = 32;

enum RegCode : int {
  REG_A = 32,
  REG_B = 64,
  REG_CCR = 96,
  REG_CCRW = 128,
  REG_D = 160,
  REG_X = 192,
  REG_Y = 224,
  REG_SP = 256,
  REG_PC = 288,
  REG_PPAGE = 320,
  REG_RPAGE = 352,
  REG_EPAGE = 384,
  REG_GPAGE = 416,
  REG_DIRECT = 448,
  REG_PPC = 480,
  REG_R0 = 512,  // r1..r7 follow at steps of 32
  REG_R7 = 736,
  REG_XPC = 768,
  REG_XCCR = 800,
  REG_XPPC = 832,
  REG_CCRH = 864,
};

}  // namespace tav
