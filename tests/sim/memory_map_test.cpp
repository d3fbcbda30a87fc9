// The S12X local/global address map: LocalToGlobal, WritePC and the ppc rule.
#include <gtest/gtest.h>

#include <cstdint>

#include "memory_test_support.h"
#include "sim/decode_detail.h"

namespace tav::test {
namespace {

struct MapCase {
  std::uint16_t local;
  std::uint32_t global;
};

class MemoryMap : public ::testing::Test {
 protected:
  void SetUp() override {
    t.regs.ppage = 0x30;
    t.regs.rpage = 0xFD;
    t.regs.epage = 0x12;
    t.regs.gpage = 0x7E;
  }
  Target t;
};

TEST_F(MemoryMap, EveryRowOfTheLocalMap) {
  // Both ends of each row, with PPAGE 0x30, RPAGE 0xFD, EPAGE 0x12.
  const MapCase cases[] = {
      {0x0000, 0x000000}, {0x07FF, 0x0007FF},                      // registers
      {0x0800, 0x104800}, {0x0BFF, 0x104BFF},                      // EEPROM window: 0x100000 + 0x12 * 0x400
      {0x0C00, 0x13FC00}, {0x0FFF, 0x13FFFF},                      // fixed EEPROM
      {0x1000, 0x0FD000}, {0x1FFF, 0x0FDFFF},                      // RAM window
      {0x2000, 0x0FE000}, {0x3FFF, 0x0FFFFF},                      // fixed RAM
      {0x4000, 0x7F4000}, {0x7FFF, 0x7F7FFF},                      // fixed flash 0xFD
      {0x8000, 0x4C0000}, {0xBFFF, 0x4C3FFF},                      // flash window: 0x400000 + 0x30 * 0x4000
      {0xC000, 0x7FC000}, {0xFFFF, 0x7FFFFF}, {0xFFFE, 0x7FFFFE},  // fixed flash 0xFF
  };
  for (const MapCase& c : cases) EXPECT_EQ(t.memory.LocalToGlobal(c.local), c.global) << std::hex << c.local;
}

TEST_F(MemoryMap, WindowsFollowTheirPageRegisterAndOnlyIt) {
  t.regs.ppage = 0xFF;
  EXPECT_EQ(t.memory.LocalToGlobal(0x8000), 0x7FC000u);
  EXPECT_EQ(t.memory.LocalToGlobal(0xC000), 0x7FC000u);
  t.regs.ppage = 0x00;
  EXPECT_EQ(t.memory.LocalToGlobal(0x8123), 0x400123u);
  EXPECT_EQ(t.memory.LocalToGlobal(0xC000), 0x7FC000u);  // fixed whatever PPAGE holds
  EXPECT_EQ(t.memory.LocalToGlobal(0x4000), 0x7F4000u);
  t.regs.rpage = 0x00;
  EXPECT_EQ(t.memory.LocalToGlobal(0x1234), 0x000234u);
  t.regs.rpage = 0xFF;
  EXPECT_EQ(t.memory.LocalToGlobal(0x1234), 0x0FF234u);
  t.regs.epage = 0xFF;
  EXPECT_EQ(t.memory.LocalToGlobal(0x0ABC), 0x13FEBCu);
  t.regs.epage = 0x00;
  EXPECT_EQ(t.memory.LocalToGlobal(0x0ABC), 0x1002BCu);
  EXPECT_EQ(t.memory.LocalToGlobal(0x2000), 0x0FE000u);  // no page register involved
  EXPECT_EQ(t.memory.LocalToGlobal(0x0C00), 0x13FC00u);
}

TEST_F(MemoryMap, GlobalAccessFormUsesGpageForEveryAddress) {
  for (std::uint16_t a : {0x0000, 0x0800, 0x1000, 0x4000, 0x8000, 0xC000, 0xFFFF})
    EXPECT_EQ(t.memory.LocalToGlobal(a, true), 0x7E0000u + a) << std::hex << a;
  t.regs.gpage = 0x00;
  EXPECT_EQ(t.memory.LocalToGlobal(0x1234, true), 0x001234u);
}

TEST_F(MemoryMap, WritePCSetsThePageOfItsRangeOnly) {
  struct PcCase {
    std::uint32_t global;
    std::uint16_t pc;
    std::uint8_t ppage, rpage, epage;  // expected afterwards
  };
  const PcCase cases[] = {
      {0x000000, 0x0000, 0x30, 0xFD, 0x12}, {0x0007FF, 0x07FF, 0x30, 0xFD, 0x12},
      {0x000800, 0x1800, 0x30, 0x00, 0x12}, {0x0FD000, 0x1000, 0x30, 0xFD, 0x12},
      {0x0FDFFF, 0x1FFF, 0x30, 0xFD, 0x12}, {0x0FE000, 0x2000, 0x30, 0xFD, 0x12},
      {0x0FFFFF, 0x3FFF, 0x30, 0xFD, 0x12}, {0x100000, 0x0800, 0x30, 0xFD, 0x00},
      {0x13FBFF, 0x0BFF, 0x30, 0xFD, 0xFE}, {0x13FC00, 0x0C00, 0x30, 0xFD, 0x12},
      {0x13FFFF, 0x0FFF, 0x30, 0xFD, 0x12}, {0x7F4010, 0x4010, 0xFD, 0xFD, 0x12},
      {0x7FC000, 0xC000, 0xFF, 0xFD, 0x12}, {0x7FFFFF, 0xFFFF, 0xFF, 0xFD, 0x12},
      {0x4C0000, 0x8000, 0x30, 0xFD, 0x12}, {0x7FBFFF, 0xBFFF, 0xFE, 0xFD, 0x12},
      {0x140000, 0x8000, 0x50, 0xFD, 0x12},
  };
  for (const PcCase& c : cases) {
    SetUp();
    t.memory.WritePC(c.global);
    EXPECT_EQ(t.regs.pc, c.pc) << std::hex << c.global;
    EXPECT_EQ(t.regs.ppage, c.ppage) << std::hex << c.global;
    EXPECT_EQ(t.regs.rpage, c.rpage) << std::hex << c.global;
    EXPECT_EQ(t.regs.epage, c.epage) << std::hex << c.global;
    EXPECT_EQ(t.regs.gpage, 0x7E);
    EXPECT_EQ(Memory::GlobalToLocal(c.global), c.pc);
  }
}

TEST_F(MemoryMap, WritePCRoundTripsThroughLocalToGlobal) {
  // Every global address of the RAM, EEPROM and paged flash ranges comes back
  // unchanged; step through them with a stride that visits every offset class.
  int checked = 0;
  auto check_range = [&](std::uint32_t from, std::uint32_t to) {
    for (std::uint32_t g = from; g < to; g += 0x1F3) {
      t.memory.WritePC(g);
      ASSERT_EQ(t.memory.LocalToGlobal(t.regs.pc), g) << std::hex << g;
      ++checked;
    }
    t.memory.WritePC(to - 1);
    ASSERT_EQ(t.memory.LocalToGlobal(t.regs.pc), to - 1) << std::hex << to - 1;
  };
  check_range(0x000000, 0x000800);
  check_range(0x000800, 0x0FE000);
  check_range(0x0FE000, 0x100000);
  check_range(0x100000, 0x13FC00);
  check_range(0x13FC00, 0x140000);
  check_range(0x400000, 0x800000);
  EXPECT_GT(checked, 10000);
}

TEST_F(MemoryMap, PpcRuleUsesTheFlashPageAlone) {
  t.memory.WritePPC(0x7F4000);
  EXPECT_EQ(t.regs.ppage, 0xFD);
  EXPECT_EQ(t.regs.pc, 0x4000);
  t.memory.WritePPC(0x7FC123);
  EXPECT_EQ(t.regs.ppage, 0xFF);
  EXPECT_EQ(t.regs.pc, 0xC123);
  t.memory.WritePPC(0x4C3FFF);
  EXPECT_EQ(t.regs.ppage, 0x30);
  EXPECT_EQ(t.regs.pc, 0xBFFF);
  // Even a RAM address goes through the flash rule: its page becomes PPAGE.
  t.memory.WritePPC(0x0FD010);
  EXPECT_EQ(t.regs.ppage, 0x3F);
  EXPECT_EQ(t.regs.pc, 0x9010);
  EXPECT_EQ(t.regs.rpage, 0xFD);
}

// The executors form the PC after an instruction and a branch's target from
// the instruction's own local address; that shortcut must agree with the
// WritePC rules everywhere, at window and page bounds above all.
TEST(LocalAtDistance, AgreesWithTheWritePCRules) {
  const std::int32_t distances[] = {-32768, -1025, -1024, -258, -129, -128, -2, -1, 0, 1, 2, 3,
                                    5, 8, 127, 128, 255, 256, 257, 1023, 1024, 32767};
  int checked = 0;
  for (std::uint32_t g = 0; g < 0x800000; g += g < 0x140000 ? 0x7D : 0x3E9) {
    for (const std::uint32_t at : {g, g | 0x3FF, g & ~0x3FFu}) {
      const std::uint16_t local = local_of_global(at);
      for (const std::int32_t d : distances) {
        const std::uint32_t target = branch_target(at, d);
        ASSERT_EQ(local_at_distance(local, d, target), local_of_global(target))
            << std::hex << "0x" << at << std::dec << " + " << d;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 500000);
}

}  // namespace
}  // namespace tav::test
