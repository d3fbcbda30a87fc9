// Command operand expressions: levels, primaries, names, source lines,
// input and macro arguments, execute and scan modes.
#include <deque>

#include "expr/cmd_expr.h"
#include "expr_fixture.h"
#include "support/messages.h"

namespace tav::testing {
namespace {

class Lines : public OperandInput {
 public:
  bool read_line(std::string& line) override {
    ++reads;
    if (lines.empty()) return false;
    line = lines.front();
    lines.pop_front();
    return true;
  }
  std::deque<std::string> lines;
  int reads = 0;
};

class Macro : public MacroArguments {
 public:
  bool argument(int number, std::uint32_t& value) override {
    if (number == 0) {
      value = static_cast<std::uint32_t>(args.size());
      return true;
    }
    if (number > static_cast<int>(args.size())) return false;
    value = args[static_cast<std::size_t>(number - 1)];
    return true;
  }
  std::vector<std::uint32_t> args;
};

class CmdExpr : public ExprTest {
 protected:
  // Value of a whole operand; expects no error.
  std::uint32_t value(const std::string& text, bool execute = true) {
    const char* cursor = text.c_str();
    int error = -1;
    const std::uint32_t v = cmd_expr(cenv, cursor, error, execute);
    EXPECT_EQ(error, 0) << text << ": " << msgtext(error);
    EXPECT_EQ(*cursor, '\0') << text << " stopped at: " << cursor;
    return v;
  }
  int error_of(const std::string& text, bool execute = true) {
    const char* cursor = text.c_str();
    int error = -1;
    cmd_expr(cenv, cursor, error, execute);
    return error;
  }
  // Where the operand ends.
  std::string rest(const std::string& text) {
    const char* cursor = text.c_str();
    int error = -1;
    cmd_expr(cenv, cursor, error, true);
    return cursor;
  }

  CmdExprEnv cenv{memory, registers, program.symbols(), &program.tables(), nullptr, nullptr, {}, false};
};

TEST_F(CmdExpr, LevelsAndOperators) {
  EXPECT_EQ(value("1+2*3"), 7u);
  EXPECT_EQ(value("(1+2)*3"), 9u);
  EXPECT_EQ(value("2:3"), 7u);  // twice a plus b
  EXPECT_EQ(value("1:0:1"), 5u);
  EXPECT_EQ(value("-7/2"), static_cast<std::uint32_t>(-3));
  EXPECT_EQ(value("-7%2"), static_cast<std::uint32_t>(-1));
  EXPECT_EQ(value("1<<33"), 2u);  // low 5 bits of the count
  EXPECT_EQ(value("0x80>>4"), 8u);
  EXPECT_EQ(value("6&3|8^1"), ((6u & 3u) | 8u) ^ 1u);
  EXPECT_EQ(value("3 < 4"), 1u);
  EXPECT_EQ(value("3 >= 4"), 0u);
  EXPECT_EQ(value("-1 < 0"), 1u);  // signed
  EXPECT_EQ(value("2 == 2 && 3 != 3"), 0u);
  EXPECT_EQ(value("0 || 5"), 1u);
  EXPECT_EQ(value("!0"), 1u);
  EXPECT_EQ(value("~0"), 0xFFFFFFFFu);
  EXPECT_EQ(value("'AB'"), 0x4142u);
  EXPECT_EQ(value("0b101 + 017 + 10L"), 5u + 15u + 10u);
  EXPECT_EQ(value("+5"), 5u);
}

TEST_F(CmdExpr, ZeroDivideLeavesTheLeftValue) {
  const std::string text = "7/0";
  const char* cursor = text.c_str();
  int error = 0;
  EXPECT_EQ(cmd_expr(cenv, cursor, error), 7u);
  EXPECT_EQ(error, msg::zero_divide);
  EXPECT_EQ(error_of("7%0"), msg::zero_divide);
  EXPECT_EQ(error_of("7/0", false), 0);
}

TEST_F(CmdExpr, MemoryReads) {
  memory.WriteLong(0x1000, 0x11223344);
  EXPECT_EQ(value("[0x1000]"), 0x11u);
  EXPECT_EQ(value("[0x1000].b"), 0x11u);
  EXPECT_EQ(value("[0x1000].w"), 0x1122u);
  EXPECT_EQ(value("[0x1000].l"), 0x11223344u);
  EXPECT_EQ(value("[0x1000 + 2].w"), 0x3344u);
  EXPECT_EQ(value("[[0x1000].b + 0x0FEF]"), 0x11u);
  EXPECT_EQ(value("[0x1000].w", false), 0u);
  EXPECT_EQ(error_of("[0x1000].q"), msg::incorrect_size_modifier);
  EXPECT_EQ(error_of("[0x1000"), msg::syntax_error);
}

TEST_F(CmdExpr, NamesRegistersAndSymbols) {
  EXPECT_EQ(value("TOP"), 0x1234u);
  EXPECT_EQ(value("_gi"), at::gi);
  EXPECT_EQ(value("TOP+1"), 0x1235u);
  regs.x = 0x4321;
  EXPECT_EQ(value("$x"), 0x4321u);
  EXPECT_EQ(value("$x", false), 0u);
  program.symbols().define_symbol(".lbrk", 3);
  EXPECT_EQ(value(".lbrk * 2"), 6u);
  program.symbols().define_symbol("a~b", 9);
  EXPECT_EQ(value("a~b"), 9u);
  EXPECT_EQ(error_of("nosuch"), msg::symbol_not_found);
  EXPECT_EQ(error_of("nosuch", false), 0);
  EXPECT_EQ(error_of("$nosuch"), msg::unknown_register);
  EXPECT_EQ(error_of(std::string(64, 'n')), msg::name_too_long);
  EXPECT_EQ(error_of(std::string(63, 'n')), msg::symbol_not_found);
  cenv.unknown_is_minus_one = true;
  EXPECT_EQ(value("nosuch"), 0xFFFFFFFFu);
}

TEST_F(CmdExpr, SourceLines) {
  EXPECT_EQ(value("@main.c:11"), at::main_start + 4);
  EXPECT_EQ(value("@main.c:12.0"), at::main_start + 0x10);
  EXPECT_EQ(error_of("@main.c:99"), msg::no_code_at_location);
  EXPECT_EQ(error_of("@nofile.c:1"), msg::file_not_found);
  EXPECT_EQ(error_of("@11"), msg::no_code_at_location);  // no current file
  const FileEntry* main_c = program.tables().find_file("main.c");
  cenv.current_file = [main_c] { return main_c; };
  EXPECT_EQ(value("@11"), at::main_start + 4);
  EXPECT_EQ(value("@11", false), 0u);
}

TEST_F(CmdExpr, InputLines) {
  Lines input;
  input.lines = {"1+2", "TOP"};
  cenv.input = &input;
  EXPECT_EQ(value("?*2"), 6u);
  EXPECT_EQ(value("?"), 0x1234u);
  EXPECT_EQ(value("?", false), 0u);
  EXPECT_EQ(input.reads, 2) << "nothing is read while scanning";
  input.lines = {"nosuch"};
  EXPECT_EQ(error_of("?"), msg::symbol_not_found);
}

TEST_F(CmdExpr, MacroArguments) {
  EXPECT_EQ(error_of("\\1"), msg::incorrect_argument);  // outside a macro
  EXPECT_EQ(error_of("\\1", false), 0);
  Macro macro;
  macro.args = {10, 20};
  cenv.macro = &macro;
  EXPECT_EQ(value("\\0"), 2u);
  EXPECT_EQ(value("\\1 + \\2"), 30u);
  EXPECT_EQ(value("\\(1+1)"), 20u);
  EXPECT_EQ(error_of("\\3"), msg::incorrect_argument);
}

TEST_F(CmdExpr, WhereTheOperandEnds) {
  EXPECT_EQ(rest("0x1000,#32"), ",#32");
  EXPECT_EQ(rest("1 2"), " 2");
  EXPECT_EQ(rest("5 == 5 {x 1}"), " {x 1}");
  EXPECT_EQ(rest("3 = 4"), " = 4");  // a lone '=' ends the level
  EXPECT_EQ(rest("3 ! 4"), " ! 4");
  EXPECT_EQ(rest("1 ; x"), " ; x");
  EXPECT_EQ(error_of(""), msg::syntax_error);
  EXPECT_EQ(error_of(")"), msg::syntax_error);
  EXPECT_EQ(error_of(std::string(3000, '(') + "1"), msg::syntax_error);
}

}  // namespace
}  // namespace tav::testing
