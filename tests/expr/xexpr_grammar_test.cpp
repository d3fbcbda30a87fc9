// The C expression grammar: precedence, associativity, constants, the
// assignment switch, where the cursor stops, and the first error winning.
#include "expr_fixture.h"
#include "support/messages.h"

namespace tav::testing {
namespace {

using Grammar = ExprTest;

TEST_F(Grammar, PrecedenceAndLeftAssociativity) {
  EXPECT_EQ(ival("10 - 3 - 2"), 5);
  EXPECT_EQ(ival("1 + 2 * 3"), 7);
  EXPECT_EQ(ival("1 << 2 + 1"), 8);
  EXPECT_EQ(ival("100 / 10 / 5"), 2);
  EXPECT_EQ(ival("2 * 3 % 4"), 2);
  EXPECT_EQ(ival("1 | 2 ^ 3 & 6"), 1 | (2 ^ (3 & 6)));
  EXPECT_EQ(ival("1 < 2 == 1"), 1);
  EXPECT_EQ(ival("0 || 1 && 0"), 0);
  EXPECT_EQ(ival("(1 + 2) * 3"), 9);
  EXPECT_EQ(ival("-2 * -3"), 6);
  EXPECT_EQ(ival("!0 + ~0"), 0);
  EXPECT_EQ(ival("- - 4"), 4);
}

TEST_F(Grammar, Constants) {
  EXPECT_EQ(ival("010"), 8);
  EXPECT_EQ(ival("0b11"), 3);
  EXPECT_EQ(ival("0x1F"), 31);
  EXPECT_EQ(ival("17L"), 17);
  EXPECT_EQ(ival("'AB'"), 0x4142);
  EXPECT_EQ(ival("''"), 0);
  EXPECT_EQ(ival("'\\n'"), ('\\' << 8) | 'n');  // no escapes in character constants
  const Value f = eval("1.5e2");
  EXPECT_EQ(f.type, kDouble);
  EXPECT_DOUBLE_EQ(f.dval, 150.0);
  EXPECT_DOUBLE_EQ(dval("2."), 2.0);
  EXPECT_DOUBLE_EQ(dval("3e-1"), 0.3);
  EXPECT_EQ(eval("0x1E").type, kInt);  // 'E' is a hex digit here, not an exponent
  EXPECT_EQ(ival("0x1E"), 30);
  EXPECT_EQ(error_of("'ab"), msg::syntax_error);
}

TEST_F(Grammar, CursorStopsWhereTheExpressionCannotContinue) {
  memory.WriteWord(at::gi, 0);
  const std::string line = "gi = 3, gu = 4";
  const char* cursor = line.c_str();
  int status = -1;
  const Value v = evaluator.xexpr(cursor, status, 1);
  EXPECT_EQ(status, 0);
  EXPECT_STREQ(cursor, ", gu = 4");
  EXPECT_EQ(v.name, "gi = 3");
  EXPECT_EQ(memory.ReadWord(at::gi), 3);
  EXPECT_EQ(memory.ReadWord(at::gu), 0xFFFF);  // the rest is the caller's

  const std::string tail = "  1 + 2   ; next";
  cursor = tail.c_str();
  const Value t = evaluator.xexpr(cursor, status, 1);
  EXPECT_EQ(t.name, "1 + 2");  // trailing blanks are not part of the text
  EXPECT_STREQ(cursor, "   ; next");

  const std::string word = "gi foo";
  cursor = word.c_str();
  evaluator.xexpr(cursor, status, 1);
  EXPECT_STREQ(cursor, " foo");

  const std::string colon = ":gi";
  cursor = colon.c_str();
  EXPECT_EQ(evaluator.xexpr(cursor, status, 1).name, "gi");  // a leading ':' is dropped
}

TEST_F(Grammar, AssignmentSwitchAndAssociativity) {
  evaluator.set_assignments(false);
  const std::string line = "gi = 5";
  const char* cursor = line.c_str();
  int status = -1;
  const Value v = evaluator.xexpr(cursor, status, 1);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(v.ival, -1);
  EXPECT_STREQ(cursor, " = 5");
  EXPECT_EQ(memory.ReadWord(at::gi), 0xFFFF);
  EXPECT_EQ(ival("gi == -1"), 1);  // comparisons still work
  evaluator.set_assignments(true);

  EXPECT_EQ(ival("gi = 2 + 3"), 5);
  EXPECT_EQ(memory.ReadWord(at::gi), 5);
  // Assignment associates to the left: (gi = gu) = 1 assigns to a value.
  EXPECT_EQ(error_of("gi = gu = 1"), msg::not_updatable);
}

TEST_F(Grammar, FirstErrorWinsAndParsingGoesOn) {
  const std::string line = "nosuch + 7 / 0 ; rest";
  const char* cursor = line.c_str();
  int status = -1;
  const Value v = evaluator.xexpr(cursor, status, 1);
  EXPECT_EQ(status, msg::cannot_access_variable);
  EXPECT_FALSE(v.valid);
  EXPECT_STREQ(cursor, " ; rest");

  EXPECT_EQ(error_of("(1 + 2"), msg::syntax_error);
  EXPECT_EQ(error_of("1 +"), msg::syntax_error);
  EXPECT_EQ(error_of("arr[1"), msg::syntax_error);
  EXPECT_EQ(error_of(")"), msg::syntax_error);
  EXPECT_EQ(error_of(""), msg::syntax_error);
  EXPECT_EQ(error_of("int"), msg::syntax_error);
  EXPECT_EQ(error_of(". 5"), msg::incorrect_variable);
  // An error inside the expression leaves no side effect behind it.
  EXPECT_EQ(error_of("nosuch + (gi = 9)"), msg::cannot_access_variable);
  EXPECT_NE(memory.ReadWord(at::gi), 9);
}

TEST_F(Grammar, ExpressionReportsKindOfResultAndTrailingText) {
  int is_floating = -1;
  std::int32_t i = 0;
  double d = 0;
  std::string line = "gd / 2  ";
  const char* cursor = line.c_str();
  EXPECT_EQ(evaluator.Expression(1, cursor, is_floating, i, d), 0);
  EXPECT_EQ(is_floating, 1);
  EXPECT_DOUBLE_EQ(d, 75.0);
  line = "gl";
  cursor = line.c_str();
  EXPECT_EQ(evaluator.Expression(1, cursor, is_floating, i, d), 0);
  EXPECT_EQ(is_floating, 0);
  EXPECT_EQ(i, 0x12345678);
  line = "gi 3";
  cursor = line.c_str();
  EXPECT_EQ(evaluator.Expression(1, cursor, is_floating, i, d), msg::illegal_extension);
  line = "7 / 0";
  cursor = line.c_str();
  EXPECT_EQ(evaluator.Expression(1, cursor, is_floating, i, d), msg::zero_divide);
}

TEST_F(Grammar, DeepNestingIsRefusedNotCrashing) {
  EXPECT_EQ(error_of(std::string(5000, '(') + "1" + std::string(5000, ')')), msg::syntax_error);
  EXPECT_EQ(error_of(std::string(5000, '-') + "1"), msg::syntax_error);
  EXPECT_EQ(ival(std::string(50, '(') + "1" + std::string(50, ')')), 1);
}

}  // namespace
}  // namespace tav::testing
