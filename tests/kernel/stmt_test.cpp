// The statement layer observed through command output: which commands of a
// line ran, and the syntax errors it reported. Conditions use registers, so
// no program needs to be loaded.
#include "kernel/stmt.h"

#include "kernel_fixture.h"

namespace tav {
namespace {

class StmtTest : public KernelTest {
 protected:
  std::vector<std::string> errors() const {
    std::vector<std::string> e;
    for (const auto& b : host.boxes) e.push_back(b.second);
    return e;
  }
};

TEST_F(StmtTest, IfRunsExactlyOneBranch) {
  run("eval /q $d = 5");
  host.window.clear();
  run("if ($d > 3) eval 1; else eval 2");
  run("if ($d > 9) eval 3; else eval 4");
  run("if ($d) eval 5; eval 6");  // no else: the next command runs anyway
  run("if (0) eval 7; eval 8");
  EXPECT_EQ(host.window, "    1 = 1\n    4 = 4\n    5 = 5\n    6 = 6\n    8 = 8\n");
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(StmtTest, NestedIfSkipsTheInnerElseWithItsIf) {
  run("if (0) if (1) eval 1; else eval 2; else eval 3");
  run("if (1) if (0) eval 4; else eval 5; else eval 6");
  EXPECT_EQ(host.window, "    3 = 3\n    5 = 5\n");
}

TEST_F(StmtTest, WhileRunsItsGroupAndContinuesAfterIt) {
  run("eval /q $d = 0");
  host.window.clear();
  run("while ($d < 3) { eval /q $d = $d + 1; eval /d $d }; eval 9");
  EXPECT_EQ(host.window, "    $d = 1\n    $d = 2\n    $d = 3\n    9 = 9\n");
  host.window.clear();
  run("while (0) eval 1; eval 2");
  EXPECT_EQ(host.window, "    2 = 2\n");
}

TEST_F(StmtTest, NestedGroupsAndLoops) {
  run("eval /q $x = 0; eval /q $y = 0");
  run("while ($x < 3) { eval /q $x = $x + 1; if ($x != 2) { eval /q $y = $y + 10 } }");
  host.window.clear();
  run("eval /d $x, $y");
  EXPECT_EQ(host.window, "    $x = 3\n    $y = 20\n");
}

TEST_F(StmtTest, DoRunsTheBodyAtLeastOnce) {
  run("eval /q $x = 0");
  run("do eval /q $x = $x + 1 while ($x < 5);");
  run("eval /q $y = 0");
  run("do { eval /q $y = $y + 7 } while (0); eval /q $y = $y + 1");
  host.window.clear();
  run("eval /d $x, $y");
  EXPECT_EQ(host.window, "    $x = 5\n    $y = 8\n");
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(StmtTest, AFailingCommandDoesNotStopTheLoop) {
  run("eval /q $d = 0");
  // An unknown command ends the rest of its group, so it stands last.
  run("while ($d < 2) { eval /q $d = $d + 1; bogus }");
  EXPECT_EQ(errors(), (std::vector<std::string>{"unknown command: bogus \n", "unknown command: bogus \n"}));
}

TEST_F(StmtTest, ReturnEndsTheLine) {
  run("eval 1; return; eval 2");
  run("if (1) { eval 3; return; eval 4 }; eval 5");
  EXPECT_EQ(host.window, "    1 = 1\n    3 = 3\n");
}

TEST_F(StmtTest, EverySyntaxErrorText) {
  struct Case {
    const char* line;
    const char* error;
  } cases[] = {
      {"if x", "if: syntax error\n"},
      {"if (1 +) eval 1", "if: syntax error\n"},
      {"if (1) { eval 1", "{}: syntax error\n"},
      {"if (1) eval 1; else", "else: syntax error\n"},
      {"while 1", "while: syntax error\n"},
      {"while (nosuchname) eval 1", "while: syntax error\n"},
      {"do", "do: syntax error\n"},
      {"do eval 1; (1);", "do: syntax error\n"},
      {"do eval 1; while 1;", "do while: syntax error\n"},
      {"do eval 1; while (0) eval 2", "do while: syntax error\n"},
      {"eval 1 eval 2", "missing ';': eval 2\n"},
  };
  for (const Case& c : cases) {
    host.boxes.clear();
    run(c.line);
    ASSERT_FALSE(host.boxes.empty()) << c.line;
    EXPECT_EQ(host.boxes.front().second, c.error) << c.line;
  }
}

TEST_F(StmtTest, KeywordsAreCaseSensitivePrefixes) {
  run("IF (1) eval 1");  // not a keyword: an unknown command
  EXPECT_EQ(box_text(), "unknown command: IF (1) eval 1\n");
  run("{ eval 1 }");  // a group is no statement of its own at command level
  EXPECT_EQ(box_text(), "unknown command: { eval 1 }\n");
}

TEST_F(StmtTest, SkipstmtStepsOverOneStatement) {
  const char* text = "{ a; { b } c } d";
  EXPECT_STREQ(skipstmt(d, text), " d");
  EXPECT_STREQ(skipstmt(d, "mess \"a;b\"; c"), " c");
  EXPECT_STREQ(skipstmt(d, "if (x) a; else b; c"), " c");
  EXPECT_STREQ(skipstmt(d, "do a; while (x); c"), " c");
  EXPECT_STREQ(skipstmt(d, "plain"), "");
  EXPECT_STREQ(skipstmt(d, "{ open"), "");
  EXPECT_EQ(box_text(), "if: syntax error\n");
  EXPECT_EQ(host.window, "");  // nothing ran
}

TEST_F(StmtTest, AStopRequestEndsAnEndlessLoop) {
  run("internals; while (1) stop");
  EXPECT_TRUE(host.boxes.empty());
  run("internals off");
}

TEST_F(StmtTest, DeepNestingIsRefusedNotCrashed) {
  std::string line;
  for (int i = 0; i < 2000; ++i) line += "if (1) ";
  line += "eval 1";
  run(line);
  EXPECT_EQ(box_text(), "{}: syntax error\n");
}

}  // namespace
}  // namespace tav
