// Making, changing, listing, saving and removing events through the commands
// a user types, on the demo program.
#include "debug_session.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace tav {
namespace {

class EventCommands : public DebugSession {
 protected:
  void SetUp() override { load(); }
  std::string addr(const std::string& symbol_name) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", symbol(symbol_name));
    return text;
  }
};

TEST_F(EventCommands, CreationPrintsTheEventLine) {
  EXPECT_EQ(run("break add"), "(1)   at: add (" + addr("_add") + ")  {} (user) (count = 1, left = 1) (on)\n");
  EXPECT_EQ(run("break /C:2 main.c:15 {x i}"), "(2)   main.c:15  {x i} (user) (count = 2, left = 2) (on)\n");
  EXPECT_EQ(run("watch fib():13:16"), "(3)   mathx.c fib():13:16  {} (user) (count = 1, left = 1) (on)\n");
  EXPECT_EQ(run("break @0x7fc152"), "(4)   at absolute address: 0x7fc152   {} (user) (count = 1, left = 1) (on)\n");
  // A variable change event shows only its line.
  EXPECT_EQ(run("watch g_counter"), "g_counter   {} (user) (count = 1, left = 1) (on)\n");
  EXPECT_EQ(run("dwatch /T:w g_total"), "(6)   g_total (write)   {} (user) (count = 1, left = 1) (on)\n");
  EXPECT_EQ(run("break gcd():again"), "(7)   again (0x7fc1ed)  {} (user) (count = 1, left = 1) (on)\n");
  EXPECT_EQ(errors(), "");
}

TEST_F(EventCommands, ListingSeparatesBreakFromWatch) {
  EXPECT_EQ(run("break"), "no breakpoint\n");
  run("break add");
  run("watch fib");
  run("dbreak g_int");
  EXPECT_EQ(run("break"),
            "(1)    at: add (" + addr("_add") + ")  {} (user) (count = 1, left = 1) (on)\n"
            "(3)    g_int (access)   {} (user) (count = 1, left = 1) (on)\n");
  EXPECT_EQ(run("watch"), "(2)    at: fib (" + addr("_fib") + ")  {} (user) (count = 1, left = 1) (on)\n");
}

TEST_F(EventCommands, NumbersAreReused) {
  run("break add");
  run("break fib");
  run("break gcd");
  run("break scale");
  run("del 3");
  EXPECT_EQ(d.events.GetLastBkptNum(), 4);
  EXPECT_EQ(run("break area").substr(0, 4), "(3) ");
  EXPECT_EQ(d.events.GetLastBkptNum(), 3);
  EXPECT_EQ(run("break next_id").substr(0, 4), "(5) ");
}

TEST_F(EventCommands, SameTargetChangesTheEvent) {
  run("break @0x7fc152");
  run("break /s 1");
  // Count and commands change; number, kind and state stay.
  EXPECT_EQ(run("break /C:4 @0x7fc152 {x a}"),
            "(1)   at absolute address: 0x7fc152   {x a} (user) (count = 4, left = 4) (off)\n");
  EXPECT_EQ(run("break @0x7fc152 {}"),
            "(1)   at absolute address: 0x7fc152   {} (user) (count = 4, left = 4) (off)\n");
  EXPECT_EQ(d.events.events().size(), 1u);
  // A position event whose range holds the line is the same event.
  run("break fib()");
  EXPECT_EQ(run("break /C:2 mathx.c:16"), "(2)   mathx.c fib():12:20  {} (user) (count = 2, left = 2) (on)\n");
}

TEST_F(EventCommands, SuspendAndActivate) {
  run("break /i add");
  run("break fib");
  run("break gcd");
  EXPECT_NE(run("break").find("(1)    at: add"), std::string::npos);
  EXPECT_NE(d.events.find(1), nullptr);
  EXPECT_FALSE(d.events.find(1)->active);
  run("break /a 1");
  EXPECT_TRUE(d.events.find(1)->active);
  run("break /s 2,3");
  EXPECT_FALSE(d.events.find(2)->active);
  EXPECT_FALSE(d.events.find(3)->active);
  run("dbreak g_int");
  run("dbreak /s 4");
  EXPECT_FALSE(d.events.find(4)->active);

  // "*" touches user events only: an internal one stays active.
  d.events.set_temporary_events(false);  // keep the internal event past the commands' sweeps
  d.events.code_events("scale", CodeEventOptions{}, false, 0);
  run("break /a *");
  EXPECT_TRUE(d.events.find(2)->active);
  run("break /s *");
  EXPECT_FALSE(d.events.find(1)->active);
  EXPECT_FALSE(d.events.find(4)->active);
  ASSERT_NE(d.events.find(5), nullptr);
  EXPECT_TRUE(d.events.find(5)->active);

  run("break /a 9");
  EXPECT_EQ(errors(), "breakpoint not found\n");
  run("break /a x");
  EXPECT_EQ(errors(), "incorrect argumentfor:  Break/Watch activate \n");
}

TEST_F(EventCommands, InternalEventsLastOneCommand) {
  d.events.code_events("add", CodeEventOptions{}, false, 0);
  EXPECT_EQ(d.events.events().size(), 1u);
  EXPECT_EQ(run("watch"), "");  // no watch event; the sweep after this command removes the internal one
  EXPECT_TRUE(d.events.empty());
  EXPECT_EQ(d.events.saveevents(), "");
}

TEST_F(EventCommands, DeleteByNumberAndSpecification) {
  run("break add");
  run("watch g_counter");
  run("dwatch g_counter");
  run("break main.c:15");
  run("break @0x7fc161");
  run("del 7");
  EXPECT_EQ(errors(), "breakpoint not found\n");
  // A variable names its change events, not its data events.
  run("del g_counter");
  EXPECT_EQ(d.events.find(2), nullptr);
  EXPECT_NE(d.events.find(3), nullptr);
  run("del main.c:15, @0x7fc161, add");
  EXPECT_EQ(errors(), "");
  EXPECT_EQ(d.events.events().size(), 1u);
  run("del main.c:16");
  EXPECT_EQ(errors(), "Unknown Code Event: main.c:16\n");
  run("del fib");
  EXPECT_EQ(errors(), "Unknown Symbol Event: fib\n");
  run("del *");
  EXPECT_TRUE(d.events.empty());
  run("del *");
  EXPECT_EQ(host.window.substr(host.window.size() - 14), "no breakpoint\n");
}

TEST_F(EventCommands, ResolutionErrors) {
  run("break nosuch.c:3");
  EXPECT_EQ(errors(), "file not found: nosuch.c\n");
  EXPECT_EQ(d.events.last_error(), 75);
  run("break nosuch():3");
  EXPECT_EQ(errors(), "function not found(): nosuch\n");
  run("break fib():40");
  EXPECT_EQ(errors(), "line not found: 40 fib()\n");
  run("break main.c:99");
  EXPECT_EQ(errors(), "line not found: 99 main.c\n");
  run("break main.c:11");  // a declaration: no code
  EXPECT_EQ(errors(), "no code at that location: 11 main.c\n");
  EXPECT_EQ(d.events.last_error(), 85);
  run("break 3 + 4");
  EXPECT_EQ(errors(), "illegal breakpoint: 3 + 4\n");
  run("break nosuchname");
  EXPECT_NE(errors().find(": nosuchname\n"), std::string::npos);
  run("dbreak i");  // an auto lives in a frame
  EXPECT_EQ(errors(), "Illegal argument for Variable break (dynamic allocation)\n");
  run("dbreak 1 +");
  EXPECT_EQ(errors(), "Incorrect argument for Variable break\n");
  run("break add {x a");
  EXPECT_EQ(errors(), "'}' missing, assumed at end of line\n");
  EXPECT_EQ(d.events.find(1)->commands, "x a");
  EXPECT_TRUE(d.events.events().size() == 1);
}

TEST_F(EventCommands, NoFileWithoutAFrame) {
  d.frames.reset();
  run("break :15");
  EXPECT_EQ(errors(), "Missing File/function specification for Breakpoint\n");
  run("watch ()");
  EXPECT_EQ(errors(), "Missing File/function specification for WatchPoint\n");
}

TEST_F(EventCommands, SavedFormReadsBackAsTheSameEvents) {
  run("break /C:2 main.c:15 {x i}");
  run("break fib()");
  run("break /e add()");
  run("watch /C:3 mathx.c:");
  run("break @0x7fc1ed");
  run("dwatch /T:w /C:5 g_total {x g_total}");
  run("watch g_counter");
  run("break /i scale");
  const std::string saved = d.events.saveevents();
  EXPECT_EQ(saved,
            "break /C:2 main.c:15 {x i}\n"
            "break fib():12:20\n"
            "break add():7\n"
            "watch /C:3 mathx.c:1:65\n"
            "break @0x7fc1ed\n"
            "dwatch /C:5 g_total {x g_total}\n"
            "watch g_counter\n"
            "break scale\n");

  const auto path = std::filesystem::temp_directory_path() / ("tav-events-" + std::to_string(::getpid()) + ".in");
  run("write /e " + path.string());
  std::string listed_before = run("break") + run("watch");
  run("del *");
  run("input " + path.string());
  EXPECT_EQ(errors(), "");
  EXPECT_EQ(d.events.saveevents(), saved);
  // Reloaded events are active, and data events watch any access.
  std::string listed_after = run("break") + run("watch");
  EXPECT_NE(listed_before, listed_after);
  EXPECT_NE(listed_after.find("g_total (access)"), std::string::npos);
  EXPECT_NE(listed_after.find("at: scale"), std::string::npos);
  std::filesystem::remove(path);
}

TEST_F(EventCommands, WriteSavesEventsAndMonitors) {
  const auto path = std::filesystem::temp_directory_path() / ("tav-write-" + std::to_string(::getpid()) + ".in");
  run("break add");
  run("monit g_counter");
  run("write /e " + path.string());
  std::ifstream a(path);
  std::string text((std::istreambuf_iterator<char>(a)), {});
  EXPECT_EQ(text, "break add\n");
  run("write " + path.string());
  std::ifstream b(path);
  text.assign(std::istreambuf_iterator<char>(b), {});
  EXPECT_EQ(text.substr(0, 10), "break add\n");
  EXPECT_NE(text.find("monit"), std::string::npos);
  std::filesystem::remove(path);
  run("write /x " + path.string());
  EXPECT_EQ(errors(), "Unknown Option x " + path.string() + "\n");
}

}  // namespace
}  // namespace tav
