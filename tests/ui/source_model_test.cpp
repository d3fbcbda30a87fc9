// The source view model: finding files, the missing-file question, search,
// margins of a program that ran, and the token classes the view colours by.
#include "ui/model/source_model.h"

#include <filesystem>
#include <fstream>

#include "debug_session.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

std::string classes(std::string_view line, const std::vector<Token>& tokens) {
  std::string out;
  for (const Token& t : tokens) out += std::string(line.substr(t.start, t.length)) + "=" + std::to_string(int(t.cls)) + " ";
  return out;
}

TEST(SourceTokens, TrickyCLines) {
  using enum TokenClass;
  const std::set<std::string, std::less<>> defines{"FIB_COUNT"}, typedefs{"u8"};
  struct Case {
    const char* line;
    bool comment_before, comment_after;
    std::string expect;
  } cases[] = {
      {"int integer = sizeof(u8); /* if while */ char *s = \"for\"; // return", false, false,
       "int=1 sizeof=1 u8=6 /* if while */=3 char=1 // return=3 "},
      {"   #  include <stdio.h>", false, false, "#  include=4 "},
      {"x = a#if b;", false, false, "if=1 "},
      {"if_x = printf(\"%d\\\"while\", FIB_COUNT); /* open", false, true, "printf=2 FIB_COUNT=5 /* open=3 "},
      {"still */ return 'x'; unsigned", true, false, "still */=3 return=1 unsigned=1 "},
      {"in the comment", true, true, "in the comment=3 "},
      {"static volatile int0 = 0x1f;", false, false, "static=1 volatile=1 "},
  };
  (void)Keyword;
  for (const Case& c : cases) {
    bool in_comment = c.comment_before;
    EXPECT_EQ(classes(c.line, c_tokens(c.line, in_comment, &defines, &typedefs)), c.expect) << c.line;
    EXPECT_EQ(in_comment, c.comment_after) << c.line;
  }
}

TEST(SourceTokens, TrickyAssemblerLines) {
  struct Case {
    const char* line;
    std::string expect;
  } cases[] = {
      {"loop:   LDAA  #$10   ; ldab in a comment", "LDAA=7 ; ldab in a comment=3 "},
      {"* a whole-line comment with bra", "* a whole-line comment with bra=3 "},
      {"        dc.b  'a;b',2", "dc.b=8 "},
      {"size    equ   5", "equ=8 "},
      {"        bra   loop", "bra=7 "},
      {"bra     foo", ""},  // a label named like a mnemonic, then an unknown operation
      {"        .section .text", ".section=8 "},
      {"        movw  #1,ldaa", "movw=7 "},
  };
  for (const Case& c : cases) EXPECT_EQ(classes(c.line, assembler_tokens(c.line)), c.expect) << c.line;
}

TEST(SourceSearch, FindsForwardBackwardAndWraps) {
  SourceModel m;
  m.set_text("t.c", "alpha beta\n\tgamma Beta\nbeta\n", SourceKind::C);
  ASSERT_EQ(m.line_count(), 3u);
  EXPECT_EQ(m.line(2), "        gamma Beta");  // tabs expanded
  using M = SourceMatch;
  EXPECT_EQ(m.find("beta", 1, 0), (M{1, 6, 4}));
  EXPECT_EQ(m.find("beta", 1, 7), (M{3, 0, 4}));           // the match case skips "Beta"
  EXPECT_EQ(m.find("beta", 1, 7, false, false), (M{2, 14, 4}));
  EXPECT_EQ(m.find("beta", 3, 1), (M{1, 6, 4}));           // wraps to the top
  EXPECT_EQ(m.find("beta", 1, 6, true), (M{3, 0, 4}));     // backward wraps to the bottom
  EXPECT_EQ(m.find("alpha", 1, 0, true), (M{1, 0, 5}));    // the starting line last
  EXPECT_EQ(m.find("delta", 2, 0), std::nullopt);
  EXPECT_EQ(m.find("", 1, 0), std::nullopt);
}

TEST(SourceFiles, PathOrderAbsoluteAndRelative) {
  const fs::path root = fs::temp_directory_path() / ("tav-src-" + std::to_string(::getpid()));
  fs::create_directories(root / "one");
  fs::create_directories(root / "two");
  std::ofstream(root / "two" / "only.c") << "int x;\n";
  std::ofstream(root / "one" / "both.c") << "1\n";
  std::ofstream(root / "two" / "both.c") << "2\n";
  const std::string one = (root / "one").string(), two = (root / "two").string();
  EXPECT_EQ(find_source_file(one + "|" + two + "\\", "only.c"), two + "/only.c");
  EXPECT_EQ(find_source_file(one + "|" + two, "both.c"), one + "/both.c");
  EXPECT_EQ(find_source_file(one, (root / "two" / "only.c").string()), (root / "two" / "only.c").string());
  EXPECT_EQ(find_source_file(one, "nowhere.c"), "");
  const fs::path here = fs::current_path();
  fs::current_path(root / "two");
  EXPECT_EQ(find_source_file("", "only.c"), "./only.c");
  fs::current_path(here);
  fs::remove_all(root);

  EXPECT_EQ(missing_file_question("lost.c"), "Can't Open lost.c\n Would you like to change the PATH ??");
  DebugTables none;
  for (auto [name, kind] : {std::pair{"a.asm", SourceKind::Assembler}, {"b.S", SourceKind::Assembler},
                            {"c.h", SourceKind::C}, {"readme.txt", SourceKind::Text}, {".c", SourceKind::Text}})
    EXPECT_EQ(source_kind(none, name), kind) << name;
}

class SourceOnDemo : public DebugSession {
 protected:
  void SetUp() override { load(); }
};

TEST_F(SourceOnDemo, MissingFileAsksAndPathFindsIt) {
  SourceModel m;
  run("path \"/nonexistent\"");
  EXPECT_EQ(m.open(d, "main.c"), SourceModel::State::NotFound);
  EXPECT_EQ(m.question(), "Can't Open main.c\n Would you like to change the PATH ??");
  run(std::string("path \"|") + TAV_EXAMPLES_SOURCES + "/demo\"");
  ASSERT_EQ(m.open(d, "main.c"), SourceModel::State::Open);
  EXPECT_EQ(m.kind(), SourceKind::C);
  EXPECT_EQ(m.line(7), "int main(void)");
  EXPECT_EQ(m.current_line(d), 8u);
}

TEST_F(SourceOnDemo, MarginsInEachCoverageModeAfterARun) {
  run(std::string("path \"") + TAV_EXAMPLES_SOURCES + "/demo\"");
  SourceModel m;
  ASSERT_EQ(m.open(d, "main.c"), SourceModel::State::Open);
  run("break main.c:19");
  run("go");
  EXPECT_EQ(m.current_line(d), 19u);
  const LineMargin ran = m.margin(d, 15), waiting = m.margin(d, 20), none = m.margin(d, 2), stop = m.margin(d, 19);
  ASSERT_TRUE(ran.code && waiting.code && stop.code);
  EXPECT_FALSE(none.code);
  EXPECT_TRUE(ran.executed);
  EXPECT_GE(ran.hits, 4u);  // its instructions, FIB_COUNT rounds of the loop body
  EXPECT_GT(ran.cycles, 0u);
  EXPECT_FALSE(waiting.executed);
  EXPECT_EQ(stop.event, EventMark::On);
  EXPECT_EQ(stop.event_number, 1);
  EXPECT_EQ(ran.event, EventMark::None);

  char want[16];
  std::snprintf(want, sizeof want, "%06x ", ran.address);
  EXPECT_EQ(SourceModel::address_text(ran), want);
  EXPECT_EQ(SourceModel::address_text(none), "       ");
  std::snprintf(want, sizeof want, "%04x ", ran.hits);
  EXPECT_EQ(SourceModel::count_text(ran, CoverageMode::Executions, 4), want);
  std::snprintf(want, sizeof want, "%06x ", ran.cycles);
  EXPECT_EQ(SourceModel::count_text(ran, CoverageMode::Timing, 6), want);
  EXPECT_EQ(SourceModel::count_text(waiting, CoverageMode::Executions, 4), "0000 ");
  EXPECT_EQ(SourceModel::count_text(none, CoverageMode::Timing, 4), "     ");
  EXPECT_EQ(SourceModel::count_text(ran, CoverageMode::Iconic, 4), "");
  run("break /s 1");
  EXPECT_EQ(m.margin(d, 19).event, EventMark::Off);
}

}  // namespace
}  // namespace tav
