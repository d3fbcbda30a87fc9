// The run commands on the demo program: where each one stops, what it shows
// in the status bar, the call stack it leaves, restarting, the profile and
// the per-instruction services.
#include "debug_session.h"
#include "run/run_control.h"

#include <algorithm>
#include <vector>

namespace tav {
namespace {

class RunCommands : public DebugSession {
 protected:
  void SetUp() override { load(); }
  std::uint32_t calls(const char* function) { return d.program.tables().find_function(function)->start->hits; }
  std::size_t depth() { return d.frames.depth(Core::Cpu12); }
};

TEST_F(RunCommands, LoadRunsToTheFirstCLine) {
  EXPECT_EQ(pc(), symbol("_main"));
  EXPECT_NE(host.window.find("first C line at 0x7fc02c\n"), std::string::npos);
  EXPECT_EQ(where(), "main:8");
  EXPECT_EQ(calls("main"), 1u);

  run("load /s " + example("demo"));
  EXPECT_EQ(pc(), symbol("__stext"));
  EXPECT_EQ(depth(), 0u);
  run("step");  // through the start-up code into main
  EXPECT_EQ(pc(), symbol("_main"));
  EXPECT_EQ(where(), "main:8");
}

TEST_F(RunCommands, StepCountShowsProgress) {
  host.statuses.clear();
  EXPECT_EQ(run("step 3"), "");
  EXPECT_EQ(host.statuses, (std::vector<std::string>{" Stepping ", " Stepping: 1 out of 3 ", " Stepping: 2 out of 3 ",
                                                     " Stepping: 3 out of 3 ", "Command"}));
  EXPECT_EQ(where(), "main:15");  // 13, 14, then the loop body
  host.statuses.clear();
  run("break add");
  run("go");
  EXPECT_EQ(host.statuses, (std::vector<std::string>{" Running ", "Command"}));
  host.statuses.clear();
  run("go 2");  // a count makes go count units
  EXPECT_EQ(host.statuses, (std::vector<std::string>{" Running ", " Stepping: 1 out of 2 ", " Stepping: 2 out of 2 ",
                                                     "Command"}));
  host.statuses.clear();
  run("ostep 2");  // no total while stepping over
  EXPECT_EQ(host.statuses[1], " Stepping: 1");
}

TEST_F(RunCommands, StepIntoOverAndOut) {
  run("go main.c:15");
  EXPECT_EQ(depth(), 1u);
  run("step");  // into fib(5)
  EXPECT_EQ(where(), "fib:13");
  EXPECT_EQ(depth(), 2u);
  run("step");  // the prologue has saved the argument
  EXPECT_EQ(value("n"), 5);
  run("finish");  // the rest of fib(5) with its 14 recursive calls
  EXPECT_EQ(where(), "main:16");
  EXPECT_EQ(depth(), 1u);
  EXPECT_EQ(calls("fib"), 15u);
  EXPECT_EQ(value("results[0]"), 5);
  run("ostep");  // over add()
  EXPECT_EQ(where(), "main:14");
  EXPECT_EQ(calls("add"), 1u);
  run("ostep 2");  // the loop test, then over fib(6) and its 24 recursive calls
  EXPECT_EQ(where(), "main:16");
  EXPECT_EQ(calls("fib"), 15u + 25u);
  EXPECT_EQ(value("results[1]"), 8);
}

TEST_F(RunCommands, FinishInsideRecursion) {
  run("break fib");
  run("go");
  run("go");  // fib(4), called by fib(5)
  run("step");
  EXPECT_EQ(value("n"), 4);
  EXPECT_EQ(depth(), 3u);
  run("del *");
  run("finish");
  // Back in fib(5) after "first = fib(n - 1)": the next line.
  EXPECT_EQ(where(), "fib:19");
  EXPECT_EQ(depth(), 2u);
  EXPECT_EQ(value("n"), 5);
  EXPECT_EQ(value("first"), 3);  // fib(4)
  EXPECT_NE(d.frames.last_left(Core::Cpu12), nullptr);
  EXPECT_EQ(d.frames.last_left(Core::Cpu12)->function->name, "fib");
}

TEST_F(RunCommands, UndefinedOpcodeLeavesThePc) {
  // 0x18 0x38 is undefined on page 2; put it in RAM and go there.
  const std::uint32_t at = 0x0FF000;  // local 0x3000
  d.memory.WriteByte(at, 0x18);
  d.memory.WriteByte(at + 1, 0x38);
  d.registers.WritePC(at);
  const std::uint32_t cycles = d.cpu.counters.time;
  EXPECT_EQ(run("istep"), "");
  EXPECT_EQ(pc(), at);
  EXPECT_EQ(run("step 2"), "");
  EXPECT_EQ(pc(), at);
  EXPECT_EQ(d.cpu.counters.time, cycles);
}

TEST_F(RunCommands, ArgumentsOfRunCommands) {
  run("go @0x7fc0a7");  // the first instruction of line 23
  EXPECT_EQ(where(), "main:23");
  run("go g_op");  // a pointer to a function: its target
  EXPECT_EQ(pc(), symbol("_add"));
  EXPECT_EQ(value("b"), 100);  // next_id()
  run("go nosuchname");
  EXPECT_NE(errors(), "");
  EXPECT_EQ(pc(), symbol("_add"));
  run("go g_box");
  EXPECT_EQ(errors(), "illegal type\n");
  run("go nosuch.c:4");
  EXPECT_EQ(errors(), "file not found: nosuch.c\n");
  EXPECT_EQ(pc(), symbol("_add"));
  EXPECT_TRUE(d.events.empty());
}

TEST_F(RunCommands, RunCommandsAreRefusedWhileRunning) {
  d.run.running = true;
  const std::uint32_t before = pc();
  run("step");
  d.execution.StepCode(2);
  d.execution.StepTargetCode(2);
  d.execution.ExecTargetCode();
  run("load " + example("demo"));
  run("zero /r");
  d.run.running = false;
  EXPECT_EQ(pc(), before);
  EXPECT_EQ(host.beeps, 3);  // step, load and zero; the entry points stay silent
  d.execution.StepCode(2);
  EXPECT_EQ(where(), "main:14");
}

TEST_F(RunCommands, ZeroAndReset) {
  run("go main.c:20");
  const std::uint32_t at = pc();
  run("zero");
  EXPECT_EQ(pc(), at);
  EXPECT_EQ(depth(), 0u);
  EXPECT_EQ(calls("fib"), 0u);
  run("break add");
  run("zero /r");
  EXPECT_EQ(pc(), symbol("__stext"));
  EXPECT_EQ(d.cpu_regs.ccr & 0xFF, 0x50);
  EXPECT_EQ(d.events.events().size(), 1u);
  run("zero /e /r");
  EXPECT_TRUE(d.events.empty());
  run("go main.c:18");  // from the start again
  EXPECT_EQ(where(), "main:18");
  EXPECT_EQ(calls("main"), 1u);
  EXPECT_EQ(calls("fib"), 148u);
  run("reset");
  EXPECT_EQ(pc(), symbol("__stext"));
  EXPECT_EQ(depth(), 0u);
}

TEST_F(RunCommands, PerfReport) {
  run("go main.c:30");
  // 15 + 25 + 41 + 67 calls of fib for fib(5) .. fib(8); factorial(10) is
  // ten calls; add four in the loop and one through g_op; 171 in all.
  const std::string report = run("perf");
  EXPECT_EQ(report,
            "Functions in file: main.c\n"
            "    main()   1 / 171  calls =   0.58%\n"
            "Functions in file: mathx.c\n"
            "    add()   5 / 171  calls =   2.92%\n"
            "    fib() 148 / 171  calls =  86.54%\n"
            "    factorial()  10 / 171  calls =   5.84%\n"
            "    scale()   1 / 171  calls =   0.58%\n"
            "    sum_to()   1 / 171  calls =   0.58%\n"
            "    gcd()   1 / 171  calls =   0.58%\n"
            "    next_id()   1 / 171  calls =   0.58%\n"
            "Functions in file: types.c\n"
            "    list_sum()   1 / 171  calls =   0.58%\n"
            "    area()   1 / 171  calls =   0.58%\n"
            "    move_point()   1 / 171  calls =   0.58%\n");
  EXPECT_EQ(run("perf fib()"), "Functions in file: mathx.c\n    fib() 148 / 171  calls =  86.54%\n");
  EXPECT_EQ(run("perf types.c"),
            "Functions in file: types.c\n"
            "    list_sum()   1 / 171  calls =   0.58%\n"
            "    area()   1 / 171  calls =   0.58%\n"
            "    move_point()   1 / 171  calls =   0.58%\n");
  EXPECT_EQ(run("perf /z"), "");
  EXPECT_EQ(run("perf main()"), "Functions in file: main.c\n    main() 0  calls\n");
  run("perf nosuch()");
  EXPECT_EQ(errors(), "function not found: nosuch\n");
}

TEST_F(RunCommands, ProfilingCountersCoverEveryInstruction) {
  run("zero");  // counters to 0
  for (DebugRecord& r : d.program.tables().records()) r.hits = r.cycles = 0;
  const std::uint32_t instructions = d.cpu.counters.nbins;
  const std::uint32_t cycles = d.cpu.counters.time;
  run("go main.c:30");
  std::uint64_t hits = 0, counted_cycles = 0;
  for (const DebugRecord& r : d.program.tables().records()) {
    if (!r.is_start()) hits += r.hits;  // a start record counts calls
    counted_cycles += r.cycles;
  }
  EXPECT_EQ(hits, d.cpu.counters.nbins - instructions);
  EXPECT_EQ(counted_cycles, d.cpu.counters.time - cycles);
  // Line 43 ("s += i") of sum_to(10) runs ten times, three instructions each.
  const DebugRecord* line43 = d.program.tables().line_address(d.program.tables().find_file("mathx.c"), 43);
  ASSERT_NE(line43, nullptr);
  EXPECT_EQ(line43->hits, 30u);
}

// The same run with an instruction callback (which keeps every instruction
// on the general loop) and without one (the fast path for straight-line
// code) ends in the same state with the same counters, profile and output.
TEST_F(RunCommands, PlainAndGeneralLoopsAgree) {
  struct Outcome {
    std::string output;
    std::uint32_t instructions, cycles;
    CpuRegs regs;
    std::vector<std::uint32_t> hits, record_cycles;
  };
  auto go = [&](bool general) {
    load();
    for (DebugRecord& r : d.program.tables().records()) r.hits = r.cycles = 0;
    auto* callback = general ? d.execution.callbacks().add(InstructionCallback{[](std::uint32_t) {}, nullptr}) : nullptr;
    run("break /C:3 fib");
    Outcome o{};
    const std::uint32_t n0 = d.cpu.counters.nbins, t0 = d.cpu.counters.time;
    for (const char* line : {"go", "go", "go", "dbreak /T:w g_counter", "go", "go"})
      o.output += run(line);
    o.instructions = d.cpu.counters.nbins - n0;
    o.cycles = d.cpu.counters.time - t0;
    o.regs = d.cpu_regs;
    for (const DebugRecord& r : d.program.tables().records()) {
      o.hits.push_back(r.hits);
      o.record_cycles.push_back(r.cycles);
    }
    run("del *");
    if (callback) d.execution.callbacks().remove(callback);
    return o;
  };
  const Outcome plain = go(false), general = go(true);
  EXPECT_EQ(plain.output, general.output);
  EXPECT_EQ(plain.instructions, general.instructions);
  EXPECT_EQ(plain.cycles, general.cycles);
  EXPECT_EQ(plain.regs.pc, general.regs.pc);
  EXPECT_EQ(plain.regs.d(), general.regs.d());
  EXPECT_EQ(plain.regs.sp, general.regs.sp);
  EXPECT_EQ(plain.hits, general.hits);
  EXPECT_EQ(plain.record_cycles, general.record_cycles);
  EXPECT_GT(plain.instructions, 100u);
}

std::uint32_t g_callback_calls;
std::uint32_t g_last_cycles;
std::uint32_t g_param;
void count_instruction(std::uint32_t cycles) {
  ++g_callback_calls;
  g_last_cycles = cycles;
}
void with_param(std::uint32_t, std::uint32_t param) { g_param = param; }

TEST_F(RunCommands, InstructionCallbacks) {
  g_callback_calls = 0;
  auto* plain = d.execution.callbacks().add(InstructionCallback{count_instruction, nullptr});
  d.execution.callbacks().add(InstructionCallback{nullptr, with_param}, true, 77);
  const std::uint32_t before = d.cpu.counters.nbins;
  run("step 4");
  EXPECT_EQ(g_callback_calls, d.cpu.counters.nbins - before);
  EXPECT_EQ(g_last_cycles, d.cpu.counters.time);
  EXPECT_EQ(g_param, 77u);
  d.execution.callbacks().remove(plain);
  const std::uint32_t calls = g_callback_calls;
  run("step");
  EXPECT_EQ(g_callback_calls, calls);
}

TEST_F(RunCommands, InstructionTrace) {
  run("break main.c:14");
  const std::string out = run("tigo");
  // From line 8 ("leas -8,sp") through line 13 ("movw #0,4,sp"): each
  // instruction with the registers after it, each line reached, the report.
  const auto first_end = out.find('\n');
  ASSERT_NE(first_end, std::string::npos);
  const std::string first = out.substr(0, first_end);
  EXPECT_EQ(first.substr(0, 4), "ccr:");
  EXPECT_NE(first.find("pc:7fc02e"), std::string::npos);
  EXPECT_NE(first.find("    leas"), std::string::npos);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 5);
  EXPECT_NE(out.find("\nmain.c:13\nccr:"), std::string::npos);
  EXPECT_NE(out.find("    movw"), std::string::npos);
  EXPECT_NE(out.find("main.c:14\n***** breakpoint main.c:14\n"), std::string::npos);
}

TEST_F(RunCommands, SourceTrace) {
  d.source_path = std::string(TAV_EXAMPLES_SOURCES) + "/demo";
  run("break main.c:15");
  EXPECT_EQ(run("tgo"),
            "main.c:13:     total = 0;\n"
            "main.c:14:     for (i = 0; i < FIB_COUNT; i++) {\n"
            "main.c:15:         results[i] = fib(i + 5);\n"
            "***** breakpoint main.c:15\n");
}

// A host whose event pump asks for a stop after a few calls.
class StoppingHost : public StatusHost {
 public:
  Debugger* d = nullptr;
  int stop_after = 3;
  bool pump_events() override {
    if (++pumps == stop_after && d) d->run.request_stop();
    return false;
  }
};

TEST(RunPolling, TheHostIsPumpedDuringLongRuns) {
  StoppingHost host;
  StandardDebugger d(host);
  host.d = &d;
  host.stop_after = 1000000;
  const std::string load = "load " + std::string(TAV_EXAMPLES_DIR) + "/demo.x12";
  docmd(d, load.c_str(), 1);
  host.pumps = 0;
  host.stop_after = 3;
  docmd(d, "go", 1);  // the endless loop: only the pump's stop request ends it
  EXPECT_GE(host.pumps, 3);
  EXPECT_FALSE(d.run.running);
  // The clock is read only every 4096 instructions, so three pumps span at least two of those.
  EXPECT_GE(d.cpu.counters.nbins, 8192u);
}

}  // namespace
}  // namespace tav
