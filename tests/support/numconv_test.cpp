// Number conversions, checked against hand-computed values and against the C
// library as an independent oracle for the double digits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/numconv.h"

namespace tav {
namespace {

std::string text32(std::uint32_t v, int base) {
  char buf[kNumTextMax];
  return std::string(buf, numtext32(buf, v, base));
}
std::string text16(std::uint16_t v, int base) {
  char buf[kNumTextMax];
  return std::string(buf, numtext16(buf, v, base));
}

TEST(NumText, BasesAndSigns) {
  EXPECT_EQ(text32(0, 16), "0");
  EXPECT_EQ(text32(255, 16), "ff");
  EXPECT_EQ(text32(1234, 0), "1234");
  EXPECT_EQ(text32(0xffffffff, -10), "-1");
  EXPECT_EQ(text32(0xffffffff, 10), "4294967295");
  EXPECT_EQ(text32(0x80000000, -10), "-2147483648");
  EXPECT_EQ(text32(0xffffffff, 2), std::string(32, '1'));
  EXPECT_EQ(text32(35, 36), "z");
  EXPECT_EQ(text16(0x8000, -10), "-32768");
  EXPECT_EQ(text16(0xfff0, -16), "-10");
  EXPECT_EQ(text16(0xfff0, 16), "fff0");
  EXPECT_EQ(text32(12, 1), "12");  // a base without digits falls back to decimal
}

struct Scan {
  const char* text;
  int base;
  std::uint32_t value;
  int used;
};

TEST(NumScan, PrefixesBasesAndSuffix) {
  const Scan cases[] = {
      {"0x1F", 1, 31, 4},          {"0X1f", 1, 31, 4},         {"0b101", 1, 5, 5},
      {"0B11", 1, 3, 4},           {"017", 1, 15, 3},          {"17L", 1, 17, 3},
      {"0", 1, 0, 1},              {"08", 1, 0, 1},            {"  -0x10", 1, 0xfffffff0, 7},
      {"\t\x7f+12,", 1, 12, 5},    {"12abc", 10, 12, 2},       {"0xff", 16, 255, 4},
      {"Ffl", 16, 255, 3},         {"0b1", 2, 0, 1},           {"19", 8, 1, 1},
      {"4294967297", 10, 1, 10},   {"zz", 36, 1295, 2},        {"  xyz", 10, 0, 0},
      {"-", 1, 0, 0},              {"", 1, 0, 0},
  };
  for (const Scan& c : cases) {
    std::uint32_t v = 99;
    EXPECT_EQ(numscan32(c.text, static_cast<int>(std::strlen(c.text)), &v, c.base), c.used) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
  }
  std::uint16_t s = 0;
  EXPECT_EQ(numscan16("65537", 5, &s, 10), 5);
  EXPECT_EQ(s, 1);
  std::uint32_t v = 0;
  EXPECT_EQ(numscan32("1234", 2, &v, 10), 2);  // the length bounds the text
  EXPECT_EQ(v, 12u);
  EXPECT_EQ(numscan32("0x2a;", -1, &v, 1), 4);  // negative length: up to the NUL
  EXPECT_EQ(v, 42u);
}

TEST(DblScan, FormsAndLimits) {
  struct {
    const char* text;
    double value;
    int used;
  } cases[] = {
      {"1.5e2", 150.0, 5}, {"  -0.25", -0.25, 7}, {".5", 0.5, 2},   {"3.", 3.0, 2},
      {"1e-3", 0.001, 4},  {"2E+2", 200.0, 4},    {"1e", 1.0, 1},   {"12.5xyz", 12.5, 4},
      {"abc", 0.0, 0},     {"-", 0.0, 0},         {"1e400", HUGE_VAL, 5}, {"1e-400", 0.0, 6},
  };
  for (const auto& c : cases) {
    double d = -1;
    EXPECT_EQ(dblscan(c.text, static_cast<int>(std::strlen(c.text)), &d), c.used) << c.text;
    EXPECT_DOUBLE_EQ(d, c.value) << c.text;
  }
  for (const char* text : {"0.1", "3.14159265358979", "6.02214076e23", "1.602e-19", "123456789.125"}) {
    double d = 0;
    dblscan(text, -1, &d);
    EXPECT_DOUBLE_EQ(d, std::strtod(text, nullptr)) << text;
  }
}

// Decimal texts of up to 17 significant digits scan to exactly the double
// the C library picks: the nearest one.
TEST(DblScan, NearestDouble) {
  std::mt19937 random(1234);
  std::vector<std::string> texts = {"0.00012", "3.14159", "0.1", "2.5e-3", "1e23", "8.589973e9",
                                    "9007199254740993", "4.9e-324", "1.7976931348623157e308"};
  for (int i = 0; i < 400; ++i) {
    const int digits = 1 + static_cast<int>(random() % 17);
    std::string mantissa;
    for (int k = 0; k < digits; ++k) mantissa += static_cast<char>('0' + random() % 10);
    const int point = static_cast<int>(random() % (digits + 1));
    mantissa.insert(static_cast<std::size_t>(point), ".");
    const int exponent = static_cast<int>(random() % 80) - 40;
    texts.push_back(random() % 2 ? mantissa : mantissa + "e" + std::to_string(exponent));
  }
  for (const std::string& text : texts) {
    double d = 0;
    ASSERT_EQ(dblscan(text.c_str(), -1, &d), static_cast<int>(text.size())) << text;
    EXPECT_EQ(d, std::strtod(text.c_str(), nullptr)) << text;
  }
}

// The exact decimal digits of v from the C library, cut to `decimals` after
// the first digit; positions past the 17th significant digit become '0'.
std::string oracle_exp(double v, int decimals) {
  char full[128];
  std::snprintf(full, sizeof full, "%.60e", v);
  std::string digits;
  const char* p = full;
  for (; *p != 'e'; ++p)
    if (*p != '.') digits += *p;
  const int exponent = std::atoi(p + 1);
  for (std::size_t i = 17; i < digits.size(); ++i) digits[i] = '0';
  std::string out = digits.substr(0, 1);
  if (decimals > 0) out += "." + digits.substr(1, decimals);
  char tail[16];
  std::snprintf(tail, sizeof tail, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return out + tail;
}

TEST(DblText, ExactValuesAgreeWithLibraryDigits) {
  // Values whose exact decimal expansion has at most 17 digits: integers below
  // 2^53 and short binary fractions.
  std::mt19937_64 rng(12345);
  for (int i = 0; i < 3000; ++i) {
    const double v = (i % 2) ? static_cast<double>(rng() >> (11 + rng() % 40))
                             : static_cast<double>(rng() % 1000000) / static_cast<double>(1u << (rng() % 16));
    char buf[kDblTextMax];
    const int decimals = static_cast<int>(rng() % 20);
    ASSERT_EQ(std::string(buf, dblexp(buf, v, 1, decimals)), oracle_exp(v, decimals)) << v;
  }
  char buf[kDblTextMax];
  EXPECT_EQ(std::string(buf, dblfixed(buf, 72057594037927936.0, 62, 0)), "72057594037927936");  // 2^56
}

TEST(DblText, SeventeenDigitsReadBack) {
  std::mt19937_64 rng(777);
  for (int i = 0; i < 3000; ++i) {
    std::uint64_t bits = rng();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v)) continue;
    char buf[kDblTextMax];
    const int n = dblexp(buf, v, 1, 16);
    buf[n] = '\0';
    ASSERT_EQ(std::strtod(buf, nullptr), v) << buf;
  }
}

TEST(DblText, FixedAndExponentForms) {
  char buf[kDblTextMax];
  auto fixed = [&](double v, int intdigits, int decimals) { return std::string(buf, dblfixed(buf, v, intdigits, decimals)); };
  auto exp = [&](double v, int before, int decimals) { return std::string(buf, dblexp(buf, v, before, decimals)); };
  EXPECT_EQ(fixed(0.0, 62, 3), "0.000");
  EXPECT_EQ(fixed(0.001953125, 62, 12), "0.001953125000");
  EXPECT_EQ(fixed(12345.5, 3, 1), "345.5");  // leading digits dropped
  EXPECT_EQ(fixed(-0.5, 62, 0), "-0");
  EXPECT_EQ(exp(1234.5, 2, 2), "12.34e+02");
  EXPECT_EQ(exp(0.0, 1, 2), "0.00e+00");
  EXPECT_EQ(exp(9.99e99, 1, 2), "9.99e+99");
  EXPECT_EQ(exp(1e-99, 1, 0), "1e-99");
}

TEST(EscDecode, OctalLettersSpecials) {
  struct {
    const char* text;
    const char* specials;
    int value;
    int advance;  // where the cursor is left
  } cases[] = {
      {"101x", nullptr, 65, 2}, {"0", nullptr, 0, 0},     {"08", nullptr, 0, 0},
      {"1234", nullptr, 83, 2}, {"n", nullptr, '\n', 0},  {"N", nullptr, '\n', 0},
      {"T", nullptr, '\t', 0},  {"v", nullptr, '\v', 0},  {"b", nullptr, '\b', 0},
      {"F", nullptr, '\f', 0},  {"r", nullptr, '\r', 0},  {"\"", "\"%", ~0, 0},
      {"%", "\"%", ~1, 0},      {"\"", nullptr, '"', 0},  {"n", "n", '\n', 0},
      {"q", "\"", 'q', 0},      {"\\", nullptr, '\\', 0}, {"\xe9", nullptr, 0xe9, 0},
  };
  for (const auto& c : cases) {
    const char* cursor = c.text;
    EXPECT_EQ(escdecode(&cursor, c.specials), c.value) << c.text;
    EXPECT_EQ(cursor - c.text, c.advance) << c.text;
  }
}

}  // namespace
}  // namespace tav
