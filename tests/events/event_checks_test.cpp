// Events firing while the demo program runs: counts, watch events that let
// execution go on, data events on reads and writes, variable changes, labels,
// internal events and the registered event functions.
#include "debug_session.h"

#include "commands/event_api.h"

namespace tav {
namespace {

class EventChecks : public DebugSession {
 protected:
  void SetUp() override { load(); }
  std::uint32_t calls(const char* function) { return d.program.tables().find_function(function)->start->hits; }
  static int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
};

TEST_F(EventChecks, CountFiresOnEveryThirdPass) {
  run("break /C:3 fib");
  for (std::uint32_t pass : {3u, 6u, 9u}) {
    EXPECT_EQ(run("go"), "***** breakpoint at absolute address: 0x7fc161 \n");
    EXPECT_EQ(calls("fib"), pass);
    EXPECT_EQ(pc(), symbol("_fib"));
  }
  EXPECT_EQ(run("break"), "(1)    at: fib (0x7fc161)  {} (user) (count = 3, left = 3) (on)\n");
  // The 9th call is fib(1) inside fib(2); six lines later fib(2) has made
  // its second call, fib(0), the 10th: one pass counted, no stop.
  EXPECT_EQ(run("step 6"), "");
  EXPECT_EQ(calls("fib"), 10u);
  EXPECT_EQ(where(), "fib:16");
  EXPECT_EQ(run("break"), "(1)    at: fib (0x7fc161)  {} (user) (count = 3, left = 2) (on)\n");
}

TEST_F(EventChecks, WatchRunsItsCommandsAndGoesOn) {
  run("watch add {x b}");
  run("break main.c:18");
  const std::string out = run("go");
  // add(total, results[i]) for the four results fib(5) .. fib(8).
  EXPECT_EQ(out, "    b = 5\n    b = 8\n    b = 13\n    b = 21\n***** breakpoint main.c:18\n");
  EXPECT_EQ(d.events.find(1)->hits, 4);
  EXPECT_EQ(value("total"), 5 + 8 + 13 + 21);
}

TEST_F(EventChecks, DataWatchOnWritesOnly) {
  run("dwatch /T:w g_counter");
  run("break main.c:31");
  // g_counter is written by line 20 and read and written by line 31.
  EXPECT_EQ(run("go"), "***** watchpoint: g_counter (write) \n***** breakpoint main.c:31\n");
  EXPECT_EQ(value("g_counter"), 55);
  EXPECT_EQ(run("go"), "***** watchpoint: g_counter (write) \n***** breakpoint main.c:31\n");
  EXPECT_EQ(value("g_counter"), 56);
  run("dwatch /s 1");
  EXPECT_EQ(run("go"), "***** breakpoint main.c:31\n");
}

TEST_F(EventChecks, DataBreakOnReadStopsInsideTheLine) {
  run("go main.c:30");
  run("dbreak /T:r g_counter");
  EXPECT_EQ(run("go"), "***** breakpoint: g_counter (read) \n");
  // Stopped after "ldx _g_counter", the line's first instruction.
  EXPECT_EQ(pc(), 0x7fc0f0u + 3);
  EXPECT_EQ(where(), "main:31");
  EXPECT_EQ(value("$x"), 55);
}

TEST_F(EventChecks, VariableChangeEvents) {
  run("break g_total");
  EXPECT_EQ(run("go"), "g_total modified main():20\n");
  EXPECT_EQ(value("g_total"), 3628800);  // 10!
  run("watch g_counter");
  run("break main.c:31");
  EXPECT_EQ(run("go"), "g_counter modified main():21\n***** breakpoint main.c:31\n");
  // Each pass of the endless loop changes it once.
  EXPECT_EQ(run("go"), "g_counter modified main():30\n***** breakpoint main.c:31\n");
  run("del 2");
  EXPECT_EQ(run("go"), "***** breakpoint main.c:31\n");
}

TEST_F(EventChecks, LabelEvent) {
  run("break gcd():again");
  EXPECT_EQ(run("go"), "***** breakpoint again (0x7fc1ed)\n");
  EXPECT_EQ(value("b"), 36);
  run("go");  // "goto again" after one step of Euclid's algorithm
  EXPECT_EQ(value("a"), 36);
  EXPECT_EQ(value("b"), 84 % 36);
}

TEST_F(EventChecks, PositionEventsOfAFunctionFireOnEachLine) {
  run("break /e fib()");  // entry line only
  run("go");
  EXPECT_EQ(where(), "fib:13");
  run("del *");
  run("break fib()");
  run("go");
  EXPECT_EQ(where(), "fib:16");
  run("go");
  EXPECT_EQ(where(), "fib:18");
}

TEST_F(EventChecks, InternalEventFiresOnceAndIsGone) {
  EXPECT_EQ(run("go main.c:18"), "");  // internal events report nothing
  EXPECT_EQ(where(), "main:18");
  EXPECT_TRUE(d.events.empty());
  // A user event at the same place is reported and stays.
  run("break main.c:19");
  run("go main.c:19");
  EXPECT_EQ(d.events.events().size(), 1u);
  // An internal event that did not fire goes with the command's sweep.
  run("break main.c:20");
  run("go mathx.c:7");
  EXPECT_EQ(where(), "main:20");
  EXPECT_EQ(d.events.events().size(), 2u);
}

int g_fired[8];
int g_fired_count;
void on_event(std::uint32_t number) { g_fired[g_fired_count++ & 7] = static_cast<int>(number); }

TEST_F(EventChecks, RegisteredFunctionsAndExtensionServices) {
  g_fired_count = 0;
  EXPECT_EQ(AddEventByCommand(d, "break add"), 1u);
  EXPECT_EQ(AddEventByCommand(d, "watch fib"), 2u);
  auto* handle = d.events.event_functions().add(on_event);
  run("go");
  EXPECT_EQ(g_fired_count, 16);  // fib(5) calls fib 15 times, then add stops
  EXPECT_EQ(g_fired[(g_fired_count - 1) & 7], 1);
  EXPECT_EQ(g_fired[0], 2);
  // At add's entry an event is due; one instruction later none is.
  EXPECT_TRUE(CheckEvent(d));
  run("istep");
  EXPECT_FALSE(CheckEvent(d));
  d.events.event_functions().remove(handle);
  run("go");
  EXPECT_EQ(g_fired_count, 16);
  EXPECT_EQ(GetLastBkptNum(d), 2u);
}

TEST_F(EventChecks, StopReportsOnlyWhileRunning) {
  // A check outside a run command reports nothing but still finds the event.
  run("break main.c:8");
  EXPECT_EQ(host.window.find("***** "), std::string::npos);
  const std::size_t before = host.window.size();
  const EventHit hit = d.events.chkevent(EventCore::Cpu12, d.program.tables().record_at(pc()));
  EXPECT_TRUE(hit.stops());
  EXPECT_EQ(host.window.size(), before);
}

}  // namespace
}  // namespace tav
