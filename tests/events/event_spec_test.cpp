// The event-specification grammar of break, watch and del, taken apart without a
// program: which part is a file, a function, lines, an address or an
// expression, and where the event specification ends.
#include <gtest/gtest.h>

#include "events/event_table.h"

namespace tav {
namespace {

std::string rest(const EventSpec& s) { return s.end ? std::string(s.end) : std::string("(expression)"); }

TEST(EventSpec, FileAndLines) {
  EventSpec s = parse_event_spec("main.c:15:16 {r}");
  EXPECT_EQ(s.form, EventSpec::Position);
  EXPECT_TRUE(s.has_file);
  EXPECT_EQ(s.file, "main.c");
  EXPECT_EQ(s.first, 15u);
  EXPECT_EQ(s.last, 16u);
  EXPECT_EQ(rest(s), " {r}");

  s = parse_event_spec("main.c:, add");  // a whole file
  EXPECT_EQ(s.form, EventSpec::Position);
  EXPECT_FALSE(s.has_first);
  EXPECT_EQ(rest(s), ", add");

  s = parse_event_spec(":31");  // the current frame's file
  EXPECT_EQ(s.form, EventSpec::Position);
  EXPECT_FALSE(s.has_file);
  EXPECT_FALSE(s.has_function);
  EXPECT_EQ(s.first, 31u);
  EXPECT_EQ(s.last, 31u);
}

TEST(EventSpec, DriveLetterIsPartOfTheFileName) {
  const EventSpec s = parse_event_spec("c:\\src\\a.c:10");
  EXPECT_EQ(s.form, EventSpec::Position);
  EXPECT_EQ(s.file, "c:\\src\\a.c");
  EXPECT_EQ(s.first, 10u);
  // A ":" as second character followed by a digit separates after all.
  EXPECT_EQ(parse_event_spec("a:10").file, "a");
}

TEST(EventSpec, Functions) {
  EventSpec s = parse_event_spec("fib():13:16");
  EXPECT_EQ(s.form, EventSpec::Position);
  EXPECT_TRUE(s.has_function);
  EXPECT_EQ(s.function, "fib");
  EXPECT_EQ(s.first, 13u);
  EXPECT_EQ(s.last, 16u);

  s = parse_event_spec("fib() {x n}");
  EXPECT_EQ(s.form, EventSpec::Position);
  EXPECT_EQ(s.function, "fib");
  EXPECT_FALSE(s.has_first);
  EXPECT_EQ(rest(s), " {x n}");

  s = parse_event_spec("()");  // the current frame's function
  EXPECT_TRUE(s.has_function);
  EXPECT_TRUE(s.function.empty());
}

TEST(EventSpec, AbsoluteAddresses) {
  EventSpec s = parse_event_spec("@0x7fc152,@20");
  EXPECT_EQ(s.form, EventSpec::Absolute);
  EXPECT_EQ(s.address, 0x7fc152u);
  EXPECT_EQ(rest(s), ",@20");
  EXPECT_EQ(parse_event_spec("@20").address, 20u);
}

TEST(EventSpec, AnythingElseIsAnExpression) {
  EXPECT_EQ(parse_event_spec("main").form, EventSpec::Expression);
  EXPECT_EQ(parse_event_spec("g_box.colour").form, EventSpec::Expression);
  // Scoped names: a name after the ":" is not a line.
  EXPECT_EQ(parse_event_spec("gcd():again").form, EventSpec::Expression);
  EXPECT_EQ(parse_event_spec("main.c:s_round").form, EventSpec::Expression);
  EXPECT_EQ(parse_event_spec("@name").form, EventSpec::Expression);
}

}  // namespace
}  // namespace tav
