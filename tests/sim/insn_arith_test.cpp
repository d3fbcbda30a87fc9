// 8- and 16-bit arithmetic, logic and compares, daa and mul: results and flags.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/sim/cpu_test_support.h"

namespace tav {
namespace {

using test::InsnCase;
using test::RegState;
constexpr std::uint16_t C = CC_C, V = CC_V, Z = CC_Z, N = CC_N, H = CC_H;

TEST(Arith8, ResultsAndFlags) {
  test::run_cases({
      {"adda 0x08 to 0x08 sets H", {0x8B, 0x08}, {.a = 0x08}, {.a = 0x10, .ccr = H}},
      {"suba 0x00 - 0x01", {0x80, 0x01}, {.a = 0x00}, {.a = 0xFF, .ccr = N | C}},
      {"adda overflow into bit 7", {0x8B, 0x01}, {.a = 0x7F}, {.a = 0x80, .ccr = N | V | H}},
      {"adda carry out", {0x8B, 0x01}, {.a = 0xFF}, {.a = 0x00, .ccr = Z | C | H}},
      {"adca adds the carry", {0x89, 0x00}, {.a = 0xFF, .ccr = C}, {.a = 0x00, .ccr = Z | C | H}},
      {"adca without carry keeps H clear", {0x89, 0x10}, {.a = 0x01, .ccr = H}, {.a = 0x11}},
      {"sbca borrows the carry", {0x82, 0x00}, {.a = 0x00, .ccr = C}, {.a = 0xFF, .ccr = N | C}},
      {"sbca without carry", {0x82, 0x01}, {.a = 0x05}, {.a = 0x04}},
      {"suba signed overflow", {0x80, 0x01}, {.a = 0x80}, {.a = 0x7F, .ccr = V}},
      {"cmpa equal writes nothing", {0x81, 0x10}, {.a = 0x10, .ccr = V | C}, {.a = 0x10, .ccr = Z}},
      {"anda keeps C, clears V", {0x84, 0x0F}, {.a = 0xF0, .ccr = V | C}, {.a = 0x00, .ccr = Z | C}},
      {"bita writes nothing", {0x85, 0x80}, {.a = 0x80}, {.a = 0x80, .ccr = N}},
      {"eorb", {0xC8, 0xFF}, {.b = 0x0F}, {.b = 0xF0, .ccr = N}},
      {"orab", {0xCA, 0x01}, {.b = 0x80}, {.b = 0x81, .ccr = N}},
      {"addb half carry", {0xCB, 0x01}, {.b = 0x0F}, {.b = 0x10, .ccr = H}},
      {"aba", {0x18, 0x06}, {.a = 0x80, .b = 0x80}, {.a = 0x00, .b = 0x80, .ccr = Z | V | C}},
      {"sba", {0x18, 0x16}, {.a = 0x80, .b = 0x01}, {.a = 0x7F, .b = 0x01, .ccr = V}},
      {"cba", {0x18, 0x17}, {.a = 0x01, .b = 0x02}, {.a = 0x01, .b = 0x02, .ccr = N | C}},
      {"adda extended", {0xBB, 0x20, 0x00}, {.a = 0x03}, {.a = 0x08}, {{0x2000, 0x05}}},
      {"subb 1,x", {0xE0, 0x01}, {.b = 0x20, .x = 0x2000}, {.b = 0x10, .x = 0x2000}, {{0x2001, 0x10}}},
  });
}

TEST(Arith16, ResultsAndFlags) {
  test::run_cases({
      {"cpx equal sets Z and clears C", {0x8E, 0x12, 0x34}, {.x = 0x1234, .ccr = C}, {.x = 0x1234, .ccr = Z}},
      {"cps 0x1000 - 0x2000 borrows", {0x8F, 0x20, 0x00}, {.sp = 0x1000}, {.sp = 0x1000, .ccr = N | C}},
      {"sbed zero result leaves Z clear", {0x18, 0x83, 0x12, 0x34}, {.a = 0x12, .b = 0x34}, {.ccr = 0}},
      {"sbed zero result keeps Z set", {0x18, 0x83, 0x12, 0x34}, {.a = 0x12, .b = 0x34, .ccr = Z}, {.ccr = Z}},
      {"sbed borrows the carry", {0x18, 0x83, 0x00, 0x00}, {.ccr = C}, {.a = 0xFF, .b = 0xFF, .ccr = N | C}},
      {"aded carries in and out", {0x18, 0xC3, 0x00, 0x00}, {.a = 0xFF, .b = 0xFF, .ccr = C}, {.ccr = C}},
      {"cpes: a set Z follows the result", {0x18, 0x8F, 0x00, 0x00}, {.sp = 0, .ccr = C | Z}, {.sp = 0, .ccr = N | C}},
      {"addd signed overflow", {0xC3, 0x00, 0x01}, {.a = 0x7F, .b = 0xFF}, {.a = 0x80, .b = 0x00, .ccr = N | V}},
      {"subd signed overflow", {0x83, 0x00, 0x01}, {.a = 0x80, .b = 0x00}, {.a = 0x7F, .b = 0xFF, .ccr = V}},
      {"addx carry", {0x18, 0x8B, 0x00, 0x10}, {.x = 0xFFF8}, {.x = 0x0008, .ccr = C}},
      {"subx borrow", {0x18, 0x80, 0x00, 0x06}, {.x = 0x0005}, {.x = 0xFFFF, .ccr = N | C}},
      {"andx clears V and C", {0x18, 0x84, 0x0F, 0x0F}, {.x = 0xF0F0, .ccr = C | V}, {.x = 0x0000, .ccr = Z}},
      {"bity writes nothing", {0x18, 0xC5, 0x80, 0x00}, {.y = 0x8001}, {.y = 0x8001, .ccr = N}},
      {"eory", {0x18, 0xC8, 0xFF, 0xFF}, {.y = 0x00FF}, {.y = 0xFF00, .ccr = N}},
      {"ory", {0x18, 0xCA, 0x00, 0x01}, {.y = 0x8000}, {.y = 0x8001, .ccr = N}},
      {"cpd extended", {0xBC, 0x20, 0x00}, {.a = 0x12, .b = 0x34}, {.a = 0x12, .b = 0x34, .ccr = N | C},
       {{0x2000, 0x12}, {0x2001, 0x35}}},
      {"addy indexed", {0x18, 0xEB, 0x02}, {.x = 0x2000, .y = 0x0100}, {.x = 0x2000, .y = 0x0301},
       {{0x2002, 0x02}, {0x2003, 0x01}}},
  });
}

// Every operand pair and carry in against a plain model of the 8-bit
// operations, worked out on signed and unsigned integers rather than on
// carries: the flags that a fast path computes by bit tricks must agree.
TEST(Arith8, EveryOperandAgreesWithAModel) {
  struct Op {
    std::uint8_t opcode;
    char kind;  // s sub, c cmp, b sbc, a add, d adc, &, ^, |, t bit
  };
  const Op ops[] = {{0x80, 's'}, {0x81, 'c'}, {0x82, 'b'}, {0x84, '&'}, {0x85, 't'},
                    {0x88, '^'}, {0x89, 'd'}, {0x8A, '|'}, {0x8B, 'a'}};
  test::CpuTarget t;
  int failures = 0;
  for (const Op& op : ops) {
    for (int r = 0; r < 256; ++r) {
      for (int m = 0; m < 256; ++m) {
        for (int carry = 0; carry < 2; ++carry) {
          // The bits an operation keeps are set or clear by turns.
          const std::uint16_t before = static_cast<std::uint16_t>((((r ^ m) & 1) ? (N | Z | V | H) : 0) | carry);
          int wide = 0;
          bool arithmetic = true;
          switch (op.kind) {
            case 's': case 'c': wide = r - m; break;
            case 'b': wide = r - m - carry; break;
            case 'a': wide = r + m; break;
            case 'd': wide = r + m + carry; break;
            case '&': case 't': wide = r & m; arithmetic = false; break;
            case '^': wide = r ^ m; arithmetic = false; break;
            default: wide = r | m; arithmetic = false; break;
          }
          const int result = wide & 0xFF;
          const int sr = static_cast<std::int8_t>(r), sm = static_cast<std::int8_t>(m);
          const bool subtracts = op.kind == 's' || op.kind == 'c' || op.kind == 'b';
          const int signed_wide = subtracts ? sr - sm - (op.kind == 'b' ? carry : 0)
                                            : sr + sm + (op.kind == 'd' ? carry : 0);
          std::uint16_t ccr = static_cast<std::uint16_t>(before & ~(N | Z | V));
          if (result & 0x80) ccr |= N;
          if (result == 0) ccr |= Z;
          if (arithmetic) {
            ccr = static_cast<std::uint16_t>(ccr & ~C);
            if (subtracts ? wide < 0 : wide > 0xFF) ccr |= C;
            if (signed_wide < -128 || signed_wide > 127) ccr |= V;
          }
          if (op.kind == 'a' || op.kind == 'd') {
            ccr = static_cast<std::uint16_t>(ccr & ~H);
            if ((r & 0x0F) + (m & 0x0F) + (op.kind == 'd' ? carry : 0) > 0x0F) ccr |= H;
          }
          const bool writes = op.kind != 'c' && op.kind != 't';
          t.regs.a = static_cast<std::uint8_t>(r);
          t.regs.ccr = before;
          t.exec({op.opcode, static_cast<std::uint8_t>(m)});
          const int a = writes ? result : r;
          if ((t.regs.a != a || t.regs.ccr != ccr) && ++failures <= 10)
            ADD_FAILURE() << "opcode " << std::hex << int(op.opcode) << " a " << r << " m " << m << " carry " << carry
                          << ": a " << int(t.regs.a) << " ccr " << t.regs.ccr << ", want a " << a << " ccr " << ccr;
        }
      }
    }
  }
}

// The 16-bit forms on random operands (and the edges) against the same kind of model.
TEST(Arith16, RandomOperandsAgreeWithAModel) {
  struct Op {
    std::vector<std::uint8_t> prefix;
    char kind;  // s sub, c cmp, b sbed, e cped, a add, d aded
  };
  const Op ops[] = {{{0x83}, 's'}, {{0x8C}, 'c'}, {{0x18, 0x83}, 'b'}, {{0x18, 0x8C}, 'e'}, {{0xC3}, 'a'}, {{0x18, 0xC3}, 'd'}};
  std::mt19937 random(20261207);
  std::vector<std::uint32_t> values = {0x0000, 0x0001, 0x7FFF, 0x8000, 0x8001, 0xFFFF};
  for (int i = 0; i < 60; ++i) values.push_back(random() & 0xFFFF);
  test::CpuTarget t;
  int failures = 0;
  for (const Op& op : ops) {
    for (std::uint32_t r : values) {
      for (std::uint32_t m : values) {
        for (int carry = 0; carry < 2; ++carry) {
          for (std::uint16_t z_before : {std::uint16_t{0}, std::uint16_t{Z}}) {
            const std::uint16_t before = static_cast<std::uint16_t>(z_before | carry | H);
            const bool subtracts = op.kind != 'a' && op.kind != 'd';
            const bool with_carry = op.kind == 'b' || op.kind == 'e' || op.kind == 'd';
            const int carry_in = with_carry ? carry : 0;
            const int wide = subtracts ? int(r) - int(m) - carry_in : int(r) + int(m) + carry_in;
            const int sr = static_cast<std::int16_t>(r), sm = static_cast<std::int16_t>(m);
            const int signed_wide = subtracts ? sr - sm - carry_in : sr + sm + carry_in;
            const int result = wide & 0xFFFF;
            std::uint16_t ccr = H;
            if (result & 0x8000) ccr |= N;
            if (result == 0 && (!with_carry || z_before)) ccr |= Z;
            if (subtracts ? wide < 0 : wide > 0xFFFF) ccr |= C;
            if (signed_wide < -32768 || signed_wide > 32767) ccr |= V;
            std::vector<std::uint8_t> code = op.prefix;
            code.push_back(static_cast<std::uint8_t>(m >> 8));
            code.push_back(static_cast<std::uint8_t>(m));
            t.regs.set_d(static_cast<std::uint16_t>(r));
            t.regs.ccr = before;
            t.exec(code);
            const int d = op.kind == 'c' || op.kind == 'e' ? int(r) : result;
            if ((t.regs.d() != d || t.regs.ccr != ccr) && ++failures <= 10)
              ADD_FAILURE() << op.kind << " d " << std::hex << r << " m " << m << " carry " << carry << " z " << z_before
                            << ": d " << t.regs.d() << " ccr " << t.regs.ccr << ", want d " << d << " ccr " << ccr;
          }
        }
      }
    }
  }
}

TEST(DaaAndMul, ResultsAndFlags) {
  test::run_cases({
      {"daa low digit", {0x18, 0x07}, {.a = 0x0A}, {.a = 0x10}},
      {"daa both digits, carry out", {0x18, 0x07}, {.a = 0x9A}, {.a = 0x00, .ccr = Z | C}},
      {"daa after a half carry", {0x18, 0x07}, {.a = 0x12, .ccr = H}, {.a = 0x18, .ccr = H}},
      {"daa keeps C and sets V when bit 7 turns on", {0x18, 0x07}, {.a = 0x75, .ccr = C}, {.a = 0xD5, .ccr = N | V | C}},
      {"mul", {0x12}, {.a = 0x10, .b = 0x10, .ccr = C}, {.a = 0x01, .b = 0x00}},
      {"mul C from bit 7", {0x12}, {.a = 0x0C, .b = 0x0C}, {.a = 0x00, .b = 0x90, .ccr = C}},
  });
}

}  // namespace
}  // namespace tav
