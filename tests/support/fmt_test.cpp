// The directive language as callers use it: fills, justification, widths and
// precisions from arguments, modifiers, and the 32-bit slot accounting.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/fmt.h"

namespace tav {
namespace {

TEST(Fmt, IntegerDirectivesWithFillAndJustification) {
  EXPECT_EQ(fmtstr("%+08hl", 0x1234), "00001234");
  EXPECT_EQ(fmtstr("%- 6p|", "ab"), "ab    |");
  EXPECT_EQ(fmtstr("%-05i|", 42), "42000|");
  EXPECT_EQ(fmtstr("%+*6i", 42), "****42");
  EXPECT_EQ(fmtstr("%6i", -42), "   -42");
  EXPECT_EQ(fmtstr("%+06i", -42), "000-42");       // fill goes before the whole field
  EXPECT_EQ(fmtstr("%+55i", 42), "55542");         // the fill character may be a digit
  EXPECT_EQ(fmtstr("%2i", 12345), "12345");        // never cut by the width
  EXPECT_EQ(fmtstr("0b%+016z", 5), "0b0000000000000101");
}

TEST(Fmt, ConversionSizesAndModifiers) {
  EXPECT_EQ(fmtstr("%c", 0xff80), "-128");
  EXPECT_EQ(fmtstr("%hc", 0xff80), "80");
  EXPECT_EQ(fmtstr("%uc", 0xff80), "128");
  EXPECT_EQ(fmtstr("%zc", 0x105), "101");
  EXPECT_EQ(fmtstr("%c", 0x0080), "128");  // signed 16-bit, not 8-bit
  EXPECT_EQ(fmtstr("%s %us %hs", 0xff80, 0xff80, 0xabcd1234u), "-128 65408 1234");
  EXPECT_EQ(fmtstr("%s", 0x12345), "9029");  // low 16 bits only
  EXPECT_EQ(fmtstr("%l %ul %i", -1, -1, -7), "-1 4294967295 -7");
  EXPECT_EQ(fmtstr("%hi %ol %zl", 0xdeadbeefu, 8, 5), "deadbeef 10 101");
}

TEST(Fmt, RawBytes) {
  EXPECT_EQ(fmtstr("%as", 0x4142), "AB");
  EXPECT_EQ(fmtstr("%ac", 0x1241), "A");
  EXPECT_EQ(fmtstr("%al%ai", 0x41424344, 0x31323334), "ABCD1234");
  EXPECT_EQ(fmtstr("(%ac)", 0), std::string("(\0)", 3));
  EXPECT_EQ(fmtstr("%+.3ac", 'w'), "..w");
}

TEST(Fmt, ModifierEndsDirective) {
  EXPECT_EQ(fmtstr("0x%+02h", 0xabcdef), "0xabcdef");
  EXPECT_EQ(fmtstr("0x%+08hL", 0x1234), "0x00001234L");  // the L stays text
  EXPECT_EQ(fmtstr("%oq%i", 8, 3), "10q3");
}

TEST(Fmt, NonDirectivesAndEmptyFields) {
  EXPECT_EQ(fmtstr("100%%"), "100%");
  EXPECT_EQ(fmtstr("%q%i", 5), "q5");  // consumes nothing
  EXPECT_EQ(fmtstr("%3x%i", 7), "   7");
  EXPECT_EQ(fmtstr("[%-*3x]"), "[***]");
  EXPECT_EQ(fmtstr("ab%"), "ab");
  EXPECT_EQ(fmtstr("ab%-"), "ab");
}

TEST(Fmt, WidthAndPrecisionFromArguments) {
  EXPECT_EQ(fmtstr("%ni|", 4, 7), "   7|");
  EXPECT_EQ(fmtstr("%- Np|", 6, "ab"), "ab    |");
  EXPECT_EQ(fmtstr("%n.np|", 5, 2, "abcdef"), "   ab|");
  EXPECT_EQ(fmtstr("0x%+0nhl", 6, 0x1234), "0x001234");
  EXPECT_EQ(fmtstr("%ni", 0x10003, 7), "  7");  // low 16 bits of the slot
}

TEST(Fmt, TextAndByteRuns) {
  EXPECT_EQ(fmtstr("%.3p|%.10p", "abcdef", "ab"), "abc|ab");
  const char raw[] = {'x', '\0', 'y'};
  EXPECT_EQ(fmtstr("%b", Bytes{raw, 3}), std::string(raw, 3));
  EXPECT_EQ(fmtstr("%.2b|%+-5b", Bytes{raw, 3}, Bytes{"hi", 2}), std::string("x\0|---hi", 8));
  std::string owned = "str";
  EXPECT_EQ(fmtstr("<%p>", owned), "<str>");
}

TEST(Fmt, Doubles) {
  EXPECT_EQ(fmtstr("%1.5f", 2.5), "2.50000");
  EXPECT_EQ(fmtstr("%1.5f", 0.25), "0.25000");
  EXPECT_EQ(fmtstr("%1.5f", 32767 / 32768.0), "0.99996");  // cut, not rounded
  EXPECT_EQ(fmtstr("%1.2f %f %.2f", 0.29, 123456.0, -2.5), "0.29 123456 -2.50");
  EXPECT_EQ(fmtstr("%+08.2f", 3.25), "00003.25");
  EXPECT_EQ(fmtstr("%.10d", 0.0), "0.0000000000e+00");
  EXPECT_EQ(fmtstr("%.3d %d", 150.0, 2.5), "1.500e+02 2e+00");
  EXPECT_EQ(fmtstr("%.1d %.1d %.1d", 1e100, 1e-100, 1.5e-5), "1.0e+100 1.0e-100 1.5e-05");
  EXPECT_EQ(fmtstr("%.2d", -2.0), "-2.00e+00");
  EXPECT_EQ(fmtstr("%.3d %.1d", 1.5e-300, 1e-320), "1.500e-300 1.0e-320");
  EXPECT_EQ(fmtstr("%.60d", 1.0), "1." + std::string(57, '0') + "e+00");
  EXPECT_EQ(fmtstr("%.3f", 1e20), "100000000000000000000.000");
  EXPECT_EQ(fmtstr("%.2f", 1e300), std::string(60, '0') + ".00");  // leading digits dropped
  EXPECT_EQ(fmtstr("%f %d", std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()), "inf nan");
}

TEST(Fmt, SlotAccounting) {
  // A double takes two slots, low word first; a byte run a pointer and a length.
  EXPECT_EQ(fmtstr("%f %i", 1.5, 7), "1 7");
  EXPECT_EQ(fmtstr("%hl %hl", 1.0), "0 3ff00000");
  EXPECT_EQ(fmtstr("%i %i", Bytes{"abcde", 5}), "0 5");
  EXPECT_EQ(fmtstr("%f", 0u, 0x40040000u), "2");  // two integer slots read as a double
  // Missing or mismatched arguments give zeros and empty texts, never a fault.
  EXPECT_EQ(fmtstr("[%i|%p|%f|%b|%s]"), "[0||0||0]");
  EXPECT_EQ(fmtstr("[%l|%p|%b]", "text", 5, 6, 7), "[0||]");
  EXPECT_EQ(fmtstr("[%x%b]", "abc", 100), "[abc]");  // length kept within the text
  EXPECT_EQ(fmtstr("[%b]", Bytes{"abc", 2}), "[ab]");
}

TEST(Fmt, LongArgumentListsAndSinks) {
  std::vector<FmtArg> args;
  std::string format, expected;
  for (int i = 0; i < 40; ++i) {
    args.emplace_back(i);
    args.emplace_back(0.5 * i);
    format += "%i:%.1f,";
    expected += std::to_string(i) + ":" + std::to_string(i / 2) + (i % 2 ? ".5," : ".0,");
  }
  EXPECT_EQ(fmtstr_list(format, args.data(), args.size()), expected);

  // One call per literal run, per field and per fill character.
  std::vector<std::string> pieces;
  auto collect = [](void* ctx, const char* b, std::size_t n) {
    static_cast<std::vector<std::string>*>(ctx)->emplace_back(b, n);
  };
  fmtout(collect, &pieces, "ab%+*3icd", 5);
  EXPECT_EQ(pieces, (std::vector<std::string>{"ab", "*", "*", "5", "cd"}));
}

TEST(Fmt, BoundedBuffer) {
  char buf[32];
  std::memset(buf, '#', sizeof buf);
  const std::size_t n = fmtbuf(buf, 20, "%p%+-20x", "0123456789");
  EXPECT_EQ(n, 20u);
  EXPECT_EQ(std::string(buf, 20), "0123456789----------");
  EXPECT_EQ(buf[20], '#');  // nothing beyond the capacity, no terminator
  EXPECT_EQ(fmtbuf(buf, 0, "abc"), 0u);
  EXPECT_EQ(fmtbuf(buf, sizeof buf, "0x%+04hi", 0x3f), 6u);
  EXPECT_EQ(std::string(buf, 6), "0x003f");
}

TEST(Fmt, ArbitraryFormatsStayWithinTheirArguments) {
  // Any directive soup over any argument mix reads only what the arguments own.
  const char alphabet[] = "%%%%-+0 9n.Nhouzacsilfdpbxq";
  const char run[] = {'r', 'u', 'n'};
  const FmtArg args[] = {FmtArg(Bytes{run, 3}), FmtArg("text"), FmtArg(2.5), FmtArg(0x12345678), FmtArg(Bytes{nullptr, 9})};
  std::mt19937 rng(4242);
  char buf[64];
  for (int i = 0; i < 20000; ++i) {
    std::string format;
    for (int k = rng() % 12; k > 0; --k) format += alphabet[rng() % (sizeof alphabet - 1)];
    const std::size_t first = rng() % 2;
    const std::size_t count = rng() % (std::size(args) - first + 1);
    ASSERT_LE(fmtbuf_list(buf, sizeof buf, format, args + first, count), sizeof buf);
  }
}

}  // namespace
}  // namespace tav
