// A real XGATE thread, assembled with the GNU assembler: a checksum over a
// buffer in XGATE RAM, run to its rts alone and interleaved with the CPU12.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sim/xgate_stepper.h"
#include "xgate_test_support.h"

namespace tav::test {
namespace {

constexpr int kWords = 16;
constexpr std::uint32_t kBuffer = 0x0F8100;   // XGATE 0x8100
constexpr std::uint32_t kResults = 0x0F8200;  // XGATE 0x8200
constexpr std::uint16_t kEntry = 0x0800;      // XGATE flash, global 0x780800

const char* const kChecksumSource = R"(
; r1 walks the buffer, r2 counts its words, r3 is a rotating checksum and r4
; the plain sum; r6 points at the two result words. The CPU12 is told by sif.
        .text
start:  ldl     r1,#0x00
        ldh     r1,#0x81
        ldl     r2,#16
        ldl     r3,#0
        ldl     r4,#0
        ldl     r6,#0x00
        ldh     r6,#0x82
loop:   ldw     r5,(r0,r1+)
        rol     r3,#3
        xnor    r3,r3,r5
        add     r4,r4,r5
        subl    r2,#1
        bne     loop
        stw     r3,(r6,#0)
        stw     r4,(r6,#2)
        sif
        rts
)";

// Setup: seven 1-cycle immediates. Each word: ldw 2, rol, xnor, add, subl 1
// each, bne 2 when it branches back and 1 the last time. End: two stw, sif
// and rts, 2 each.
constexpr std::uint32_t kExpectedCycles = 7 + kWords * 6 + (kWords - 1) * 2 + 1 + 4 * 2;

struct Checksums {
  std::uint16_t rotating = 0, sum = 0;
};

Checksums checksums_of(const std::vector<std::uint16_t>& words) {
  Checksums c;
  for (std::uint16_t w : words) {
    c.rotating = static_cast<std::uint16_t>(c.rotating << 3 | c.rotating >> 13);
    c.rotating = static_cast<std::uint16_t>(~(c.rotating ^ w));
    c.sum = static_cast<std::uint16_t>(c.sum + w);
  }
  return c;
}

class XgateProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    TAV_REQUIRE_BINUTILS("m68hc11-as");
    TAV_REQUIRE_BINUTILS("m68hc11-objcopy");
    ASSERT_TRUE(dir.ok());
    std::string log;
    const std::string code = assemble_xgate(dir, kChecksumSource, &log);
    ASSERT_FALSE(code.empty()) << log;
    for (std::size_t i = 0; i < code.size(); ++i)
      t.memory.WriteByte(0x780000 + kEntry + static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(code[i]));
    std::uint32_t lcg = 0x1234567;
    for (int i = 0; i < kWords; ++i) {
      lcg = lcg * 1103515245u + 12345u;
      words.push_back(static_cast<std::uint16_t>(lcg >> 8));
      t.memory.WriteWord(kBuffer + 2 * static_cast<std::uint32_t>(i), words.back());
    }
    t.xgate.set_interrupt_raiser([this](std::uint32_t vector) { raised.push_back(vector); });
    t.memory.WriteByte(kIvbrAddr, 0xFF);
    // Start channel 0x20 the way the library would: program counter, then XGE and the channel id.
    t.xgate.set_pc(kEntry);
    t.memory.WriteByte(kXgateEnableAddr, 0x80);
    t.memory.WriteByte(kXgateChannelAddr, 0x20);
  }

  void expect_results() {
    const Checksums expected = checksums_of(words);
    EXPECT_EQ(t.memory.ReadWord(kResults), expected.rotating);
    EXPECT_EQ(t.memory.ReadWord(kResults + 2), expected.sum);
    EXPECT_EQ(t.xgate.xtime(), kExpectedCycles);
    EXPECT_EQ(raised, std::vector<std::uint32_t>{0xFF40});
    EXPECT_FALSE(t.xgate.active());
  }

  ScratchDir dir;
  XgateTarget t;
  std::vector<std::uint16_t> words;
  std::vector<std::uint32_t> raised;
};

TEST_F(XgateProgram, ChecksumThreadRunsToItsRts) {
  int steps = 0;
  std::uint32_t cycles_total = 0;
  while (t.xgate.active() && steps < 10000) {
    std::uint32_t cycles = 0;
    ASSERT_EQ(t.xgate.XGexinst(&cycles), 2u) << "at " << std::hex << t.xgate.pc();
    cycles_total += cycles;
    ++steps;
  }
  EXPECT_EQ(steps, 7 + 6 * kWords + 4);
  EXPECT_EQ(cycles_total, kExpectedCycles);
  expect_results();
}

TEST_F(XgateProgram, ChecksumThreadInterleavedWithTheCpu12) {
  XgateStepper stepper(t.xgate);
  stepper.set_proc(3);
  // A stand-in for the CPU12 decoder: each of its instructions costs 3 cycles.
  std::uint32_t cpu_time = 0;
  int switches = 0;
  bool cpu_ran_last = true;
  for (int guard = 0; t.xgate.active() && guard < 10000; ++guard) {
    std::uint32_t result = 0, time = 0;
    const bool xgate_ran = stepper.take_decode(0x7FC000, kXgateFlagExecute, nullptr, 0, result, time);
    if (!xgate_ran) {
      cpu_time += 3;
      stepper.cpu_executed(3);
    }
    switches += xgate_ran == cpu_ran_last;
    cpu_ran_last = !xgate_ran;
    // Neither core gets ahead by more than one instruction.
    ASSERT_LE(t.xgate.xtime(), cpu_time + 1);
    ASSERT_LE(cpu_time, t.xgate.xtime() + 3);
  }
  EXPECT_GT(switches, 20);
  expect_results();
}

}  // namespace
}  // namespace tav::test
