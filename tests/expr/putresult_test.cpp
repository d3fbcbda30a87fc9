// Value formatting: every format letter on the base types, the default
// format switch, enums, characters, strings, pointers, fractions, the
// floating display, aggregates as text, display counts and the layouts.
#include "expr_fixture.h"

namespace tav::testing {
namespace {

using Format = ExprTest;

struct Case {
  const char* expr;
  char letter;
  const char* text;
};

TEST_F(Format, LettersOnEveryBaseType) {
  const Case cases[] = {
      // char 'A', unsigned char 0xFF, signed char -128
      {"gc", 0, "65"}, {"gc", 'x', "0x41"}, {"gc", 'h', "41"}, {"gc", 'd', "65"}, {"gc", 'u', "65"},
      {"gc", 'o', "0101"}, {"gc", 'b', "0b01000001"}, {"gc", 'c', "A"}, {"gc", 'C', "'A'"},
      {"guc", 0, "255"}, {"guc", 'x', "0xff"}, {"guc", 'b', "0b11111111"}, {"guc", 'o', "0377"},
      {"guc", 'C', "'\\377'"},
      {"gsc", 0, "-128"}, {"gsc", 'd', "-128"}, {"gsc", 'u', "128"}, {"gsc", 'x', "0x80"}, {"gsc", 'o', "0200"},
      // short -32768, unsigned short 32768
      {"gs", 0, "-32768"}, {"gs", 'x', "0x8000"}, {"gs", 'h', "ffff8000"} /* no prefix: not masked */, {"gs", 'u', "32768"},
      {"gs", 'b', "0b1000000000000000"}, {"gs", 'o', "0100000"},
      {"gus", 0, "32768"}, {"gus", 'd', "32768"}, {"gus", 'x', "0x8000"},
      // int -1 (not masked: int formats see 32 bits), unsigned int 65535
      {"gi", 0, "-1"}, {"gi", 'd', "-1"}, {"gi", 'u', "4294967295"}, {"gi", 'x', "0xffffffffL"},
      {"gi", 'h', "ffffffffL"}, {"gi", 'b', "0b11111111111111111111111111111111"},
      {"gu", 0, "65535"}, {"gu", 'x', "0x0000ffffL"},
      // long and unsigned long
      {"gl", 0, "305419896"}, {"gl", 'x', "0x12345678L"}, {"gl", 'o', "02215053170"},
      {"gl", 'b', "0b00010010001101000101011001111000"},
      {"gul", 0, "4294967295"}, {"gul", 'd', "-1"}, {"gul", 'u', "4294967295"},
      // _Bool, enum, bit-fields
      {"flag", 0, "1"}, {"flag", 'x', "0x1"}, {"flag", 'b', "0b1"},
      {"ec", 0, "GREEN"}, {"ec", 'd', "5"}, {"ec", 'x', "0x5"},
      {"bits.lo", 0, "5"}, {"bits.lo", 'b', "0b00000101"}, {"bits.lo", 'x', "0x05"},
      {"bits.mid", 0, "42"}, {"bits.mid", 'x', "0x0000002aL"},
      {"bits.sh", 0, "15"}, {"bits.sh", 'x', "0x000f"}, {"bits.sh", 'b', "0b0000000000001111"},
      {"bits.big", 0, "2748"}, {"bits.big", 'x', "0x00000abcL"},
      // _Fract, floating
      {"sfr", 0, "0.50000"}, {"lfr", 0, "0.500000000"},
      {"gf", 0, "1.5"}, {"gd", 0, "150.0"}, {"gld", 0, "-2.25"}, {"gd", 'd', "150"}, {"gd", 'x', "0x96"},
      // pointers, functions, registers, labels
      {"str", 0, "0x2170"}, {"np", 0, "NULL"}, {"lp", 'x', "0x2140"}, {"fp", 0, "(main)"}, {"main", 0, "(main)"},
      {"main():done", 0, "0x7fc030"}, {"$a", 0, "0x0"},
      // strings
      {"str", 's', "\"hi\\n\\1\""}, {"str", 'S', "\"hi\\n\\1\""}, {"np", 's', "NULL"}, {"name", 's', "\"abc\""},
      {"gi", 's', "-1"},
  };
  for (const Case& c : cases) EXPECT_EQ(shown(c.expr, c.letter), c.text) << c.expr << " /" << (c.letter ? c.letter : '-');
}

TEST_F(Format, EdgeValues) {
  memory.WriteWord(at::ec, 7);
  EXPECT_EQ(shown("ec"), "7 (unknown enum value)");
  memory.WriteWord(at::sfr, 0xC000);
  EXPECT_EQ(shown("sfr"), "-0.50000");
  memory.WriteWord(at::fp, 0x1234);
  EXPECT_EQ(shown("fp"), "0x1234");
  memory.WriteWord(at::fp, 0);
  EXPECT_EQ(shown("fp"), "NULL");
  memory.WriteByte(at::guc, 7);
  EXPECT_EQ(shown("guc", 'C'), "'\\a'");
  std::uint32_t cycles = 0xFFFFFFF0;
  program.symbols().bind_kernel_variable(".time", &cycles);
  EXPECT_EQ(shown("$time"), "4294967280");
  program.symbols().bind_kernel_variable(".time", nullptr);
  EXPECT_EQ(shown("'AB'", 'x'), "0x00004142L");
  EXPECT_EQ(shown("(unsigned char)0x1FF", 'u'), "255");
}

TEST_F(Format, DefaultIntegerFormatSwitch) {
  memory.WriteWord(at::gi, 10);
  memory.WriteLong(at::gl, 10);
  settings.default_int_format = 2;
  EXPECT_EQ(shown("gi"), "0xa");
  EXPECT_EQ(shown("gl"), "0xa");
  EXPECT_EQ(shown("guc"), "0xff");
  EXPECT_EQ(shown("gsc"), "0x80");  // masked to its width
  EXPECT_EQ(shown("gd"), "150.0");  // floating values keep their display
  EXPECT_EQ(shown("flag"), "1");    // only the nine integer types switch
  settings.default_int_format = 1;
  EXPECT_EQ(shown("gi"), "012");
  settings.default_int_format = 4;
  EXPECT_EQ(shown("gi"), "0b1010");
  settings.default_int_format = 3;  // anything else is decimal
  EXPECT_EQ(shown("gi"), "10");
}

TEST_F(Format, FloatingDisplay) {
  EXPECT_EQ(float_text(0.00012), "0.00012");
  EXPECT_EQ(float_text(1.0e-05), "1.0e-05");
  EXPECT_EQ(float_text(1234567.0), "1234567.0");
  EXPECT_EQ(float_text(12345678.0), "1.2345678e+07");
  EXPECT_EQ(float_text(0.0015), "0.0015");
  EXPECT_EQ(float_text(150.0), "150.0");
  EXPECT_EQ(float_text(1.5e7), "1.5e+07");
  EXPECT_EQ(float_text(0.0), "0.0");
  EXPECT_EQ(float_text(1.0), "1.0");
  EXPECT_EQ(float_text(0.001), "0.001");
  EXPECT_EQ(float_text(-0.5), "-0.5");
  EXPECT_EQ(float_text(3.25), "3.25");
  EXPECT_EQ(float_text(1e100), "1.0e+100");
  EXPECT_EQ(float_text(-2.5e-20), "-2.5e-20");
}

TEST_F(Format, CharacterEscapes) {
  EXPECT_EQ(escape_char('a'), "a");
  EXPECT_EQ(escape_char(' '), " ");
  EXPECT_EQ(escape_char('~'), "~");
  EXPECT_EQ(escape_char('\a'), "\\a");
  EXPECT_EQ(escape_char('\b'), "\\b");
  EXPECT_EQ(escape_char('\f'), "\\f");
  EXPECT_EQ(escape_char('\n'), "\\n");
  EXPECT_EQ(escape_char('\r'), "\\r");
  EXPECT_EQ(escape_char('\t'), "\\t");
  EXPECT_EQ(escape_char('\v'), "\\v");
  EXPECT_EQ(escape_char(0), "\\0");
  EXPECT_EQ(escape_char(27), "\\33");
  EXPECT_EQ(escape_char(127), "\\177");
}

TEST_F(Format, StringsStopAtTheLimit) {
  for (std::uint32_t i = 0; i < 2000; ++i) memory.WriteByte(at::text + i, 'a');
  const std::string s = shown("str", 's');
  EXPECT_EQ(s.size(), 1280u + 2);
  EXPECT_EQ(s.front(), '"');
  EXPECT_EQ(s.back(), '"');
  memory.WriteByte(at::text + 21, 0);  // a NUL in the second chunk
  EXPECT_EQ(shown("str", 's'), "\"" + std::string(21, 'a') + "\"");
}

TEST_F(Format, AggregatesAsTextAndDisplayCounts) {
  EXPECT_EQ(shown("arr"), "@0xfe130");
  EXPECT_EQ(shown("pt"), "{a=1, b=2}");
  EXPECT_EQ(shown("pt", 'x'), "{a=0x00000001L, b=0x00000002L}");
  EXPECT_EQ(shown("nest"), "{p={a=3, b=4}, arr=@0xfe18c}");
  EXPECT_EQ(shown("u"), "{l=1094861636, c=@0xfe180}");
  EXPECT_EQ(shown("*(Point *)&pt"), "{a=1, b=2}");
  EXPECT_EQ(shown("arr[0#3]"), "{1, 2, 3}");
  EXPECT_EQ(shown("arr[#]"), "{1, 2, 3}");
  EXPECT_EQ(shown("arr[1#2]", 'x'), "{0x00000002L, 0x00000003L}");
  EXPECT_EQ(shown("nest.arr[#]"), "{5, 6}");
  EXPECT_EQ(shown("lp[1#3]"), "{20, 30, 40}");
  EXPECT_EQ(shown("name[0#3]", 'c'), "{a, b, c}");
  EXPECT_EQ(error_of("pt[0#2]"), 55) << "a struct is not indexable";
}

TEST_F(Format, PrintLine) {
  StringSink out;
  formatter.print_line(eval("gi"), 0, out.sink());
  formatter.print_line(eval("gi + 1"), 'x', out.sink());
  formatter.print_line(eval("pt"), 0, out.sink());
  formatter.print_line(eval("arr[0#3]"), 0, out.sink());
  formatter.print_line(eval("arr"), 0, out.sink());
  EXPECT_EQ(out.text(),
            "    gi = -1\n"
            "    gi + 1 = 0x00000000L\n"
            "{a=1, b=2}\n"
            "    arr[0#3] = {1, 2, 3}\n"
            "@0xfe130\n");
}

TEST_F(Format, AggregateWindowWhenNotInTextMode) {
  settings.text_mode = false;
  int opened = 0;
  settings.open_aggregate = [&](const Value&) { return ++opened == 1; };
  EXPECT_EQ(shown("pt"), "");
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(shown("arr"), "Can't create window for Aggregate Evaluation");
  EXPECT_EQ(shown("gi"), "-1");
}

TEST_F(Format, ExpandedAndCompactLayouts) {
  StringSink out;
  formatter.put_expanded(eval("pt"), out.sink());
  EXPECT_EQ(out.take(),
            " {\n"
            "int a =         at 0xfe150 (offset 0) 1\n"
            "int b =         at 0xfe152 (offset 2) 2\n"
            "        }\n");
  formatter.put_expanded(eval("arr"), out.sink());
  EXPECT_EQ(out.take(), " 1 2 3\n");
  formatter.put_expanded(eval("nest"), out.sink());
  EXPECT_EQ(out.take(),
            " {\n"
            "struct pt p =         at 0xfe188 (offset 0)  {\n"
            "int a =         at 0xfe188 (offset 0) 3\n"
            "int b =         at 0xfe18a (offset 2) 4\n"
            "        }\n"
            "int arr[2] =         at 0xfe18c (offset 4)  5 6\n"
            "        }\n");
  formatter.put_expanded(eval("np"), out.sink());
  EXPECT_EQ(out.take(), " NULL");
  formatter.put_expanded(eval("lp"), out.sink());
  EXPECT_EQ(out.take(), "0x2140");
  formatter.put_expanded(eval("ec"), out.sink());
  EXPECT_EQ(out.take(), "GREEN");
  formatter.put_expanded(eval("main"), out.sink());
  EXPECT_EQ(out.take(), "0x7fc000");

  formatter.put_compact(eval("pt"), out.sink());
  EXPECT_EQ(out.take(), "pt= {a=1,b=2,}");
  formatter.put_compact(eval("arr"), out.sink());
  EXPECT_EQ(out.take(), "arr=1 2 3");
  formatter.put_compact(eval("gd"), out.sink());
  EXPECT_EQ(out.take(), "gd=150.0");
}

}  // namespace
}  // namespace tav::testing

namespace tav::testing {
namespace {

TEST_F(Format, HugeAggregatesStopAtABudget) {
  Value big;
  big.type = add_derivation(add_derivation(kChar, Derivation::Array), Derivation::Array);
  big.words = {100000, 100000};
  big.home = Home::Memory;
  big.address = 0x100000;
  big.name = "big";
  refresh_size(big);
  StringSink out;
  formatter.put_expanded(big, out.sink());
  EXPECT_LT(out.text().size(), 4u * kShownMax);
  out.clear();
  formatter.put_compact(big, out.sink());
  EXPECT_LT(out.text().size(), 4u * kShownMax);
}

}  // namespace
}  // namespace tav::testing
