// The divisions with their zero-divisor and overflow cases, and the
// multiplications including the multiply-accumulate emacs.
#include <gtest/gtest.h>

#include "tests/sim/cpu_test_support.h"

namespace tav {
namespace {

constexpr std::uint16_t C = CC_C, V = CC_V, Z = CC_Z, N = CC_N;

TEST(Division, QuotientsRemaindersAndEdgeCases) {
  test::run_cases({
      {"idiv", {0x18, 0x10}, {.a = 0, .b = 100, .x = 7, .ccr = N | V | C}, {.a = 0, .b = 2, .x = 14, .ccr = N}},
      {"idiv zero quotient", {0x18, 0x10}, {.b = 5, .x = 10}, {.b = 5, .x = 0, .ccr = Z}},
      {"idiv by zero", {0x18, 0x10}, {.a = 0x12, .b = 0x34, .x = 0}, {.a = 0x12, .b = 0x34, .x = 0xFFFF, .ccr = C}},
      {"fdiv", {0x18, 0x11}, {.a = 0x40, .b = 0x00, .x = 0x8000}, {.x = 0x8000}},
      {"fdiv with D >= X", {0x18, 0x11}, {.a = 0x80, .x = 0x8000}, {.a = 0x80, .x = 0xFFFF, .ccr = V}},
      {"fdiv by zero", {0x18, 0x11}, {.a = 0x12, .b = 0x34}, {.a = 0x12, .b = 0x34, .x = 0xFFFF, .ccr = V | C}},
      {"idivs negative", {0x18, 0x15}, {.a = 0xFF, .b = 0xF9, .x = 2}, {.a = 0xFF, .b = 0xFF, .x = 0xFFFD, .ccr = N}},
      {"idivs overflow changes only CCR", {0x18, 0x15}, {.a = 0x80, .b = 0x00, .x = 0xFFFF},
       {.a = 0x80, .b = 0x00, .x = 0xFFFF, .ccr = N | V}},
      {"idivs by zero changes only CCR", {0x18, 0x15}, {.a = 0x12, .b = 0x34, .ccr = N}, {.a = 0x12, .b = 0x34, .ccr = N | C}},
      {"ediv", {0x11}, {.a = 0x00, .b = 0x00, .x = 2, .y = 0x0001}, {.x = 2, .y = 0x8000, .ccr = N}},
      {"ediv remainder", {0x11}, {.a = 0x00, .b = 100, .x = 7, .y = 0}, {.a = 0, .b = 2, .x = 7, .y = 14}},
      {"ediv overflow", {0x11}, {.x = 1, .y = 0x0002}, {.x = 1, .y = 0x0002, .ccr = V}},
      {"ediv by zero", {0x11}, {.a = 1, .y = 1}, {.a = 1, .y = 1, .ccr = C}},
      {"edivs 0x80000000 / 0xFFFF", {0x18, 0x14}, {.x = 0xFFFF, .y = 0x8000}, {.x = 0xFFFF, .y = 0x8000, .ccr = V}},
      {"edivs negative", {0x18, 0x14}, {.a = 0x79, .b = 0x60, .x = 7, .y = 0xFFFE},
       {.a = 0xFF, .b = 0xFB, .x = 7, .y = 0xC833, .ccr = N}},
      {"edivs overflow", {0x18, 0x14}, {.x = 1, .y = 0x0001}, {.x = 1, .y = 0x0001, .ccr = V}},
      {"edivs by zero", {0x18, 0x14}, {.y = 5}, {.y = 5, .ccr = C}},
  });
}

TEST(Multiplication, EmulEmulsEmacs) {
  test::run_cases({
      {"emul", {0x13}, {.a = 0xFF, .b = 0xFF, .y = 0xFFFF}, {.a = 0x00, .b = 0x01, .y = 0xFFFE, .ccr = N}},
      {"emul C from bit 15", {0x13}, {.a = 0x00, .b = 0x80, .y = 0x0100, .ccr = V}, {.a = 0x80, .b = 0x00, .y = 0, .ccr = V | C}},
      {"emul zero", {0x13}, {.a = 0x12, .y = 0, .ccr = N | C}, {.ccr = Z}},
      {"emuls", {0x18, 0x13}, {.a = 0xFF, .b = 0xFF, .y = 0x0002}, {.a = 0xFF, .b = 0xFE, .y = 0xFFFF, .ccr = N | C}},
  });
  test::run_cases({
      {"emacs adds the signed product", {0x18, 0x12, 0x20, 0x10}, {.x = 0x2000, .y = 0x2002},
       {.x = 0x2000, .y = 0x2002, .ccr = C},
       {{0x2000, 0x00}, {0x2001, 0x03}, {0x2002, 0xFF}, {0x2003, 0xFE}, {0x2013, 0x10}},
       {{0x2010, 0x00}, {0x2011, 0x00}, {0x2012, 0x00}, {0x2013, 0x0A}}},
      {"emacs overflow sets V", {0x18, 0x12, 0x20, 0x10}, {.x = 0x2000, .y = 0x2000},
       {.x = 0x2000, .y = 0x2000, .ccr = N | V | C},
       {{0x2000, 0x00}, {0x2001, 0x01}, {0x2010, 0x7F}, {0x2011, 0xFF}, {0x2012, 0xFF}, {0x2013, 0xFF}},
       {{0x2010, 0x80}, {0x2011, 0x00}, {0x2012, 0x00}, {0x2013, 0x00}}},
  });
}

}  // namespace
}  // namespace tav
