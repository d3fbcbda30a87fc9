// Low-level breakpoints stopping runs of the demo program: writes, fetches
// with conditions, every instruction, commands that delete breakpoints,
// debugger-side reads during a run, and the break time. Expected values come
// from the C sources of the demo.
#include "debug_session.h"

#include "kconsole/kelm.h"
#include "kconsole/kelm_breaks.h"
#include "run/run_control.h"
#include "support/fmt.h"

namespace tav {
namespace {

class LowBreaksRun : public DebugSession {
 protected:
  void SetUp() override { load(); }
  // A kernel console line, as typed; returns what it printed.
  std::string kelm(const std::string& line) {
    const std::size_t before = host.window.size();
    d.kelm.kelm_exec(line.c_str(), 1);
    return host.window.substr(before);
  }
  std::uint32_t variable(const char* name) { return d.program.symbols().rensym(name)->value(); }
  std::uint32_t calls(const char* function) { return d.program.tables().find_function(function)->start->hits; }
};

TEST_F(LowBreaksRun, WriteBreakpointStopsAfterTheStore) {
  kelm("bw _g_counter");
  const std::uint32_t counter = symbol("_g_counter");
  EXPECT_EQ(run("go"), fmtstr("***** kernel breakpoint (1): write at 0x%+06hl\n", counter));
  EXPECT_EQ(value("g_counter"), 55);  // sum_to(10), line 20
  // The store is the last instruction of line 20: the PC is at line 21.
  const DebugTables& tables = d.program.tables();
  EXPECT_EQ(pc(), tables.line_address(tables.find_file("main.c"), 21)->value);
  EXPECT_EQ(variable(".abrk"), counter);
  EXPECT_EQ(variable(".tbrk"), 2u);

  run("go");  // the first round of the endless loop
  EXPECT_EQ(value("g_counter"), 56);
  EXPECT_EQ(value("s_round"), 1);
  // Reads of the variable do not stop a write breakpoint: it was the store.
  EXPECT_EQ(value("g_counter"), 56);
}

TEST_F(LowBreaksRun, ConditionalFetchBreakpointRunsItsCommands) {
  kelm("b _fib ? $d == 7 {x $d; x .nbrk}");  // fib(7), the third call from main
  EXPECT_EQ(run("go"), fmtstr("0x7\n0x1\n***** kernel breakpoint (1): instruction at 0x%+06hl\n", symbol("_fib")));
  // fib(n) makes 2 fib(n+1) - 1 calls: 15 for fib(5), 25 for fib(6), then this one.
  EXPECT_EQ(calls("fib"), 41u);
  EXPECT_EQ(pc(), symbol("_fib") + 1);  // the fetched instruction (pshd) has run
  EXPECT_EQ(value("results[1]"), 8);
  EXPECT_EQ(variable(".abrk"), symbol("_fib"));
  EXPECT_EQ(variable(".tbrk"), 1u);
}

TEST_F(LowBreaksRun, EveryInstructionBreakpointStopsAtOnce) {
  kelm("b ?");
  const std::uint32_t start = pc();
  const std::uint32_t instructions = d.cpu.counters.nbins;
  EXPECT_EQ(run("go"), fmtstr("***** kernel breakpoint (1): instruction at 0x%+06hl\n", start));
  EXPECT_EQ(d.cpu.counters.nbins, instructions + 1);
  // So does a step, in the middle of its line.
  run("step");
  EXPECT_EQ(d.cpu.counters.nbins, instructions + 2);
}

TEST_F(LowBreaksRun, AttachedCommandsDeleteTheirBreakpoint) {
  kelm("b _fib {bk 1; x 0x55}");
  kelm("b _add");
  EXPECT_EQ(run("go"), fmtstr("0x55\n***** kernel breakpoint (1): instruction at 0x%+06hl\n", symbol("_fib")));
  EXPECT_EQ(kelm("b"), "(2) _add \n");
  run("go");  // past the 14 other calls of fib(5) to add()
  EXPECT_EQ(d.low_breaks.hit_number(), 2);
  EXPECT_EQ(calls("fib"), 15u);
  EXPECT_EQ(calls("add"), 1u);
}

Debugger* g_debugger;
void read_probe(std::uint32_t) { g_debugger->memory.ReadByte(0x0FF000); }

TEST_F(LowBreaksRun, DebuggerSideReadsDuringARunReport) {
  kelm("br 0x0ff000");
  d.memory.ReadByte(0x0FF000);  // stopped: nothing happens
  EXPECT_FALSE(d.low_breaks.hit());
  g_debugger = &d;
  auto* probe = d.execution.callbacks().add(InstructionCallback{read_probe, nullptr});
  const std::uint32_t instructions = d.cpu.counters.nbins;
  EXPECT_EQ(run("go"), "***** kernel breakpoint (1): read at 0x0ff000\n");
  EXPECT_EQ(d.cpu.counters.nbins, instructions + 1);
  d.execution.callbacks().remove(probe);
}

TEST_F(LowBreaksRun, BreakTimeStopsTheRun) {
  const std::uint32_t target = d.cpu.counters.time + 5000;
  kelm(".btime = .time + 5000");
  EXPECT_EQ(run("go"), fmtstr("***** kernel break time: %ul cycles\n", target));
  EXPECT_GE(d.cpu.counters.time, target);
  EXPECT_LT(d.cpu.counters.time, target + 20);  // within the instruction that reached it
  EXPECT_EQ(variable(".btime"), 0u);            // used up
  // With a breakpoint set too, whichever comes first stops the run.
  kelm("bw _g_counter; .btime = .time + 1000000");
  run("go");
  EXPECT_EQ(d.low_breaks.hit_number(), 1);
  EXPECT_NE(variable(".btime"), 0u);
}

std::uint32_t g_break_after;
std::uint32_t g_give_up;
void set_break_time(std::uint32_t cycles) {
  if (g_debugger->cpu.counters.btime == 0 && g_break_after != 0) {
    g_debugger->program.symbols().define_symbol(".btime", cycles + g_break_after);
    g_break_after = 0;
  }
  if (cycles > g_give_up) g_debugger->run.request_stop();  // the break time was missed
}

TEST_F(LowBreaksRun, BreakTimeSetDuringTheRun) {
  // An extension's per-instruction callback sets it while "go" runs.
  g_debugger = &d;
  g_break_after = 300;
  const std::uint32_t start = d.cpu.counters.time;
  g_give_up = start + 100000;
  auto* callback = d.execution.callbacks().add(InstructionCallback{set_break_time, nullptr});
  EXPECT_NE(run("go").find("***** kernel break time: "), std::string::npos);
  d.execution.callbacks().remove(callback);
  EXPECT_GE(d.cpu.counters.time, start + 300);
  EXPECT_LT(d.cpu.counters.time, start + 340);
}

TEST_F(LowBreaksRun, LoadingIgnoresThem) {
  kelm("b ?");
  load();  // runs to the first C line regardless
  EXPECT_FALSE(d.low_breaks.hit());
}

}  // namespace
}  // namespace tav
