// XGATE instruction semantics: one instruction at a time, its registers,
// flags, memory and cycles.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sim/xgate_table.h"
#include "xgate_test_support.h"

namespace tav::test {
namespace {

// Encodings, from the instruction formats.
constexpr std::uint16_t tri(std::uint16_t op, int rd, int rs1, int rs2) {
  return static_cast<std::uint16_t>(op | rd << 8 | rs1 << 5 | rs2 << 2);
}
constexpr std::uint16_t imm8(std::uint16_t op, int rd, int value) {
  return static_cast<std::uint16_t>(op | rd << 8 | value);
}
constexpr std::uint16_t shift_imm(std::uint16_t op, int rd, int n) {
  return static_cast<std::uint16_t>(op | rd << 8 | n << 4);
}
constexpr std::uint16_t shift_rs(std::uint16_t op, int rd, int rs) {
  return static_cast<std::uint16_t>(op | rd << 8 | rs << 5);
}
constexpr std::uint16_t mon(std::uint16_t op, int rd) { return static_cast<std::uint16_t>(op | rd << 8); }
constexpr std::uint16_t off5(std::uint16_t op, int rd, int rb, int offset) {
  return static_cast<std::uint16_t>(op | rd << 8 | rb << 5 | offset);
}

enum : std::uint16_t {
  SUB = 0x1800, SBC = 0x1801, ADD = 0x1802, ADC = 0x1803, AND = 0x1000, OR = 0x1002, XNOR = 0x1003,
  LDB_I = 0x6000, LDB_INC = 0x6001, LDB_DEC = 0x6002, LDW_INC = 0x6801, LDW_DEC = 0x6802, STB_I = 0x7000,
  LDW_O = 0x4800, STW_O = 0x5800, BFEXT = 0x6003, BFINS = 0x6803, BFINSI = 0x7003, BFINSX = 0x7803,
  ASR_RS = 0x0811, LSL_RS = 0x0814, LSR_RS = 0x0815, ROL_RS = 0x0816, ASR_I = 0x0809, CSL_I = 0x080A,
  CSR_I = 0x080B, LSL_I = 0x080C, ROR_I = 0x080F, ANDL = 0x8000, ANDH = 0x8800, BITL = 0x9000, ORH = 0xA800,
  XNORL = 0xB000, SUBL = 0xC000, SUBH = 0xC800, CMPL = 0xD000, CPCH = 0xD800, ADDL = 0xE000, ADDH = 0xE800,
  LDL = 0xF000, LDH = 0xF800, SEX = 0x00F4, PAR = 0x00F5, JAL = 0x00F6, SIF_R = 0x00F7, TFR_FROM_CCR = 0x00F8,
  TFR_TO_CCR = 0x00F9, TFR_FROM_PC = 0x00FA, BFFO = 0x0810,
};

constexpr std::uint8_t N = XG_N, Z = XG_Z, V = XG_V, C = XG_C;

class XgateExec : public ::testing::Test {
 protected:
  static constexpr std::uint16_t kCode = 0x0810;  // XGATE flash: global 0x780810

  // Executes `word` at kCode with the program counter there; returns its cycles.
  std::uint32_t run(std::uint16_t word) {
    t.memory.WriteWord(0x780000 + kCode, word);
    t.xgate.set_pc(kCode);
    std::uint32_t cycles = 99;
    EXPECT_EQ(t.xgate.XGexinst(&cycles), 2u) << std::hex << word;
    return cycles;
  }
  void set(int n, std::uint16_t v) { t.xgate.set_reg(n, v); }
  std::uint16_t r(int n) { return t.xgate.reg(n); }
  std::uint8_t ccr() { return t.xgate.ccr(); }

  XgateTarget t;
};

TEST_F(XgateExec, NopBrkAndUndefinedWords) {
  EXPECT_EQ(run(0x0100), 1u);
  EXPECT_EQ(t.xgate.pc(), kCode + 2);
  EXPECT_EQ(run(0x0000), 4u);
  EXPECT_EQ(t.xgate.xtime(), 5u);

  // An undefined word changes nothing and costs nothing.
  t.memory.WriteWord(0x780000 + kCode, 0x0004);
  t.xgate.set_pc(kCode);
  std::uint32_t cycles = 99;
  EXPECT_EQ(t.xgate.XGexinst(&cycles), kXgateUndefined);
  EXPECT_EQ(cycles, 0u);
  EXPECT_EQ(t.xgate.pc(), kCode);
  EXPECT_EQ(t.xgate.xtime(), 5u);

  // The counter can be the kernel's variable, or none at all.
  std::uint32_t kernel_xtime = 100;
  t.xgate.bind_xtime(&kernel_xtime);
  run(0x0100);
  EXPECT_EQ(kernel_xtime, 101u);
  t.xgate.bind_xtime(nullptr);
  EXPECT_EQ(run(0x0100), 1u);
}

TEST_F(XgateExec, RunsAtTheTranslatedProgramCounter) {
  t.memory.WriteWord(0x0F8000, 0x0000);  // brk in XGATE RAM
  t.xgate.set_pc(0x8000);
  EXPECT_EQ(t.xgate.ppc(), 0x0F8000u);
  std::uint32_t cycles = 0;
  EXPECT_EQ(t.xgate.XGexinst(&cycles), 2u);
  EXPECT_EQ(cycles, 4u);
  EXPECT_EQ(t.xgate.pc(), 0x8002);
  EXPECT_EQ(t.registers.ReadRegister(REG_XPPC), 0x0F8002u);
}

TEST_F(XgateExec, SubtractIntoR0OnlySetsFlags) {
  set(1, 5);
  set(2, 7);
  const XgateRegisterCopy before = t.xgate.copy_registers();
  EXPECT_EQ(run(tri(SUB, 0, 1, 2)), 1u);  // 0x1828
  const XgateRegisterCopy after = t.xgate.copy_registers();
  for (int i = 0; i < 8; ++i) EXPECT_EQ(after.r[i], before.r[i]) << "r" << i;
  EXPECT_EQ(ccr(), N | C);
  set(1, 7);
  run(tri(SUB, 0, 1, 2));
  EXPECT_EQ(ccr(), Z);
  set(1, 0x8000);
  set(2, 1);
  run(tri(SUB, 0, 1, 2));
  EXPECT_EQ(ccr(), V);
  EXPECT_EQ(r(0), 0);
}

TEST_F(XgateExec, AdditionAndSubtractionFlags) {
  struct Case { std::uint16_t word, a, b, result; std::uint8_t flags; };
  const Case cases[] = {
      {tri(ADD, 3, 1, 2), 0x7FFF, 0x0001, 0x8000, N | V},
      {tri(ADD, 3, 1, 2), 0xFFFF, 0x0001, 0x0000, Z | C},
      {tri(ADD, 3, 1, 2), 0x8000, 0x8000, 0x0000, Z | V | C},
      {tri(SUB, 3, 1, 2), 0x0001, 0x0002, 0xFFFF, N | C},
      {tri(SUB, 3, 1, 2), 0x7FFF, 0xFFFF, 0x8000, N | V | C},
  };
  for (const Case& c : cases) {
    set(1, c.a);
    set(2, c.b);
    t.xgate.set_ccr(0);
    run(c.word);
    EXPECT_EQ(r(3), c.result) << std::hex << c.word << " " << c.a << " " << c.b;
    EXPECT_EQ(ccr(), c.flags) << std::hex << c.word << " " << c.a << " " << c.b;
  }
  set(1, 0xFF01);
  run(imm8(ADDL, 1, 0xFF));
  EXPECT_EQ(r(1), 0x0000);
  EXPECT_EQ(ccr(), Z | C);
  set(1, 0x8000);
  run(imm8(ADDH, 1, 0x80));
  EXPECT_EQ(r(1), 0x0000);
  EXPECT_EQ(ccr(), Z | V | C);
  set(1, 0x0000);
  run(imm8(SUBH, 1, 0x01));
  EXPECT_EQ(r(1), 0xFF00);
  EXPECT_EQ(ccr(), N | C);
  set(1, 0x0105);
  run(imm8(SUBL, 1, 0x06));
  EXPECT_EQ(r(1), 0x00FF);
  EXPECT_EQ(ccr(), 0);
}

// 32-bit arithmetic: the Z of the low half carries into the high half.
TEST_F(XgateExec, CarryChainsKeepAClearZeroClear) {
  struct Case { std::uint32_t a, b; bool subtract; std::uint32_t result; std::uint8_t flags; };
  const Case cases[] = {
      {0x0001FFFF, 0x00000001, false, 0x00020000, 0},
      {0xFFFFFFFF, 0x00000001, false, 0x00000000, Z | C},
      {0x00010001, 0xFFFF0000, false, 0x00000001, C},      // high half 0, low half not: Z stays clear
      {0x00010000, 0x00010000, true, 0x00000000, Z},
      {0x00010001, 0x00010000, true, 0x00000001, 0},       // high half 0, low half not
      {0x00000000, 0x00000001, true, 0xFFFFFFFF, N | C},
  };
  for (const Case& c : cases) {
    set(1, static_cast<std::uint16_t>(c.a));
    set(2, static_cast<std::uint16_t>(c.a >> 16));
    set(3, static_cast<std::uint16_t>(c.b));
    set(4, static_cast<std::uint16_t>(c.b >> 16));
    run(tri(c.subtract ? SUB : ADD, 5, 1, 3));
    run(tri(c.subtract ? SBC : ADC, 6, 2, 4));
    EXPECT_EQ(std::uint32_t{r(6)} << 16 | r(5), c.result) << std::hex << c.a << " " << c.b;
    EXPECT_EQ(ccr(), c.flags) << std::hex << c.a << " " << c.b;
  }
}

TEST_F(XgateExec, SixteenBitCompareWithCmplAndCpch) {
  struct Case { std::uint16_t value, against; std::uint8_t flags; };
  const Case cases[] = {
      {0x1234, 0x1234, Z},
      {0x1235, 0x1234, 0},      // equal high bytes, but the low compare cleared Z
      {0x1233, 0x1234, N | C},  // the borrow of the low byte reaches the high byte
      {0x8000, 0x7F00, V},
  };
  for (const Case& c : cases) {
    set(1, c.value);
    run(imm8(CMPL, 1, c.against & 0xFF));
    run(imm8(CPCH, 1, c.against >> 8));
    EXPECT_EQ(ccr(), c.flags) << std::hex << c.value << " " << c.against;
    EXPECT_EQ(r(1), c.value);
  }
}

TEST_F(XgateExec, LoadsAndStoresGoThroughTheXgateMap) {
  t.memory.WriteWord(0x0F8104, 0xBEEF);  // XGATE RAM 0x8104
  set(1, 0x8100);
  set(2, 4);
  EXPECT_EQ(run(tri(LDW_INC, 3, 1, 2)), 2u);
  EXPECT_EQ(r(3), 0xBEEF);
  EXPECT_EQ(r(2), 6);
  set(2, 4);
  run(tri(LDB_INC, 3, 1, 2));
  EXPECT_EQ(r(3), 0x00BE);
  EXPECT_EQ(r(2), 5);
  set(2, 6);
  run(tri(LDW_DEC, 3, 1, 2));  // decremented first
  EXPECT_EQ(r(3), 0xBEEF);
  EXPECT_EQ(r(2), 4);
  set(2, 6);
  run(tri(LDB_DEC, 3, 1, 2));
  EXPECT_EQ(r(3), 0x00EF);
  EXPECT_EQ(r(2), 5);

  set(3, 0x1234);
  EXPECT_EQ(run(off5(STW_O, 3, 1, 6)), 2u);
  EXPECT_EQ(t.memory.ReadWord(0x0F8106), 0x1234);
  set(2, 0x0009);
  run(tri(STB_I, 3, 1, 2));
  EXPECT_EQ(t.memory.ReadByte(0x0F8109), 0x34);
  EXPECT_EQ(t.memory.ReadByte(0x0F810A), 0x00);

  // The flash from 0x0800 and the registers below it.
  t.memory.WriteWord(0x780900, 0xCAFE);
  set(1, 0x0900);
  run(off5(LDW_O, 4, 1, 0));
  EXPECT_EQ(r(4), 0xCAFE);
  t.memory.WriteByte(0x0121, 0x5A);
  set(1, 0x0120);
  set(2, 1);
  run(tri(LDB_I, 4, 1, 2));
  EXPECT_EQ(r(4), 0x005A);

  // R0 as destination discards the load; R0 as index adds nothing.
  run(off5(LDW_O, 0, 1, 0));
  EXPECT_EQ(r(0), 0);
  set(2, 0);
  run(tri(LDW_INC, 5, 1, 0));
  EXPECT_EQ(r(5), 0x005A);  // the word at 0x0120: (r1, r0+) leaves r0 at 0
  EXPECT_EQ(r(0), 0);
}

std::uint32_t everything_in_ram(std::uint32_t a) { return 0x0F0000 | (a & 0xFFFF); }

TEST_F(XgateExec, LoadsUseTheBoundTranslation) {
  t.registers.set_xgate_to_global(everything_in_ram);
  t.memory.WriteWord(0x0F8000 + kCode, 0x0100);  // the fetch is translated too
  t.memory.WriteWord(0x0F0900, 0x4242);
  t.xgate.set_pc(0x8000 + kCode);
  std::uint32_t cycles = 0;
  EXPECT_EQ(t.xgate.XGexinst(&cycles), 2u);
  EXPECT_EQ(cycles, 1u);
  t.memory.WriteWord(0x0F0000 + kCode, off5(LDW_O, 4, 1, 0));
  t.xgate.set_pc(kCode);
  set(1, 0x0900);
  t.xgate.XGexinst(&cycles);
  EXPECT_EQ(r(4), 0x4242);
}

TEST_F(XgateExec, ShiftCounts) {
  struct Case {
    std::uint16_t word, value, count;
    std::uint8_t ccr_in;
    std::uint16_t result;
    std::uint8_t flags;
  };
  const Case cases[] = {
      // An RS count above 16 shifts 16 times; C is the original bit 0.
      {shift_rs(LSL_RS, 1, 2), 0x8001, 20, 0, 0x0000, Z | V | C},
      {shift_rs(LSL_RS, 1, 2), 0x8000, 20, C, 0x0000, Z | V},
      {shift_imm(LSL_I, 1, 0), 0x8001, 0, 0, 0x0000, Z | V | C},  // immediate 0 means 16
      {shift_rs(LSR_RS, 1, 2), 0x8001, 0, C, 0x8001, N | C},      // count 0: C unchanged
      {shift_rs(LSR_RS, 1, 2), 0x8001, 0, 0, 0x8001, N},
      {shift_rs(ROL_RS, 1, 2), 0x8001, 17, 0, 0x0003, V | C},     // rotates use RS & 15
      {shift_imm(ROR_I, 1, 4), 0x1234, 0, C, 0x4123, 0},
      {shift_rs(ASR_RS, 1, 2), 0x8010, 4, 0, 0xF801, N},
      {shift_imm(ASR_I, 1, 0), 0x8000, 0, 0, 0xFFFF, N | C},
      {shift_imm(CSL_I, 1, 4), 0x0001, 0, C, 0x001F, 0},         // shifts C in
      {shift_imm(CSL_I, 1, 1), 0x8000, 0, 0, 0x0000, Z | V | C},
      {shift_imm(CSR_I, 1, 1), 0x0002, 0, C, 0x8001, N | V},
  };
  for (const Case& c : cases) {
    set(1, c.value);
    set(2, c.count);
    t.xgate.set_ccr(c.ccr_in);
    EXPECT_EQ(run(c.word), 1u);
    EXPECT_EQ(r(1), c.result) << std::hex << c.word << " " << c.value << " by " << c.count;
    EXPECT_EQ(ccr(), c.flags) << std::hex << c.word << " " << c.value << " by " << c.count;
  }
}

TEST_F(XgateExec, BitFields) {
  struct Case { std::uint16_t op, source, field, dest_in, result; };
  const Case cases[] = {
      {BFEXT, 0xABCD, 0x0034, 0xFFFF, 0x000C},   // bits 4-7 of RS1 into bits 0-3
      {BFEXT, 0xABCD, 0x00F8, 0xFFFF, 0x00AB},   // 16 bits at 8: only eight exist
      {BFINS, 0x0005, 0x0034, 0xFFFF, 0xFF5F},
      {BFINSI, 0x0005, 0x0034, 0xFFFF, 0xFFAF},
      {BFINSX, 0x0003, 0x0034, 0x00F0, 0x0030},  // ~(0x3 ^ 0xF) into the field
      {BFINS, 0xFFFF, 0x00F0, 0x0000, 0xFFFF},
  };
  for (const Case& c : cases) {
    set(1, c.source);
    set(2, c.field);
    set(3, c.dest_in);
    t.xgate.set_ccr(V | C);
    EXPECT_EQ(run(tri(c.op, 3, 1, 2)), 1u);
    EXPECT_EQ(r(3), c.result) << std::hex << c.op << " " << c.source << " " << c.field;
    EXPECT_EQ(ccr(), static_cast<std::uint8_t>(C | (c.result & 0x8000 ? N : 0))) << std::hex << c.op;
  }
}

TEST_F(XgateExec, LogicKeepsCarryAndClearsOverflow) {
  set(1, 0x0F0F);
  set(2, 0x00FF);
  t.xgate.set_ccr(V | C);
  run(tri(XNOR, 3, 1, 2));
  EXPECT_EQ(r(3), 0xF00F);
  EXPECT_EQ(ccr(), N | C);
  run(tri(AND, 3, 1, 2));
  EXPECT_EQ(r(3), 0x000F);
  EXPECT_EQ(ccr(), C);
  run(tri(OR, 3, 0, 0));
  EXPECT_EQ(r(3), 0);
  EXPECT_EQ(ccr(), Z | C);

  // Byte forms: the other byte is kept, NZ come from the byte worked on.
  set(1, 0x12F0);
  t.xgate.set_ccr(V);
  run(imm8(ANDL, 1, 0x0F));
  EXPECT_EQ(r(1), 0x1200);
  EXPECT_EQ(ccr(), Z);
  set(1, 0x0234);
  run(imm8(ORH, 1, 0x80));
  EXPECT_EQ(r(1), 0x8234);
  EXPECT_EQ(ccr(), N);
  set(1, 0x8234);
  run(imm8(ANDH, 1, 0x7F));
  EXPECT_EQ(r(1), 0x0234);
  EXPECT_EQ(ccr(), 0);
  set(1, 0x1234);
  run(imm8(XNORL, 1, 0x00));
  EXPECT_EQ(r(1), 0x12CB);
  EXPECT_EQ(ccr(), N);
  set(1, 0x00FE);
  run(imm8(BITL, 1, 0x01));
  EXPECT_EQ(r(1), 0x00FE);
  EXPECT_EQ(ccr(), Z);

  // ldl and ldh leave the flags alone.
  set(1, 0xFFFF);
  t.xgate.set_ccr(N | Z | V | C);
  run(imm8(LDL, 1, 0x5A));
  EXPECT_EQ(r(1), 0x005A);
  run(imm8(LDH, 1, 0xA5));
  EXPECT_EQ(r(1), 0xA55A);
  EXPECT_EQ(ccr(), N | Z | V | C);
}

TEST_F(XgateExec, MonadicInstructions) {
  set(1, 0x1280);
  t.xgate.set_ccr(V | C);
  run(mon(SEX, 1));
  EXPECT_EQ(r(1), 0xFF80);
  EXPECT_EQ(ccr(), N | C);

  set(2, 0x0007);
  run(mon(PAR, 2));
  EXPECT_EQ(ccr(), C);
  EXPECT_EQ(r(2), 7);
  set(2, 0x0000);
  t.xgate.set_ccr(N | V | C);
  run(mon(PAR, 2));
  EXPECT_EQ(ccr(), Z);

  set(3, 0x0100);
  run(tri(BFFO, 4, 3, 0));
  EXPECT_EQ(r(4), 8);
  EXPECT_EQ(ccr(), 0);
  set(3, 0x0000);
  run(tri(BFFO, 4, 3, 0));
  EXPECT_EQ(r(4), 0);
  EXPECT_EQ(ccr(), Z | C);

  set(5, 0x0900);
  EXPECT_EQ(run(mon(JAL, 5)), 2u);
  EXPECT_EQ(t.xgate.pc(), 0x0900);
  EXPECT_EQ(r(5), kCode + 2);

  t.xgate.set_ccr(N | C);
  run(mon(TFR_FROM_CCR, 6));
  EXPECT_EQ(r(6), N | C);
  set(6, 0xFFF5);
  run(mon(TFR_TO_CCR, 6));
  EXPECT_EQ(ccr(), Z | C);
  run(mon(TFR_FROM_PC, 6));
  EXPECT_EQ(r(6), kCode + 4);
}

TEST_F(XgateExec, BranchConditionsAndCosts) {
  struct Case { const char* name; std::uint16_t op; std::uint8_t taking, not_taking; };
  const Case cases[] = {
      {"bcc", 0x2000, 0, C},          {"bcs", 0x2200, C, 0},          {"bne", 0x2400, 0, Z},
      {"beq", 0x2600, Z, 0},          {"bpl", 0x2800, 0, N},          {"bmi", 0x2A00, N, 0},
      {"bvc", 0x2C00, 0, V},          {"bvs", 0x2E00, V, 0},          {"bhi", 0x3000, 0, Z},
      {"bls", 0x3200, C, 0},          {"bge", 0x3400, N | V, N},      {"blt", 0x3600, V, 0},
      {"bgt", 0x3800, N | V, Z | N | V}, {"ble", 0x3A00, N, N | V},   {"bra", 0x3C00, N | Z | V | C, 0xFF},
  };
  for (const Case& c : cases) {
    t.xgate.set_ccr(c.taking);
    EXPECT_EQ(run(static_cast<std::uint16_t>(c.op | 5)), 2u) << c.name;
    EXPECT_EQ(t.xgate.pc(), kCode + 2 + 10) << c.name;
    if (c.not_taking == 0xFF) continue;
    t.xgate.set_ccr(c.not_taking);
    EXPECT_EQ(run(static_cast<std::uint16_t>(c.op | 5)), 1u) << c.name;
    EXPECT_EQ(t.xgate.pc(), kCode + 2) << c.name;
  }
  run(0x3FF0);  // bra -16 words
  EXPECT_EQ(t.xgate.pc(), kCode + 2 - 32);
  t.xgate.set_ccr(0);
  run(0x21F0);  // bcc -16 words, C clear
  EXPECT_EQ(t.xgate.pc(), kCode + 2 - 32);
}

TEST_F(XgateExec, RtsEndsTheThreadAndSifRaisesTheChannelInterrupt) {
  std::vector<std::uint32_t> raised;
  t.xgate.set_interrupt_raiser([&](std::uint32_t vector) { raised.push_back(vector); });
  t.memory.WriteByte(kXgateEnableAddr, 0x80);
  t.memory.WriteByte(kXgateChannelAddr, 0xB9);  // bit 7 is not part of the channel
  t.memory.WriteByte(kIvbrAddr, 0xFF);
  EXPECT_TRUE(t.xgate.active());
  EXPECT_EQ(t.xgate.channel(), 0x39);

  EXPECT_EQ(run(0x0300), 2u);
  ASSERT_EQ(raised.size(), 1u);
  EXPECT_EQ(raised[0], 0xFF72u);
  run(mon(SIF_R, 3));  // sif with a register raises nothing
  EXPECT_EQ(raised.size(), 1u);

  EXPECT_EQ(run(0x0200), 2u);
  EXPECT_EQ(t.memory.ReadByte(kXgateChannelAddr), 0);
  EXPECT_FALSE(t.xgate.active());

  t.xgate.set_interrupt_raiser(nullptr);
  run(0x0300);  // nobody to tell: nothing happens
}

TEST_F(XgateExec, TextOnlyDecodeExecutesNothing) {
  t.memory.WriteWord(0x780900, 0x0100);
  t.xgate.set_pc(0x1111);
  char text[kXgateTextCapacity] = "stale";
  std::uint32_t cycles = 7;
  EXPECT_EQ(t.xgate.decode(0x780900, kXgateFlagText, text, sizeof text, &cycles), 2u);
  EXPECT_STREQ(text, "");  // no formatter installed
  EXPECT_EQ(cycles, 0u);
  EXPECT_EQ(t.xgate.pc(), 0x1111);
}

TEST(XgateTable, EveryEntryIsReachableAndGroupsAreOrdered) {
  int previous_group = 0;
  for (const XgateOp& op : kXgateOps) {
    ASSERT_GE(op.match >> 11, previous_group) << std::hex << op.match;
    previous_group = op.match >> 11;
    const XgateOp* found = xgate_find(op.match);
    ASSERT_NE(found, nullptr) << std::hex << op.match;
    // Only the aliases that share an encoding are hidden, behind the entry just before them.
    if (found != &op) {
      EXPECT_EQ(found, &op - 1) << xgate_mnemonic_text(op.mnemonic);
      EXPECT_EQ(found->match, op.match);
    }
  }
  EXPECT_EQ(xgate_find(0x1001), nullptr);
  EXPECT_EQ(xgate_find(0x0808), nullptr);
  EXPECT_EQ(xgate_find(0x00FB), nullptr);
}

}  // namespace
}  // namespace tav::test
