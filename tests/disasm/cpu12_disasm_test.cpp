// The CPU12 disassembler's line layout, symbolic addresses and source
// references (the opcode space as a whole is compared with objdump elsewhere).
#include <gtest/gtest.h>

#include "support/messages.h"
#include "tests/disasm/cpu12_test_support.h"

namespace tav::test {
namespace {

TEST(Cpu12Disasm, MnemonicColumnAndImmediates) {
  Cpu12Target t;
  EXPECT_EQ(t.text_of({0x86, 0x12}), "ldaa  #0x12");
  EXPECT_EQ(t.text_of({0xCC, 0x12, 0x34}), "ldd   #0x1234");
  EXPECT_EQ(t.text_of({0xCC, 0x00, 0x05}), "ldd   #0x0005");
  EXPECT_EQ(t.text_of({0xA7}), "nop   ");
  EXPECT_EQ(t.text_of({0x18, 0x39}), "pshcw ");
  EXPECT_EQ(t.text_of({0x18, 0x1A, 0x00}), "emaxd 0,x");  // six-letter names keep one blank
}

TEST(Cpu12Disasm, AddressesAreGlobal) {
  Cpu12Target t;
  EXPECT_EQ(t.text_of({0xB6, 0xC0, 0x00}), "ldaa  0x7fc000");
  EXPECT_EQ(t.text_of({0xB6, 0x01, 0x23}), "ldaa  0x0123");  // at least four digits
  EXPECT_EQ(t.text_of({0x96, 0x05}), "ldaa  <0x05");       // at least two
  t.regs.direct = 0x3F;                                      // 0x3F05 is in the fixed RAM window
  EXPECT_EQ(t.text_of({0x96, 0x05}), "ldaa  <0xfff05");
  t.regs.ppage = 0x30;
  EXPECT_EQ(t.text_of({0xB6, 0x80, 0x10}), "ldaa  0x4c0010");
  t.regs.gpage = 0x12;
  EXPECT_EQ(t.text_of({0x18, 0xB6, 0x34, 0x56}), "gldaa 0x123456");
}

TEST(Cpu12Disasm, IndexedForms) {
  Cpu12Target t;
  EXPECT_EQ(t.text_of({0xA6, 0x32}), "ldaa  3,x+");
  EXPECT_EQ(t.text_of({0xA6, 0x2D}), "ldaa  3,-x");
  EXPECT_EQ(t.text_of({0xA6, 0x62}), "ldaa  3,+y");
  EXPECT_EQ(t.text_of({0xA6, 0xBF}), "ldaa  1,s-");
  EXPECT_EQ(t.text_of({0xA6, 0xB8}), "ldaa  8,s-");
  EXPECT_EQ(t.text_of({0xA6, 0x10}), "ldaa  -16,x");
  EXPECT_EQ(t.text_of({0xA6, 0xCF}), "ldaa  15,pc");
  EXPECT_EQ(t.text_of({0xA6, 0xE1, 0x00}), "ldaa  -256,x");
  EXPECT_EQ(t.text_of({0xA6, 0xE8, 0xFF}), "ldaa  255,y");
  EXPECT_EQ(t.text_of({0xA6, 0xF2, 0xFF, 0xFF}), "ldaa  65535,s");  // 16-bit offsets are unsigned
  EXPECT_EQ(t.text_of({0xA6, 0xE4}), "ldaa  a,x");
  EXPECT_EQ(t.text_of({0xA6, 0xF5}), "ldaa  b,s");
  EXPECT_EQ(t.text_of({0xA6, 0xFE}), "ldaa  d,pc");
  EXPECT_EQ(t.text_of({0xA6, 0xEB, 0x12, 0x34}), "ldaa  [4660,y]");
  EXPECT_EQ(t.text_of({0xA6, 0xFF}), "ldaa  [d,pc]");
}

TEST(Cpu12Disasm, RegisterPostbytesAndLoops) {
  Cpu12Target t;
  EXPECT_EQ(t.text_of({0xB7, 0x45}), "tfr   d,x");
  EXPECT_EQ(t.text_of({0xB7, 0xC5}), "exg   d,x");
  EXPECT_EQ(t.text_of({0xB7, 0x05}), "sex   a,x");
  EXPECT_EQ(t.text_of({0xB7, 0x8A}), "exg   a,ccrh");
  EXPECT_EQ(t.text_of({0xB7, 0x37}), "tfr   ccrw,s");
  EXPECT_EQ(t.text_of({0x04, 0x24, 0x10}, 0x7F4000), "dbne  d,0x7f4013");
  EXPECT_EQ(t.text_of({0x04, 0x95, 0xFD}, 0x7F4000), "ibeq  x,0x7f4000");  // 9-bit negative offset
  EXPECT_EQ(t.text_of({0x04, 0x41, 0x00}, 0x7F4000), "tbeq  b,0x7f4003");
}

TEST(Cpu12Disasm, BranchesMasksPagesAndMoves) {
  Cpu12Target t;
  EXPECT_EQ(t.text_of({0x20, 0xFE}, 0x7FC010), "bra   0x7fc010");
  EXPECT_EQ(t.text_of({0x18, 0x26, 0x01, 0x00}, 0x7FC010), "lbne  0x7fc114");
  EXPECT_EQ(t.text_of({0x20, 0x00}, 0x7FFFFE), "bra   0x000000");  // 23-bit targets wrap
  EXPECT_EQ(t.text_of({0x4C, 0x20, 0x81}), "bset  <0x20,0x81");
  EXPECT_EQ(t.text_of({0x1D, 0x01, 0x23, 0x0F}), "bclr  0x0123,0x0f");
  EXPECT_EQ(t.text_of({0x0E, 0x40, 0x01, 0x10}, 0x7F4000), "brset 0,y,0x01,0x7f4014");
  EXPECT_EQ(t.text_of({0x4F, 0x12, 0x80, 0xFC}, 0x7F4000), "brclr <0x12,0x80,0x7f4000");
  EXPECT_EQ(t.text_of({0x18, 0x35, 0x12, 0x01}), "btas  <0x12,0x01");
  EXPECT_EQ(t.text_of({0x4A, 0x80, 0x00, 0x30}), "call  0x4c0000,48");
  EXPECT_EQ(t.text_of({0x4B, 0x05, 0x31}), "call  5,x,49");
  t.put(0x1234, {0x80, 0x00, 0x31});
  t.regs.x = 0x1000;
  t.regs.rpage = 0x00;
  EXPECT_EQ(t.text_of({0x4B, 0xE3, 0x02, 0x34}), "call  [564,x]");  // the page comes from memory
  EXPECT_EQ(t.text_of({0x18, 0x0B, 0x12, 0x01, 0x23}), "movb  #0x12,0x0123");
  EXPECT_EQ(t.text_of({0x18, 0x08, 0x45, 0x12}), "movb  #0x12,5,y");  // postbyte first in the bytes
  EXPECT_EQ(t.text_of({0x18, 0x01, 0x05, 0x01, 0x23}), "movw  0x0123,5,x");
  EXPECT_EQ(t.text_of({0x18, 0x00, 0x05, 0x12, 0x34}), "movw  #0x1234,5,x");
  EXPECT_EQ(t.text_of({0x18, 0x02, 0x31, 0x71}), "movw  2,x+,2,y+");
  EXPECT_EQ(t.text_of({0x18, 0x05, 0xC0, 0x01, 0x23}), "movw  0,pc,0x0123");
}

TEST(Cpu12Disasm, WavAndUndefinedOpcodes) {
  Cpu12Target t;
  EXPECT_EQ(t.text_of({0x18, 0x3C}), "wav   ");
  EXPECT_EQ(t.text_of({0x3C}), "[wav] ");
  char text[kDisasmCapacity];
  t.put(0x7F4000, {0x18, 0x38});
  EXPECT_EQ(cpu12_disasm(t.memory, t.regs, 0x7F4000, text), kUndefinedLength);
  EXPECT_STREQ(text, "???   (0x18)");
  t.put(0x7F4000, {0x18, 0x30});
  EXPECT_EQ(Disassemble(t.memory, t.regs, 0x7F4000).text, "???   (0x18)");
  EXPECT_EQ(Disassemble(t.memory, t.regs, 0x7F4000).length, kUndefinedLength);
}

TEST(Cpu12Disasm, SymbolsNameAddressesWithinReach) {
  Cpu12Target t;
  TableLookup symbols;
  symbols.symbols = {{0x7FC000, "start"}, {0x1230, "table"}, {0x0100, "counter"}};
  EXPECT_EQ(t.text_of({0xB6, 0xC0, 0x00}, 0x7F4000, &symbols), "ldaa  start");
  EXPECT_EQ(t.text_of({0xB6, 0xC0, 0x63}, 0x7F4000, &symbols), "ldaa  start+99");
  EXPECT_EQ(t.text_of({0xB6, 0xC0, 0x64}, 0x7F4000, &symbols), "ldaa  0x7fc064");
  EXPECT_EQ(t.text_of({0x96, 0x00}, 0x7F4000, &symbols), "ldaa  <0x00");  // nothing at or below 0
  t.regs.rpage = 0x01;
  EXPECT_EQ(t.text_of({0xCC, 0x12, 0x34}, 0x7F4000, &symbols), "ldd   #table+4");
  EXPECT_EQ(t.text_of({0x86, 0x30}, 0x7F4000, &symbols), "ldaa  #0x30");  // 8-bit immediates never
  // A branch names only a symbol exactly at its target.
  EXPECT_EQ(t.text_of({0x20, 0xFE}, 0x7FC000, &symbols), "bra   start");
  EXPECT_EQ(t.text_of({0x20, 0xFE}, 0x7FC002, &symbols), "bra   0x7fc002");
}

TEST(Cpu12Disasm, SourceReferencesFollowNumericTargets) {
  Cpu12Target t;
  TableLookup program;
  program.lines = {{0x7FC000, {42, 0}}, {0x7FC010, {42, 2}}};
  EXPECT_EQ(t.text_of({0xB6, 0xC0, 0x00}, 0x7F4000, &program), "ldaa  0x7fc000 [L42]");
  EXPECT_EQ(t.text_of({0x06, 0xC0, 0x10}, 0x7F4000, &program), "jmp   0x7fc010 [L42(2)]");
  EXPECT_EQ(t.text_of({0x20, 0x0E}, 0x7FC000, &program), "bra   0x7fc010 [L42(2)]");
  EXPECT_EQ(t.text_of({0x96, 0x00}, 0x7F4000, &program), "ldaa  <0x00");  // not after direct addresses
  program.symbols = {{0x7FC000, "main"}};
  EXPECT_EQ(t.text_of({0xB6, 0xC0, 0x00}, 0x7F4000, &program), "ldaa  main");  // only after numbers
  ASSERT_NE(msgfind(msg::line_letter), nullptr);
}

TEST(Cpu12Disasm, SmallBuffersAreCutAndTerminated) {
  Cpu12Target t;
  t.put(0x7F4000, {0xCC, 0x12, 0x34});
  char text[5] = {'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(cpu12_disasm(t.memory, t.regs, 0x7F4000, text, sizeof text), 3u);
  EXPECT_STREQ(text, "ldd ");
  EXPECT_EQ(cpu12_disasm(t.memory, t.regs, 0x7F4000, nullptr, 0), 3u);
}

TEST(Cpu12Disasm, DisassemblingChangesNothing) {
  Cpu12Target t;
  t.regs.x = 0x1000;
  t.regs.ppage = 0x20;
  const CpuRegs before = t.regs;
  t.text_of({0xA6, 0x32});              // post-increment of x
  t.text_of({0x4A, 0x80, 0x00, 0x30});  // call with another page
  EXPECT_EQ(t.regs.x, before.x);
  EXPECT_EQ(t.regs.ppage, before.ppage);
  EXPECT_EQ(t.memory.block_count(), 1);  // reads create no blocks
}

}  // namespace
}  // namespace tav::test
