// Branches and their conditions, loop primitives, brset/brclr, jumps and
// subroutine calls, call/rtc with PPAGE, pushes and pulls, rti and swi.
#include <gtest/gtest.h>

#include <functional>

#include "sim/cycle_patterns.h"
#include "tests/sim/cpu_test_support.h"

namespace tav {
namespace {

constexpr std::uint16_t C = CC_C, V = CC_V, Z = CC_Z, N = CC_N, X = CC_X, I = CC_I;

// The conditions as the reference manual states them.
struct Condition {
  std::uint8_t opcode;
  const char* name;
  std::function<bool(bool n, bool z, bool v, bool c)> taken;
};

const std::vector<Condition>& conditions() {
  static const std::vector<Condition> list = {
      {0x20, "bra", [](bool, bool, bool, bool) { return true; }},
      {0x21, "brn", [](bool, bool, bool, bool) { return false; }},
      {0x22, "bhi", [](bool, bool z, bool, bool c) { return !(c || z); }},
      {0x23, "bls", [](bool, bool z, bool, bool c) { return c || z; }},
      {0x24, "bcc", [](bool, bool, bool, bool c) { return !c; }},
      {0x25, "bcs", [](bool, bool, bool, bool c) { return c; }},
      {0x26, "bne", [](bool, bool z, bool, bool) { return !z; }},
      {0x27, "beq", [](bool, bool z, bool, bool) { return z; }},
      {0x28, "bvc", [](bool, bool, bool v, bool) { return !v; }},
      {0x29, "bvs", [](bool, bool, bool v, bool) { return v; }},
      {0x2A, "bpl", [](bool n, bool, bool, bool) { return !n; }},
      {0x2B, "bmi", [](bool n, bool, bool, bool) { return n; }},
      {0x2C, "bge", [](bool n, bool, bool v, bool) { return n == v; }},
      {0x2D, "blt", [](bool n, bool, bool v, bool) { return n != v; }},
      {0x2E, "bgt", [](bool n, bool z, bool v, bool) { return !z && n == v; }},
      {0x2F, "ble", [](bool n, bool z, bool v, bool) { return z || n != v; }},
  };
  return list;
}

TEST(Branches, EveryConditionForEveryFlagCombination) {
  for (const Condition& cond : conditions()) {
    for (int flags = 0; flags < 16; ++flags) {
      const bool c = flags & 1, v = flags & 2, z = flags & 4, n = flags & 8;
      const bool taken = cond.taken(n, z, v, c);
      SCOPED_TRACE(std::string(cond.name) + " flags " + std::to_string(flags));
      test::CpuTarget t;
      t.regs.ccr = static_cast<std::uint16_t>(flags);
      t.exec({cond.opcode, 0x10});  // short: +16
      EXPECT_EQ(t.regs.pc, taken ? 0xC012 : 0xC002);
      EXPECT_EQ(t.cpu.counters.time, taken ? 3u : 1u);
      EXPECT_EQ(t.cpu.scratch.alt, taken ? 0 : 1);

      test::CpuTarget l;
      l.regs.ccr = static_cast<std::uint16_t>(flags);
      l.exec({0x18, cond.opcode, 0xFF, 0x00});  // long: -256
      EXPECT_EQ(l.regs.pc, taken ? 0xBF04 : 0xC004);
      EXPECT_EQ(l.cpu.counters.time, taken ? 4u : 3u);
    }
  }
}

TEST(LoopPrimitives, CountTestAndBranchBothWays) {
  struct Loop {
    const char* what;
    std::vector<std::uint8_t> code;
    test::RegState in, out;
    bool taken;
  };
  const std::vector<Loop> loops = {
      {"dbne a taken", {0x04, 0x20, 0x10}, {.a = 2}, {.a = 1}, true},
      {"dbne a reaching zero", {0x04, 0x20, 0x10}, {.a = 1}, {.a = 0}, false},
      {"dbne a wraps from zero", {0x04, 0x20, 0x10}, {.a = 0}, {.a = 0xFF}, true},
      {"dbeq x", {0x04, 0x05, 0x10}, {.x = 1}, {.x = 0}, true},
      {"tbeq b only tests", {0x04, 0x41, 0x10}, {.b = 0}, {.b = 0}, true},
      {"tbne y", {0x04, 0x66, 0x10}, {.y = 0}, {.y = 0}, false},
      {"ibeq b 8-bit", {0x04, 0x81, 0x10}, {.b = 0xFF}, {.b = 0}, true},
      {"ibne d 16-bit", {0x04, 0xA4, 0x10}, {.a = 0x00, .b = 0xFF}, {.a = 0x01, .b = 0x00}, true},
      {"ibne sp", {0x04, 0xA7, 0x10}, {.sp = 0xFFFF}, {.sp = 0x0000}, false},
  };
  for (const Loop& l : loops) {
    SCOPED_TRACE(l.what);
    test::CpuTarget t;
    t.regs.a = l.in.a, t.regs.b = l.in.b, t.regs.x = l.in.x, t.regs.y = l.in.y, t.regs.sp = l.in.sp;
    EXPECT_EQ(t.exec(l.code), 3u);
    EXPECT_EQ(test::describe({t.regs.a, t.regs.b, t.regs.x, t.regs.y, t.regs.sp, t.regs.ccr}), test::describe(l.out));
    EXPECT_EQ(t.regs.pc, l.taken ? 0xC013 : 0xC003);
    EXPECT_EQ(t.cpu.scratch.cycles, 3u);  // "PPP/PPO": both ways three
    EXPECT_EQ(t.cpu.scratch.alt, l.taken ? 0 : 1);
  }
  // The ninth bit of the offset is the postbyte's bit 4.
  test::CpuTarget back;
  back.regs.b = 5;
  back.exec({0x04, 0x31, 0xFD});  // dbne b, -3: to itself
  EXPECT_EQ(back.regs.pc, 0xC000);
}

TEST(BitBranches, BrsetAndBrclr) {
  test::CpuTarget t;
  t.put(0x2000, {0x81});
  t.exec({0x1E, 0x20, 0x00, 0x81, 0x10});  // brset 0x2000,#0x81,+16: all set
  EXPECT_EQ(t.regs.pc, 0xC015);
  t.exec({0x1E, 0x20, 0x00, 0x83, 0x10});  // bit 1 clear: no branch
  EXPECT_EQ(t.regs.pc, 0xC005);
  t.exec({0x1F, 0x20, 0x00, 0x02, 0x10});  // brclr #0x02: clear, branch
  EXPECT_EQ(t.regs.pc, 0xC015);
  EXPECT_EQ(t.cpu.scratch.log.count, 1);  // read once, never written
  t.regs.x = 0x1FFF;
  t.exec({0x0F, 0x01, 0x01, 0xF0});  // brclr 1,x,#0x01,-16: bit 0 set, no branch
  EXPECT_EQ(t.regs.pc, 0xC004);
  EXPECT_EQ(t.byte_at(0x2000), 0x81);
}

TEST(Subroutines, JsrRtsBsrJmp) {
  test::CpuTarget t;
  t.regs.sp = 0x3F00;
  t.exec({0x16, 0xD0, 0x00});  // jsr 0xD000
  EXPECT_EQ(t.regs.pc, 0xD000);
  EXPECT_EQ(t.regs.sp, 0x3EFE);
  EXPECT_EQ(t.word_at(0x3EFE), 0xC003);
  EXPECT_EQ(t.cpu.scratch.cycles, 4u);
  t.exec({0x3D}, 0xD000);  // rts
  EXPECT_EQ(t.regs.pc, 0xC003);
  EXPECT_EQ(t.regs.sp, 0x3F00);
  EXPECT_EQ(t.cpu.scratch.cycles, 5u);
  t.exec({0x07, 0xFE});  // bsr to itself
  EXPECT_EQ(t.regs.pc, 0xC000);
  EXPECT_EQ(t.word_at(0x3EFE), 0xC002);
  t.regs.x = 0xE000;
  t.exec({0x05, 0x04});  // jmp 4,x
  EXPECT_EQ(t.regs.pc, 0xE004);
  t.put(0x2000, {0xC1, 0x23});
  t.regs.x = 0x2000;
  t.exec({0x15, 0xE3, 0x00, 0x00});  // jsr [0,x]
  EXPECT_EQ(t.regs.pc, 0xC123);
  EXPECT_EQ(t.word_at(t.regs.sp), 0xC004);
}

TEST(Subroutines, CallAndRtcSwitchPages) {
  test::CpuTarget t;
  t.regs.sp = 0x3F00;
  t.regs.ppage = 0x22;
  t.exec({0x4A, 0x80, 0x10, 0x30});  // call 0x8010, page 0x30
  EXPECT_EQ(t.regs.ppage, 0x30);
  EXPECT_EQ(t.regs.pc, 0x8010);
  EXPECT_EQ(t.regs.sp, 0x3EFD);
  EXPECT_EQ(t.byte_at(0x3EFD), 0x22);      // the old PPAGE, below
  EXPECT_EQ(t.word_at(0x3EFE), 0xC004);    // the return address
  EXPECT_EQ(t.cpu.scratch.cycles, 7u);     // "gnSsPPP"
  t.memory.poke(0x4C0010, 0x0A);           // rtc in page 0x30
  EXPECT_EQ(t.cpu.step(), 1u);
  EXPECT_EQ(t.regs.ppage, 0x22);
  EXPECT_EQ(t.regs.pc, 0xC004);
  EXPECT_EQ(t.regs.sp, 0x3F00);
  // Indirect: the page is the byte after the pointed-to word.
  t.put(0x2000, {0x90, 0x00, 0x31});
  t.regs.y = 0x2000;
  t.exec({0x4B, 0xEB, 0x00, 0x00});  // call [0,y]
  EXPECT_EQ(t.regs.ppage, 0x31);
  EXPECT_EQ(t.regs.pc, 0x9000);
  EXPECT_EQ(t.cpu.scratch.log.count, 2);   // the pointer, then the page byte
  EXPECT_EQ(t.cpu.scratch.cycles, 10u);    // "fIignSsPPP"
  // A target outside the window: the page follows the target's global address.
  t.exec({0x4A, 0xC1, 0x00, 0x05});
  EXPECT_EQ(t.regs.ppage, 0xFF);
  EXPECT_EQ(t.regs.pc, 0xC100);
}

TEST(Stack, PushPullOrderAndTheXBit) {
  test::CpuTarget t;
  t.regs.sp = 0x3F00;
  t.regs.set_d(0x1234);
  t.exec({0x3B});  // pshd: A at the lower address
  EXPECT_EQ(t.regs.sp, 0x3EFE);
  EXPECT_EQ(t.byte_at(0x3EFE), 0x12);
  EXPECT_EQ(t.byte_at(0x3EFF), 0x34);
  t.exec({0x31});  // puly
  EXPECT_EQ(t.regs.y, 0x1234);
  t.regs.ccr = 0;  // X clear: a pulled CCR cannot set it
  t.put(0x3EFF, {0xFF});
  t.regs.sp = 0x3EFF;
  t.exec({0x38});  // pulc
  EXPECT_EQ(t.regs.ccr, 0x00BF);
  t.regs.ccr = X;  // X set: it can be cleared
  t.put(0x3EFF, {0x00});
  t.regs.sp = 0x3EFF;
  t.exec({0x38});
  EXPECT_EQ(t.regs.ccr, 0x0000);
  t.regs.ccr = 0x0105;
  t.exec({0x18, 0x39});  // pshcw
  EXPECT_EQ(t.word_at(t.regs.sp), 0x0105);
  t.regs.b = 0x77;
  t.exec({0x37});  // pshb
  t.exec({0x32});  // pula
  EXPECT_EQ(t.regs.a, 0x77);
}

TEST(Stack, SwiStacksEverythingAndRtiTakesItBack) {
  test::CpuTarget t;
  t.memory.poke(0x7FFFF6, 0xD0);
  t.memory.poke(0x7FFFF7, 0x00);
  t.regs.sp = 0x3F00;
  t.regs.a = 0x11, t.regs.b = 0x22, t.regs.x = 0x3344, t.regs.y = 0x5566, t.regs.ccr = 0x0104;
  t.exec({0x3F});  // swi
  EXPECT_EQ(t.regs.pc, 0xD000);
  EXPECT_EQ(t.regs.sp, 0x3EF6);
  EXPECT_EQ(t.word_at(0x3EF6), 0x0104);  // CCRW
  EXPECT_EQ(t.byte_at(0x3EF8), 0x22);    // B
  EXPECT_EQ(t.byte_at(0x3EF9), 0x11);    // A
  EXPECT_EQ(t.word_at(0x3EFA), 0x3344);  // X
  EXPECT_EQ(t.word_at(0x3EFC), 0x5566);  // Y
  EXPECT_EQ(t.word_at(0x3EFE), 0xC001);  // the return address
  EXPECT_EQ(t.regs.ccr, 0x0104 | I);
  EXPECT_EQ(t.cpu.scratch.cycles, 9u);
  t.regs.a = t.regs.b = 0, t.regs.x = t.regs.y = 0;
  t.exec({0x0B}, 0xD000);  // rti
  EXPECT_EQ(t.regs.pc, 0xC001);
  EXPECT_EQ(t.regs.sp, 0x3F00);
  EXPECT_EQ(t.regs.a, 0x11);
  EXPECT_EQ(t.regs.b, 0x22);
  EXPECT_EQ(t.regs.x, 0x3344);
  EXPECT_EQ(t.regs.y, 0x5566);
  EXPECT_EQ(t.regs.ccr, 0x0104);
  EXPECT_EQ(t.cpu.scratch.cycles, 8u);  // "uUUUUPPP"
}

TEST(MiscFlow, AndccOrccAndIndexIncrements) {
  test::run_cases({
      {"andcc", {0x10, 0xEF}, {.ccr = 0x01D5}, {.ccr = 0x01C5}},
      {"orcc cannot set X", {0x14, 0x41}, {}, {.ccr = C}},
      {"orcc with X set", {0x14, 0x50}, {.ccr = X}, {.ccr = X | I}},
      {"inx only touches Z", {0x08}, {.x = 0xFFFF, .ccr = N | C}, {.x = 0, .ccr = N | Z | C}},
      {"dey", {0x03}, {.y = 0x0001, .ccr = V}, {.y = 0, .ccr = Z | V}},
      {"iny clears Z", {0x02}, {.y = 0x0000, .ccr = Z}, {.y = 1}},
      {"nop", {0xA7}, {.ccr = N}, {.ccr = N}},
  });
}

}  // namespace
}  // namespace tav
