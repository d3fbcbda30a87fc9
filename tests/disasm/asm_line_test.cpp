// The CPU12 line assembler: operand forms, postbyte choices, labels and every
// error it reports.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "disasm/asm_line.h"
#include "support/messages.h"
#include "tests/disasm/cpu12_test_support.h"

namespace tav::test {
namespace {

constexpr std::uint32_t kAt = 0x7F4000;

struct Asm {
  Cpu12Target t;
  std::vector<int> errors;
  std::map<std::string, std::uint32_t> labels;
  AsmHooks hooks;
  const char* rest = nullptr;

  Asm() {
    hooks.error = [this](int n) { errors.push_back(n); };
    hooks.define_label = [this](std::string_view name, std::uint32_t a) { labels[std::string(name)] = a; };
  }
  // The bytes written for `line` at `address`, or an empty list when it failed.
  std::vector<int> bytes(const char* line, std::uint32_t address = kAt) {
    for (std::uint32_t i = 0; i < 8; ++i) t.memory.poke(address + i, 0xEE);
    rest = line;
    const unsigned n = asmline(t.memory, address, rest, hooks);
    std::vector<int> out;
    for (unsigned i = 0; i < n; ++i) out.push_back(t.memory.peek(address + i));
    return out;
  }
  int error(const char* line, std::uint32_t address = kAt) {
    errors.clear();
    const auto b = bytes(line, address);
    EXPECT_TRUE(b.empty()) << line;
    return errors.size() == 1 ? errors[0] : -static_cast<int>(errors.size());
  }
};

using B = std::vector<int>;

TEST(AsmLine, ImmediatesTakeTheRegistersWidth) {
  Asm a;
  EXPECT_EQ(a.error("ldaa #300"), msg::value_too_large);
  EXPECT_EQ(a.bytes("ldd #300"), (B{0xCC, 0x01, 0x2C}));
  EXPECT_EQ(a.bytes("ldaa #-128"), (B{0x86, 0x80}));
  EXPECT_EQ(a.bytes("ldaa #255"), (B{0x86, 0xFF}));
  EXPECT_EQ(a.error("ldab #-129"), msg::value_too_large);
  EXPECT_EQ(a.bytes("andcc #0xef"), (B{0x10, 0xEF}));
  EXPECT_EQ(a.bytes("ldx #-1"), (B{0xCE, 0xFF, 0xFF}));
  EXPECT_EQ(a.bytes("addy #0x1234"), (B{0x18, 0xCB, 0x12, 0x34}));  // page 2
  EXPECT_EQ(a.bytes("LDAA #0X12"), (B{0x86, 0x12}));                 // either case
}

TEST(AsmLine, DirectAndExtendedBySize) {
  Asm a;
  EXPECT_EQ(a.bytes("ldaa 0x12"), (B{0x96, 0x12}));
  EXPECT_EQ(a.bytes("ldaa 256"), (B{0xB6, 0x01, 0x00}));
  EXPECT_EQ(a.bytes("ldaa <0x12"), (B{0x96, 0x12}));
  EXPECT_EQ(a.error("ldaa <256"), msg::value_too_large);
  EXPECT_EQ(a.bytes("ldaa 0x7fc000"), (B{0xB6, 0xC0, 0x00}));  // a global address keeps its 16 low bits
  EXPECT_EQ(a.bytes("jmp 0x12"), (B{0x06, 0x00, 0x12}));       // no direct form: extended
  EXPECT_EQ(a.bytes("gldaa 0x12"), (B{0x18, 0x96, 0x12}));
  EXPECT_EQ(a.error("jmp <0x12"), msg::uncompatible_addressing_mode);
  EXPECT_EQ(a.error("staa #1"), msg::uncompatible_addressing_mode);
}

TEST(AsmLine, IndexedPostbytes) {
  Asm a;
  EXPECT_EQ(a.bytes("ldaa 5,x"), (B{0xA6, 0x05}));
  EXPECT_EQ(a.bytes("ldaa -16,y"), (B{0xA6, 0x50}));
  EXPECT_EQ(a.bytes("ldaa 15,pc"), (B{0xA6, 0xCF}));
  EXPECT_EQ(a.bytes("ldaa 20,x"), (B{0xA6, 0xE0, 0x14}));
  EXPECT_EQ(a.bytes("ldaa -17,sp"), (B{0xA6, 0xF1, 0xEF}));
  EXPECT_EQ(a.bytes("ldaa 255,s"), (B{0xA6, 0xF0, 0xFF}));  // "s" as the disassembler writes it
  EXPECT_EQ(a.bytes("ldaa 300,x"), (B{0xA6, 0xE2, 0x01, 0x2C}));
  EXPECT_EQ(a.bytes("ldaa -257,pc"), (B{0xA6, 0xFA, 0xFE, 0xFF}));
  EXPECT_EQ(a.bytes("ldaa 2,-x"), (B{0xA6, 0x2E}));
  EXPECT_EQ(a.bytes("ldaa 2,x+"), (B{0xA6, 0x31}));
  EXPECT_EQ(a.bytes("ldaa 8,+y"), (B{0xA6, 0x67}));
  EXPECT_EQ(a.bytes("ldaa 1,sp-"), (B{0xA6, 0xBF}));
  EXPECT_EQ(a.bytes("ldaa a,x"), (B{0xA6, 0xE4}));
  EXPECT_EQ(a.bytes("ldaa b,y"), (B{0xA6, 0xED}));
  EXPECT_EQ(a.bytes("ldaa d,pc"), (B{0xA6, 0xFE}));
  EXPECT_EQ(a.bytes("ldaa [d,sp]"), (B{0xA6, 0xF7}));
  EXPECT_EQ(a.bytes("ldaa [0x1234,y]"), (B{0xA6, 0xEB, 0x12, 0x34}));
  EXPECT_EQ(a.bytes("ldaa [ -2 , pc ]"), (B{0xA6, 0xFB, 0xFF, 0xFE}));
  EXPECT_EQ(a.bytes("leas -1,sp"), (B{0x1B, 0x9F}));
}

TEST(AsmLine, IndexedErrors) {
  Asm a;
  EXPECT_EQ(a.error("ldaa 2,+pc"), msg::incorrect_index_register);
  EXPECT_EQ(a.error("ldaa 9,x+"), msg::value_too_large);
  EXPECT_EQ(a.error("ldaa 0,-y"), msg::value_too_large);
  EXPECT_EQ(a.error("ldaa a,x+"), msg::incorrect_addressing_mode);
  EXPECT_EQ(a.error("ldaa [2,x+]"), msg::incorrect_addressing_mode);
  EXPECT_EQ(a.error("ldaa [2]"), msg::incorrect_addressing_mode);
  EXPECT_EQ(a.error("ldaa [2,x"), msg::syntax_error);
  EXPECT_EQ(a.error("ldaa [2,b]"), msg::incorrect_index_register);
  EXPECT_EQ(a.error("ldaa [d,a]"), msg::incorrect_index_register);
  EXPECT_EQ(a.error("ldaa"), msg::syntax_error);
  EXPECT_EQ(a.error("ldaa #"), msg::syntax_error);
}

TEST(AsmLine, LabelsAndMnemonics) {
  Asm a;
  EXPECT_EQ(a.bytes("start: nop"), (B{0xA7}));
  EXPECT_EQ(a.labels.at("start"), kAt);
  EXPECT_EQ(a.bytes("loop:", 0x7F4100), B{});
  EXPECT_EQ(a.labels.at("loop"), 0x7F4100u);
  EXPECT_TRUE(a.errors.empty());
  EXPECT_EQ(a.error("bogus"), msg::illegal_instruction);
  EXPECT_EQ(a.error("x: bogus 1"), msg::illegal_instruction);
  EXPECT_EQ(a.error("[wav]"), msg::illegal_instruction);
  EXPECT_EQ(a.bytes("wavi"), (B{0x3C}));
  EXPECT_EQ(a.bytes("wav"), (B{0x18, 0x3C}));
  EXPECT_EQ(a.bytes("  pshcw  ; comment"), (B{0x18, 0x39}));
  EXPECT_STREQ(a.rest, "  ; comment");  // the cursor stops after what it read
}

TEST(AsmLine, RegisterPostbytes) {
  Asm a;
  EXPECT_EQ(a.bytes("tfr d,x"), (B{0xB7, 0x45}));
  EXPECT_EQ(a.bytes("exg d,x"), (B{0xB7, 0xC5}));
  EXPECT_EQ(a.bytes("sex a,x"), (B{0xB7, 0x05}));
  EXPECT_EQ(a.bytes("tfr sp,y"), (B{0xB7, 0x76}));
  EXPECT_EQ(a.bytes("tfr ccrw,s"), (B{0xB7, 0x37}));
  EXPECT_EQ(a.bytes("exg a,ccrh"), (B{0xB7, 0x8A}));
  EXPECT_EQ(a.error("tfr pc,x"), msg::incompatible_registers);
  EXPECT_EQ(a.error("tfr a,q"), msg::incompatible_registers);
  EXPECT_EQ(a.error("tfr a,ccrh"), msg::incompatible_registers);
  EXPECT_EQ(a.error("tfr a x"), msg::syntax_error);
}

TEST(AsmLine, LoopPrimitives) {
  Asm a;
  EXPECT_EQ(a.bytes("dbne d,0x7f4013"), (B{0x04, 0x24, 0x10}));
  EXPECT_EQ(a.bytes("ibeq x,0x7f4000"), (B{0x04, 0x95, 0xFD}));
  EXPECT_EQ(a.bytes("tbeq b 0x7f4003"), (B{0x04, 0x41, 0x00}));
  EXPECT_EQ(a.bytes("tbne sp,0x7f4102"), (B{0x04, 0x67, 0xFF}));  // +255
  EXPECT_EQ(a.bytes("ibne y,0x7f3f03"), (B{0x04, 0xB6, 0x00}));   // -256
  EXPECT_EQ(a.error("ibne y,0x7f3f02"), msg::offset_too_large);
  EXPECT_EQ(a.error("dbeq a,0x7f4103"), msg::offset_too_large);
  EXPECT_EQ(a.error("dbeq ccr,0x7f4000"), msg::incompatible_registers);
  EXPECT_EQ(a.error("dbeq pc,0x7f4000"), msg::incompatible_registers);
}

TEST(AsmLine, BranchesShortAndLong) {
  Asm a;
  EXPECT_EQ(a.bytes("bra 0x7f4000"), (B{0x20, 0xFE}));
  EXPECT_EQ(a.bytes("bne 0x7f4081"), (B{0x26, 0x7F}));
  EXPECT_EQ(a.bytes("bsr 0x7f3f82"), (B{0x07, 0x80}));
  EXPECT_EQ(a.error("bra 0x7f40c8"), msg::offset_too_large);  // 200 bytes ahead
  EXPECT_EQ(a.t.memory.peek(kAt), 0x20);                      // the opcode written stays
  EXPECT_EQ(a.bytes("lbra 0x7f40c8"), (B{0x18, 0x20, 0x00, 0xC4}));
  EXPECT_EQ(a.bytes("lbeq 0x7ec004"), (B{0x18, 0x27, 0x80, 0x00}));
  EXPECT_EQ(a.error("lbeq 0x7ec003"), msg::offset_too_large);
  EXPECT_EQ(a.bytes("lbhs 0x7f4004"), (B{0x18, 0x24, 0x00, 0x00}));  // alias behind the prefix
}

TEST(AsmLine, MasksPagesAndBitBranches) {
  Asm a;
  EXPECT_EQ(a.bytes("bset 0x20,#0x81"), (B{0x4C, 0x20, 0x81}));
  EXPECT_EQ(a.bytes("bclr 0x1234 0x0f"), (B{0x1D, 0x12, 0x34, 0x0F}));
  EXPECT_EQ(a.bytes("bset 5,x,0x81"), (B{0x0C, 0x05, 0x81}));
  EXPECT_EQ(a.error("bset 5,x,#256"), msg::value_too_large);
  EXPECT_EQ(a.bytes("brset 0,y,#0x01,0x7f4014"), (B{0x0E, 0x40, 0x01, 0x10}));
  EXPECT_EQ(a.bytes("brclr <0x12,0x80,0x7f4000"), (B{0x4F, 0x12, 0x80, 0xFC}));
  EXPECT_EQ(a.bytes("brclr 300,pc,0x80,0x7f4006"), (B{0x0F, 0xFA, 0x01, 0x2C, 0x80, 0x00}));
  EXPECT_EQ(a.bytes("btas <0x12,0x01"), (B{0x18, 0x35, 0x12, 0x01}));
  EXPECT_EQ(a.bytes("call 0x8000,0x30"), (B{0x4A, 0x80, 0x00, 0x30}));
  EXPECT_EQ(a.bytes("call 5,x,49"), (B{0x4B, 0x05, 0x31}));
  EXPECT_EQ(a.bytes("call [564,x]"), (B{0x4B, 0xE3, 0x02, 0x34}));  // the page comes from memory
  EXPECT_EQ(a.error("call 0x8000,256"), msg::value_too_large);
}

TEST(AsmLine, MovesPutTheIndexedPostbyteFirst) {
  Asm a;
  EXPECT_EQ(a.bytes("movb #0x12,0x0123"), (B{0x18, 0x0B, 0x12, 0x01, 0x23}));
  EXPECT_EQ(a.bytes("movb #0x12,5,y"), (B{0x18, 0x08, 0x45, 0x12}));
  EXPECT_EQ(a.bytes("movw 0x0123,5,x"), (B{0x18, 0x01, 0x05, 0x01, 0x23}));
  EXPECT_EQ(a.bytes("movw #0x1234,300,x"), (B{0x18, 0x00, 0xE2, 0x01, 0x2C, 0x12, 0x34}));
  EXPECT_EQ(a.bytes("movw 2,x+,2,y+"), (B{0x18, 0x02, 0x31, 0x71}));
  EXPECT_EQ(a.bytes("movw 0,pc,0x0123"), (B{0x18, 0x05, 0xC0, 0x01, 0x23}));
  EXPECT_EQ(a.bytes("movb 0x12,0x34"), (B{0x18, 0x0C, 0x00, 0x12, 0x00, 0x34}));  // always extended
  EXPECT_EQ(a.error("movb #300,0x1234"), msg::value_too_large);
  EXPECT_EQ(a.error("movb 0x1234,#1"), msg::uncompatible_addressing_mode);
  EXPECT_EQ(a.error("movb 0x1234"), msg::syntax_error);
}

TEST(AsmLine, OperandValuesComeFromTheEvaluator) {
  Asm a;
  a.hooks.evaluate = [](const char*& p, std::uint32_t& v, int& error) {
    if (std::string_view(p).substr(0, 5) == "table") {
      p += 5;
      v = 0x1230;
      return true;
    }
    if (*p == '?') {
      error = msg::symbol_not_found;
      return false;
    }
    return asm_number(p, v, error);
  };
  EXPECT_EQ(a.bytes("ldd table"), (B{0xFC, 0x12, 0x30}));
  EXPECT_EQ(a.bytes("ldaa table,x"), (B{0xA6, 0xE2, 0x12, 0x30}));
  EXPECT_EQ(a.error("ldaa ?"), msg::symbol_not_found);
}

}  // namespace
}  // namespace tav::test
