// Interrupts: the pending set, priority, masking by I and X, the vector with
// IVBR, the stacked image, an interrupted wav resumed through wavi, and the
// interrupt definition file.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "sim/interrupts.h"
#include "tests/sim/cpu_test_support.h"

namespace tav {
namespace {

constexpr std::uint16_t X = CC_X, I = CC_I;

struct InterruptTarget : test::CpuTarget {
  InterruptTarget() {
    regs.sp = 0x3F00;
    put(0xC000, {0xA7, 0xA7, 0xA7, 0xA7});  // nops
    regs.pc = 0xC000;
  }
  void vector(std::uint16_t local, std::uint16_t handler) { put_word(local, handler); }
};

TEST(Interrupts, RaiseAcceptsOnlyEvenVectorsFromFF00) {
  PendingInterrupts p;
  p.RaiseInterrupt(0xFFFE);
  p.RaiseInterrupt(0xFF00);
  p.RaiseInterrupt(0xFFF3);  // odd
  p.RaiseInterrupt(0xFEFE);  // below the table
  p.RaiseInterrupt(0x1FFFE);
  EXPECT_TRUE(p.is_pending(1));
  EXPECT_TRUE(p.is_pending(128));
  EXPECT_EQ(p.words()[0], 1u);
  EXPECT_EQ(p.words()[1] | p.words()[2], 0u);
  EXPECT_EQ(p.words()[3], 0x80000000u);
  EXPECT_EQ(p.lowest(), 1);
}

TEST(Interrupts, LowestNumberFirstAndIvbr) {
  InterruptTarget t;
  t.memory.poke(0x0121, 0xFF);  // IVBR
  t.vector(0xFFF6, 0xD000);
  t.vector(0xFFF2, 0xD100);
  t.cpu.RaiseInterrupt(0xFFF2);
  t.cpu.RaiseInterrupt(0xFFF6);
  EXPECT_TRUE(t.cpu.take_interrupt());
  EXPECT_EQ(t.regs.pc, 0xD000);
  EXPECT_TRUE(t.cpu.interrupts().is_pending(7));  // 0xFFF2 still waits, masked by I now
  EXPECT_FALSE(t.cpu.interrupt_takeable());

  InterruptTarget low;  // IVBR still 0: the vectors move to page 0
  low.vector(0x00F6, 0xD200);
  low.cpu.RaiseInterrupt(0xFFF6);
  EXPECT_TRUE(low.cpu.take_interrupt());
  EXPECT_EQ(low.regs.pc, 0xD200);
}

TEST(Interrupts, MaskedByIUntilItIsCleared) {
  InterruptTarget t;
  t.memory.poke(0x0121, 0xFF);
  t.vector(0xFFF2, 0xD000);
  t.regs.ccr = I;
  t.cpu.RaiseInterrupt(0xFFF2);
  EXPECT_EQ(t.cpu.step_unit(), 1u);  // the nop runs instead
  EXPECT_EQ(t.regs.pc, 0xC001);
  EXPECT_TRUE(t.cpu.interrupts().is_pending(7));
  t.regs.ccr = 0;
  t.cpu.step_unit();
  EXPECT_EQ(t.regs.pc, 0xD000);
  EXPECT_EQ(t.regs.ccr & I, I);                 // live CCR: I set
  EXPECT_EQ(t.word_at(t.regs.sp) & I, 0);       // saved CCR: I clear
  EXPECT_FALSE(t.cpu.interrupts().is_pending(7));
}

TEST(Interrupts, XirqMaskedByXAndSettingXAndI) {
  InterruptTarget t;
  t.vector(0xFFFC, 0xD000);
  t.regs.ccr = X;
  t.cpu.RaiseInterrupt(0xFFFC);
  EXPECT_FALSE(t.cpu.take_interrupt());
  t.regs.ccr = I;  // I does not mask number 2
  EXPECT_TRUE(t.cpu.take_interrupt());
  EXPECT_EQ(t.regs.ccr & (X | I), X | I);
  // Number 1 is never masked.
  t.vector(0xFFFE, 0xD100);
  t.cpu.RaiseInterrupt(0xFFFE);
  EXPECT_TRUE(t.cpu.take_interrupt());
  EXPECT_EQ(t.regs.pc, 0xD100);
}

TEST(Interrupts, EntryStacksTheRegistersAndCostsNineCycles) {
  InterruptTarget t;
  t.vector(0xFFFA, 0xD000);
  t.regs.a = 0x11, t.regs.b = 0x22, t.regs.x = 0x3344, t.regs.y = 0x5566, t.regs.ccr = 0x0201;
  t.regs.pc = 0xC123;
  t.cpu.RaiseInterrupt(0xFFFA);
  const auto run = t.cpu.run(1);
  EXPECT_EQ(run.interrupts, 1u);
  EXPECT_EQ(run.instructions, 0u);
  EXPECT_EQ(run.cycles, 9u);
  EXPECT_EQ(t.regs.sp, 0x3EF6);
  EXPECT_EQ(t.word_at(0x3EF6), 0x0201);
  EXPECT_EQ(t.byte_at(0x3EF8), 0x22);
  EXPECT_EQ(t.byte_at(0x3EF9), 0x11);
  EXPECT_EQ(t.word_at(0x3EFA), 0x3344);
  EXPECT_EQ(t.word_at(0x3EFC), 0x5566);
  EXPECT_EQ(t.word_at(0x3EFE), 0xC123);
  EXPECT_EQ(t.regs.ccr, 0x0211);
  EXPECT_EQ(t.cpu.counters.nbins, 0u);
  t.cpu.s12x_enabled = false;  // a switched-off core takes nothing
  t.cpu.RaiseInterrupt(0xFFFE);
  EXPECT_FALSE(t.cpu.interrupt_takeable());
}

TEST(Interrupts, WavInterruptedAndResumedThroughWavi) {
  InterruptTarget t;
  t.memory.poke(0x0121, 0xFF);
  t.put(0x2000, {0x20, 0x80, 0xE0});
  t.put(0x2100, {0x20, 0x20, 0x60});
  t.put(0xC000, {0x18, 0x3C, 0x20, 0xFE});  // wav; done: bra done
  t.put(0xD000, {0x0B});                    // the handler: rti
  t.vector(0xFFF2, 0xD000);
  t.regs.pc = 0xC000;
  t.regs.x = 0x2000;
  t.regs.y = 0x2100;
  t.regs.b = 3;
  t.cpu.step();  // the first element
  ASSERT_TRUE(t.cpu.wav.active);
  t.cpu.RaiseInterrupt(0xFFF2);
  const std::uint32_t time = t.cpu.counters.time;
  ASSERT_EQ(t.cpu.step_unit(), 1u);
  EXPECT_EQ(t.cpu.counters.time - time, 18u);  // "fffrrUUUf" and "VSPSSPSsP"
  EXPECT_FALSE(t.cpu.wav.active);
  EXPECT_EQ(t.regs.pc, 0xD000);
  EXPECT_EQ(t.word_at(0x3EFE), 0x0020);               // the 16-bit sum below the old SP
  EXPECT_EQ(t.word_at(0x3EFC), 0x0400);               // low word of the 24-bit sum (0x20 * 0x20)
  EXPECT_EQ(t.byte_at(0x3EFB), 0x00);                 // its high byte
  EXPECT_EQ(t.word_at(0x3EFB - 2), 0xC001);           // the return address is the 0x3C byte
  EXPECT_EQ(t.regs.sp, 0x3EFB - 10);
  t.cpu.step();  // rti
  EXPECT_EQ(t.regs.pc, 0xC001);
  const auto run = t.cpu.run_until(0x7FC002, 10);
  EXPECT_TRUE(run.reached);
  EXPECT_EQ(run.instructions, 2u);  // wavi with the second element, wav with the third
  EXPECT_EQ(t.regs.sp, 0x3F00);
  EXPECT_EQ(t.regs.y, 0x0000);
  EXPECT_EQ(t.regs.d(), 0x6800);
  EXPECT_EQ(t.regs.x, 0x00A0);
  EXPECT_TRUE(t.regs.ccr & CC_Z);
}

class RecordingMessages : public MessageBoxSink {
 public:
  void message_box(std::string_view title, std::string_view text) override {
    boxes.emplace_back(std::string(title), std::string(text));
  }
  std::vector<std::pair<std::string, std::string>> boxes;
};

std::string write_file(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

TEST(InterruptDefinitionFile, ValuesNamesAndComments) {
  InterruptDefinitions defs;
  RecordingMessages messages;
  const std::string path = write_file("tav_irq_ok.txt",
                                      "; vectors of the board\n"
                                      "0xFFF2\tIRQ handler\r\n"
                                      "\n"
                                      "65520   Timer  0\n"
                                      "0177766 octal\n");
  ASSERT_TRUE(defs.LoadInterrupts(path, messages));
  EXPECT_TRUE(messages.boxes.empty());
  ASSERT_EQ(defs.list().size(), 3u);
  EXPECT_EQ(defs.list()[0].first, 0xFFF2u);
  EXPECT_EQ(defs.list()[0].second, "IRQ handler");
  EXPECT_EQ(defs.list()[1].first, 0xFFF0u);
  EXPECT_EQ(defs.list()[1].second, "Timer  0");
  EXPECT_EQ(defs.list()[2].first, 0xFFF6u);
  EXPECT_EQ(defs.lines()[0], "0xfff2 IRQ handler");
}

TEST(InterruptDefinitionFile, AtMost128Definitions) {
  std::string text = ";comment lines do not count\n";
  for (int i = 0; i < 128; ++i) text += std::to_string(0xFF00 + 2 * (i % 128)) + " v" + std::to_string(i) + "\n;x\n";
  InterruptDefinitions defs;
  RecordingMessages messages;
  ASSERT_TRUE(defs.LoadInterrupts(write_file("tav_irq_128.txt", text), messages));
  EXPECT_EQ(defs.list().size(), 128u);
  text += "0xFFFE one too many\n";
  EXPECT_FALSE(defs.LoadInterrupts(write_file("tav_irq_129.txt", text), messages));
  ASSERT_EQ(messages.boxes.size(), 1u);
  EXPECT_EQ(messages.boxes[0].first, "Interrupts");
  EXPECT_EQ(messages.boxes[0].second, "Too Many Interrupts (Max 128)");
  EXPECT_EQ(defs.list().size(), 128u);  // the old list stays
}

TEST(InterruptDefinitionFile, MissingFile) {
  InterruptDefinitions defs;
  RecordingMessages messages;
  const std::string path = ::testing::TempDir() + "no_such_interrupt_file.txt";
  EXPECT_FALSE(defs.LoadInterrupts(path, messages));
  ASSERT_EQ(messages.boxes.size(), 1u);
  EXPECT_EQ(messages.boxes[0].first, "Can't open INTERRUPT file ");
  EXPECT_EQ(messages.boxes[0].second, path);
}

}  // namespace
}  // namespace tav
