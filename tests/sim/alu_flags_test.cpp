// The host's flags against the portable bit-by-bit versions: every 8-bit
// operand pair with both carries in, and 16-bit edges and random values.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "sim/alu_flags.h"

namespace tav::alu {
namespace {

std::vector<std::uint32_t> operands16() {
  std::vector<std::uint32_t> v = {0x0000, 0x0001, 0x000F, 0x0010, 0x007F, 0x0080, 0x00FF, 0x0100,
                                  0x7FFE, 0x7FFF, 0x8000, 0x8001, 0xFFFE, 0xFFFF};
  std::mt19937 random;  // default-constructed: the same values every run
  for (int i = 0; i < 200; ++i) v.push_back(random() & 0xFFFF);
  return v;
}

template <unsigned kBits>
void expect_same(const Result& host, const Result& reference, const char* what, std::uint32_t r, std::uint32_t m,
                 std::uint32_t carry) {
  ASSERT_EQ(host.value, reference.value) << what << kBits << " " << r << ", " << m << ", carry " << carry;
  ASSERT_EQ(host.flags, reference.flags) << what << kBits << " " << r << ", " << m << ", carry " << carry;
}

template <unsigned kBits>
void check_binary(std::uint32_t r, std::uint32_t m) {
  expect_same<kBits>(add<kBits>(r, m), portable::add<kBits>(r, m, 0), "add", r, m, 0);
  expect_same<kBits>(sub<kBits>(r, m), portable::sub<kBits>(r, m, 0), "sub", r, m, 0);
  // The carry in is bit 0 of a CCR: the other bits must not matter.
  for (std::uint32_t ccr : {0xD0u, 0x2Fu}) {
    expect_same<kBits>(add<kBits, true>(r, m, ccr), portable::add<kBits>(r, m, ccr & 1), "adc", r, m, ccr);
    expect_same<kBits>(sub<kBits, true>(r, m, ccr), portable::sub<kBits>(r, m, ccr & 1), "sbc", r, m, ccr);
  }
}

template <unsigned kBits>
void check_unary(std::uint32_t old) {
  expect_same<kBits>(unary<Unary::Lsl, kBits>(old), portable::unary<Unary::Lsl, kBits>(old), "lsl", old, 0, 0);
  expect_same<kBits>(unary<Unary::Lsr, kBits>(old), portable::unary<Unary::Lsr, kBits>(old), "lsr", old, 0, 0);
  expect_same<kBits>(unary<Unary::Asr, kBits>(old), portable::unary<Unary::Asr, kBits>(old), "asr", old, 0, 0);
  expect_same<kBits>(unary<Unary::Neg, kBits>(old), portable::unary<Unary::Neg, kBits>(old), "neg", old, 0, 0);
  expect_same<kBits>(unary<Unary::Inc, kBits>(old), portable::unary<Unary::Inc, kBits>(old), "inc", old, 0, 0);
  expect_same<kBits>(unary<Unary::Dec, kBits>(old), portable::unary<Unary::Dec, kBits>(old), "dec", old, 0, 0);
}

TEST(AluFlags, HostAgreesWithThePortableVersionsOnEveryByte) {
  for (std::uint32_t r = 0; r < 256; ++r) {
    check_unary<8>(r);
    for (std::uint32_t m = 0; m < 256; ++m) check_binary<8>(r, m);
  }
}

TEST(AluFlags, HostAgreesWithThePortableVersionsOnWords) {
  const std::vector<std::uint32_t> values = operands16();
  for (std::uint32_t r : values) {
    check_unary<16>(r);
    for (std::uint32_t m : values) check_binary<16>(r, m);
  }
}

// Spot checks of the reference itself, by the CPU12's rules.
TEST(AluFlags, PortableVersionsFollowTheCpu12Rules) {
  EXPECT_EQ(portable::add<8>(0x08, 0x08, 0).flags, unsigned{CC_H});                  // carry out of bit 3
  EXPECT_EQ(portable::add<8>(0x7F, 0x01, 0).flags, unsigned{CC_N | CC_V | CC_H});
  EXPECT_EQ(portable::add<8>(0xFF, 0x00, 1).flags, unsigned{CC_Z | CC_C | CC_H});
  EXPECT_EQ(portable::sub<16>(0x0000, 0x0001, 0).flags, unsigned{CC_N | CC_C});      // borrow
  EXPECT_EQ(portable::sub<16>(0x8000, 0x0001, 0).flags, unsigned{CC_V});
  EXPECT_EQ(portable::sub<8>(0x05, 0x05, 1).flags, unsigned{CC_N | CC_C});
  EXPECT_EQ((portable::unary<Unary::Lsr, 8>(0x01).flags), unsigned{CC_Z | CC_V | CC_C});  // V = N ^ C
  EXPECT_EQ((portable::unary<Unary::Neg, 8>(0x80).flags), unsigned{CC_N | CC_V | CC_C});
  EXPECT_EQ((portable::unary<Unary::Dec, 16>(0x8000).value), 0x7FFFu);
}

}  // namespace
}  // namespace tav::alu
