// The register file by code and by name, its rules, the saved block, reset and
// the register display line.
#include "sim/registers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "memory_test_support.h"

namespace tav::test {
namespace {

bool same(const CpuRegs& p, const CpuRegs& q) {
  return p.a == q.a && p.b == q.b && p.ccr == q.ccr && p.x == q.x && p.y == q.y && p.sp == q.sp && p.pc == q.pc &&
         p.direct == q.direct && p.ppage == q.ppage && p.rpage == q.rpage && p.epage == q.epage && p.gpage == q.gpage;
}

// A register file in the order the registers are listed on the display
// (the struct's own order depends on the host's byte order).
CpuRegs regs_of(std::uint8_t a, std::uint8_t b, std::uint16_t ccr, std::uint16_t x, std::uint16_t y, std::uint16_t sp,
                std::uint16_t pc, std::uint8_t direct, std::uint8_t ppage, std::uint8_t rpage, std::uint8_t epage,
                std::uint8_t gpage) {
  CpuRegs r;
  r.a = a, r.b = b, r.ccr = ccr, r.x = x, r.y = y, r.sp = sp, r.pc = pc;
  r.direct = direct, r.ppage = ppage, r.rpage = rpage, r.epage = epage, r.gpage = gpage;
  return r;
}

class RegistersTest : public ::testing::Test {
 protected:
  Target t;
  Registers r{t.regs, t.memory};
};

TEST_F(RegistersTest, CodesNamesAndSizes) {
  struct Row {
    const char* name;
    int code;
    int size;
  };
  const Row rows[] = {{"a", 32, 1},      {"b", 64, 1},      {"ccr", 96, 1},    {"ccrw", 128, 1},  {"d", 160, 2},
                      {"x", 192, 2},     {"y", 224, 2},     {"s", 256, 2},     {"pc", 288, 2},    {"ppage", 320, 1},
                      {"rpage", 352, 1}, {"epage", 384, 1}, {"gpage", 416, 1}, {"direct", 448, 1}, {"ppc", 480, 4},
                      {"r0", 512, 1},    {"r7", 736, 1},    {"xpc", 768, 1},   {"xccr", 800, 1},  {"xppc", 832, 2},
                      {"ccrh", 864, 1}};
  for (const Row& row : rows) {
    EXPECT_EQ(Registers::GetRegisterCode(row.name), row.code) << row.name;
    EXPECT_EQ(Registers::GetRegisterSize(row.code), row.size) << row.name;
    EXPECT_EQ(Registers::GetNamedRegisterSize(row.name), row.size) << row.name;
  }
  EXPECT_STREQ(kRegisterTable[0].name, "MC68HCS12X");
  for (const char* bad : {"", "MC68HCS12X", "sp", "r8", "A", "ccr "}) EXPECT_EQ(Registers::GetRegisterCode(bad), 0) << bad;
  for (int bad : {0, 31, 33, 896, -32}) EXPECT_EQ(Registers::GetRegisterSize(bad), 0) << bad;
}

TEST_F(RegistersTest, RegisterListIsNulSeparatedAndEndsWithAnEmptyName) {
  static const char expected[] =
      "a\0b\0ccr\0ccrw\0d\0x\0y\0s\0pc\0ppage\0rpage\0epage\0gpage\0direct\0ppc\0"
      "r0\0r1\0r2\0r3\0r4\0r5\0r6\0r7\0xpc\0xccr\0xppc\0ccrh\0";  // the literal adds the final NUL
  const std::string list = Registers::register_list();
  EXPECT_EQ(list, std::string(expected, sizeof expected));
  char* block = Registers::GetRegisterList();
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(0, std::memcmp(block, expected, sizeof expected));
  std::free(block);
}

TEST_F(RegistersTest, AccumulatorsAndD) {
  r.WriteRegister(REG_D, 0x1234);
  EXPECT_EQ(t.regs.a, 0x12);
  EXPECT_EQ(t.regs.b, 0x34);
  r.WriteNamedRegister("a", 0x1FF);  // an 8-bit register keeps the low byte
  EXPECT_EQ(r.ReadNamedRegister("d"), 0xFF34u);
  r.WriteRegister(REG_B, 0x01);
  EXPECT_EQ(r.ReadRegister(REG_D), 0xFF01u);
  r.WriteRegister(REG_X, 0x12345);
  EXPECT_EQ(r.ReadRegister(REG_X), 0x2345u);
}

TEST_F(RegistersTest, CcrCodesSplitTheSixteenBitCcr) {
  r.WriteRegister(REG_CCRW, 0x01D4);
  EXPECT_EQ(r.ReadRegister(REG_CCR), 0xD4u);
  EXPECT_EQ(r.ReadRegister(REG_CCRH), 0x01u);
  r.WriteRegister(REG_CCR, 0x1FF);  // low byte only
  EXPECT_EQ(r.ReadRegister(REG_CCRW), 0x01FFu);
  r.WriteRegister(REG_CCRH, 0xFF);  // only the IPL and bit 7 are kept
  EXPECT_EQ(r.ReadRegister(REG_CCRW), 0x87FFu);
  r.WriteRegister(REG_CCRH, 0x00);
  EXPECT_EQ(r.ReadRegister(REG_CCRW), 0x00FFu);
  r.WriteRegister(REG_CCRW, 0xFF00);
  EXPECT_EQ(r.ReadRegister(REG_CCRH), 0x87u);
}

TEST_F(RegistersTest, PcAndPpc) {
  r.WriteRegister(REG_PPC, 0x7F4000);
  EXPECT_EQ(t.regs.ppage, 0xFD);
  EXPECT_EQ(t.regs.pc, 0x4000);
  EXPECT_EQ(r.ReadRegister(REG_PPC), 0x7F4000u);
  r.WriteRegister(REG_PPC, 0x4C1234);
  EXPECT_EQ(r.ReadRegister(REG_PPAGE), 0x30u);
  EXPECT_EQ(r.ReadRegister(REG_PC), 0x9234u);
  EXPECT_EQ(r.ReadPC(), 0x4C1234u);
  r.WriteRegister(REG_PC, 0x2100);
  EXPECT_EQ(r.ReadRegister(REG_PPC), 0x0FE100u);
  r.WritePC(0x0FD000);
  EXPECT_EQ(t.regs.rpage, 0xFD);
  EXPECT_EQ(t.regs.pc, 0x1000);
}

TEST_F(RegistersTest, PageRegistersDoNotWriteTheirIoBytes) {
  r.WriteRegister(REG_PPAGE, 0x12);
  r.WriteRegister(REG_RPAGE, 0x13);
  r.WriteRegister(REG_EPAGE, 0x14);
  r.WriteRegister(REG_GPAGE, 0x15);
  r.WriteRegister(REG_DIRECT, 0x16);
  EXPECT_EQ(t.regs.ppage, 0x12);
  EXPECT_EQ(r.ReadRegister(REG_DIRECT), 0x16u);
  EXPECT_EQ(r.ReadRegister(REG_GPAGE), 0x15u);
  for (std::uint32_t io : {0x30u, 0x16u, 0x17u, 0x10u, 0x11u}) EXPECT_EQ(t.memory.ReadByte(io), 0) << io;
  EXPECT_EQ(t.memory.block_count(), 0);
}

std::uint32_t test_xgate_map(std::uint32_t a) { return 0x550000 + a; }

TEST_F(RegistersTest, XgateRegistersLiveInTargetMemory) {
  for (int n = 1; n < 8; ++n) r.WriteRegister(REG_R0 + 32 * n, 0x1100u * n + 0x10000);
  for (int n = 1; n < 8; ++n) {
    EXPECT_EQ(t.memory.ReadWord(0x03A0 + 2 * n), 0x1100u * n) << n;
    EXPECT_EQ(r.ReadRegister(REG_R0 + 32 * n), 0x1100u * n) << n;
  }
  t.memory.WriteWord(0x03A0, 0xBEEF);
  r.WriteRegister(REG_R0, 0x1234);  // ignored
  EXPECT_EQ(r.ReadRegister(REG_R0), 0xBEEFu);
  EXPECT_EQ(t.memory.ReadWord(0x03A0), 0xBEEF);

  r.WriteNamedRegister("xpc", 0x8010);
  EXPECT_EQ(t.memory.ReadWord(0x039E), 0x8010);
  r.WriteNamedRegister("xccr", 0xFF);
  EXPECT_EQ(t.memory.ReadByte(0x039D), 0x0F);
  EXPECT_EQ(r.ReadRegister(REG_XCCR), 0x0Fu);

  // xppc: the XGATE address map of the support library (the S12X map until it is bound).
  EXPECT_EQ(r.ReadRegister(REG_XPPC), 0x0F8010u);
  r.WriteRegister(REG_XPC, 0x0810);
  EXPECT_EQ(r.ReadRegister(REG_XPPC), 0x780810u);
  r.WriteRegister(REG_XPC, 0x0123);
  EXPECT_EQ(r.ReadRegister(REG_XPPC), 0x000123u);
  r.set_xgate_to_global(test_xgate_map);
  EXPECT_EQ(r.ReadRegister(REG_XPPC), 0x550123u);
  r.WriteRegister(REG_XPPC, 0x9999);  // derived: writing it changes nothing
  EXPECT_EQ(r.ReadRegister(REG_XPC), 0x0123u);
  EXPECT_TRUE(t.errors.texts.empty());
}

TEST_F(RegistersTest, UnknownCodesReportAndReadOne) {
  for (int code : {0, 1, 31, 33, 500, 896, 2000, -32}) {
    t.errors.texts.clear();
    EXPECT_EQ(r.ReadRegister(code), 1u) << code;
    r.WriteRegister(code, 5);
    EXPECT_EQ(t.errors.texts, (std::vector<std::string>{"unknown register\n", "unknown register\n"})) << code;
  }
  t.errors.texts.clear();
  const CpuRegs before = t.regs;
  EXPECT_EQ(r.ReadNamedRegister("zz"), 1u);
  r.WriteNamedRegister("zz", 3);
  EXPECT_EQ(t.errors.texts.size(), 2u);
  EXPECT_TRUE(same(before, t.regs));
}

TEST_F(RegistersTest, SavedBlockRestoresEverythingAndReadsByCode) {
  t.regs = regs_of(0x12, 0x34, 0x81D5, 0x1111, 0x2222, 0x3333, 0x8123, 0x44, 0x30, 0xFD, 0xFE, 0x77);
  ASSERT_EQ(Registers::GetRegistersBlockSize(), 18);
  std::uint8_t block[18];
  r.SaveRegisters(block);
  const CpuRegs saved = t.regs;
  r.reset();
  r.RestoreRegisters(block);
  EXPECT_TRUE(same(saved, t.regs));

  // Read back from the block the way each code reads the live register file.
  const CpuRegs live = t.regs;
  for (int code = 32; code <= 448; code += 32) EXPECT_EQ(Registers::ReadSavedRegister(block, code), r.ReadRegister(code)) << code;
  EXPECT_EQ(Registers::ReadSavedRegister(block, REG_CCRH), 0x81u);
  EXPECT_EQ(Registers::ReadSavedRegister(block, REG_D), 0x1234u);
  // The block's ppc is its PC field as it stands, not a global address.
  EXPECT_EQ(Registers::ReadSavedRegister(block, REG_PPC), 0x8123u);
  EXPECT_EQ(Registers::ReadSavedPC(block), 0x8123u);
  for (int code : {int{REG_R0} + 32, int{REG_XPC}, int{REG_XCCR}, int{REG_XPPC}, 0, 33}) EXPECT_EQ(Registers::ReadSavedRegister(block, code), 0u);
  EXPECT_TRUE(same(live, t.regs));
  EXPECT_TRUE(t.errors.texts.empty());
}

TEST_F(RegistersTest, ResetTakesThePcFromTheVector) {
  t.memory.WriteWord(0x7FFFFE, 0xC000);
  t.regs = regs_of(1, 2, 0xFFFF, 3, 4, 5, 6, 7, 8, 9, 10, 11);
  r.reset();
  EXPECT_EQ(t.regs.pc, 0xC000);
  EXPECT_EQ(r.ReadRegister(REG_CCRW), 0x0050u);
  EXPECT_EQ(r.ReadRegister(REG_PPC), 0x7FC000u);
  for (int code : {REG_D, REG_X, REG_Y, REG_SP, REG_DIRECT, REG_PPAGE, REG_RPAGE, REG_EPAGE, REG_GPAGE})
    EXPECT_EQ(r.ReadRegister(code), 0u) << code;
}

TEST_F(RegistersTest, DisplayLine) {
  t.regs = regs_of(0x12, 0x05, 0x00D4, 0xABCD, 0x0001, 0x3FF0, 0x8000, 0, 0x30, 0, 0, 0);
  EXPECT_EQ(r.registers_text(1234),
            "ccr:SX.I.Z.. a:12 b:05 x:abcd y:0001 s:3ff0 pc:4c0000 Cycles: 0000001234");
  t.regs.ccr = 0xFF;
  t.regs.pc = 0x0100;
  EXPECT_EQ(r.registers_text(0), "ccr:SXHINZVC a:12 b:05 x:abcd y:0001 s:3ff0 pc:000100 Cycles: 0000000000");
  t.regs.ccr = 0xFF00;
  EXPECT_EQ(r.registers_text(4294967295u).substr(0, 13), "ccr:........ ");

  // A small buffer takes what fits.
  char small[10];
  EXPECT_EQ(r.registers_text(small, sizeof small, 0), sizeof small);
  EXPECT_EQ(std::string(small, sizeof small), "ccr:......");
}

TEST_F(RegistersTest, XgateDisplayLine) {
  for (int n = 1; n < 8; ++n) r.WriteRegister(REG_R0 + 32 * n, 0x0101u * n);
  r.WriteRegister(REG_XCCR, 0x09);
  r.WriteRegister(REG_XPC, 0x8A02);
  EXPECT_EQ(r.registers_text(77, true),
            "r1:0101 r2:0202 r3:0303 r4:0404 ccr:N..C pc:8a02\nr5:0505 r6:0606 r7:0707 Cycles: 0000000077");
}

// Assembles `source` with the GNU assembler for this chip and returns the
// bytes of its .text section; empty when the tools are not there.
std::vector<std::uint8_t> assemble(const std::string& source) {
  char dir[] = "/tmp/tav_regs_XXXXXX";
  if (!mkdtemp(dir)) return {};
  const std::string base = std::string(dir) + "/t";
  std::ofstream(base + ".s") << source;
  const std::string cmd = "m68hc11-as -mm9s12x -o " + base + ".o " + base + ".s && m68hc11-objcopy -O binary -j .text " +
                          base + ".o " + base + ".bin";
  std::vector<std::uint8_t> bytes;
  if (std::system(cmd.c_str()) == 0) {
    std::ifstream in(base + ".bin", std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  if (std::system(("rm -rf " + std::string(dir)).c_str()) != 0) ADD_FAILURE() << "cannot remove " << dir;
  return bytes;
}

TEST_F(RegistersTest, ResetFromAVectorTableBuiltByTheAssembler) {
  // The vector page as a loader would place it: the last bytes of the fixed flash.
  const std::vector<std::uint8_t> image = assemble(
      "\t.text\n"
      "\t.word 0x1234\n"
      "\t.long 0x89abcdef\n"
      "\t.word 0xC123\n");  // reset vector, last word of the page
  if (image.empty()) GTEST_SKIP() << "m68hc11-as not available";
  ASSERT_EQ(image.size(), 8u);
  std::uint8_t* block = t.memory.block_data(0x7FFE00);
  ASSERT_NE(block, nullptr);
  std::memcpy(block + 512 - image.size(), image.data(), image.size());
  t.memory.set_block_state(0x7FFE00, Memory::New);

  r.reset();
  EXPECT_EQ(t.regs.pc, 0xC123);
  EXPECT_EQ(r.ReadPC(), 0x7FC123u);
  EXPECT_EQ(t.memory.ReadWord(0x7FFFF8), 0x1234);
  EXPECT_EQ(t.memory.ReadLong(0x7FFFFA), 0x89ABCDEFu);
  t.regs.ppage = 0xFF;  // the same bytes through the flash window
  EXPECT_EQ(t.memory.CpuReadLong(t.memory.LocalToGlobal(0xBFFA)), 0x89ABCDEFu);
}

}  // namespace
}  // namespace tav::test
