#include "kernel/options.h"

#include "kernel_fixture.h"

namespace tav {
namespace {

class OptionsTest : public KernelTest {
 protected:
  const char* parse(const char* text, OptionSpec spec) {
    opts.clear();
    return parse_options(d, text, spec, opts);
  }
  OptionSet opts;
};

TEST_F(OptionsTest, GroupsLettersAndValues) {
  const char* rest = parse("  /as /E  /C:12 file.txt", {.letters = "asiC:e"});
  ASSERT_NE(rest, nullptr);
  EXPECT_STREQ(rest, "file.txt");
  EXPECT_TRUE(opts.has('a') && opts.has('s') && opts.has('e') && opts.has('C'));
  EXPECT_FALSE(opts.has('i'));
  EXPECT_EQ(opts.value('C'), "12");
  EXPECT_EQ(opts.letters(), "aseC");

  // Either case names the same letter; the value runs to a blank or ";".
  ASSERT_NE(parse("/c:3;next", {.letters = "C:"}), nullptr);
  EXPECT_EQ(opts.value('C'), "3");
  EXPECT_STREQ(parse("/T:r /a x", {.letters = "aT:"}), "x");
  EXPECT_EQ(opts.value('T'), "r");

  // No options at all: the arguments start after the blanks.
  EXPECT_STREQ(parse("   arg", {.letters = "a"}), "arg");
  EXPECT_TRUE(opts.empty());
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(OptionsTest, GroupEndsAtBlankColonSemicolonAndDel) {
  EXPECT_STREQ(parse("/a;path", {.letters = "a"}), ";path");
  EXPECT_STREQ(parse("/a:x", {.letters = "a"}), ":x");
  EXPECT_STREQ(parse("/a\x7f" "b", {.letters = "a"}), "b");  // DEL is a blank too
  EXPECT_STREQ(parse("/ x", {.letters = "a"}), "x");
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(OptionsTest, UnknownLetterReportsTheRestFromIt) {
  EXPECT_EQ(parse("/ax f", {.letters = "a"}), nullptr);
  EXPECT_EQ(box_text(), "Unknown Option x f");
  EXPECT_EQ(parse("/a /q:1 z", {.letters = "a", .blank_before_unknown = true}), nullptr);
  EXPECT_EQ(box_text(), " Unknown Option q:1 z");
  // A letter accepted in one case only.
  EXPECT_NE(parse("/i", {.letters = "i!"}), nullptr);
  EXPECT_EQ(parse("/I", {.letters = "i!"}), nullptr);
  EXPECT_EQ(box_text(), "Unknown Option I");
}

TEST_F(OptionsTest, ValueLetterWithoutColonIsWrong) {
  EXPECT_EQ(parse("/C 3", {.letters = "C:"}), nullptr);
  EXPECT_EQ(box_text(), "Wrong option C 3");
  EXPECT_EQ(parse("/aF", {.letters = "aF:", .blank_before_wrong = true}), nullptr);
  EXPECT_EQ(box_text(), " Wrong option F");
}

TEST_F(OptionsTest, AbsoluteNamesAreArgumentsWhereTheCommandTakesFiles) {
  EXPECT_STREQ(parse("/tmp/log.txt", {.letters = "a", .path_args = true}), "/tmp/log.txt");
  EXPECT_STREQ(parse("/a /tmp/log.txt", {.letters = "a", .path_args = true}), "/tmp/log.txt");
  EXPECT_TRUE(opts.has('a'));
  EXPECT_EQ(parse("/tmp/log.txt", {.letters = "a"}), nullptr);
  EXPECT_EQ(box_text(), "Unknown Option tmp/log.txt");
}

TEST_F(OptionsTest, LastFormatLetterCounts) {
  ASSERT_NE(parse("/x /dh x", {.letters = "dbhusocxq"}), nullptr);
  EXPECT_EQ(opts.last_of("dbhusocx"), 'h');
  EXPECT_EQ(opts.last_of("q"), 0);
}

}  // namespace
}  // namespace tav
