// The XGATE beside the CPU12 on the xgdemo example: the CPU12 starts a
// checksum thread on the XGATE and waits for it. The checksum is worked out
// here from the C source; the XGATE's cycles from GNU objdump's listing of
// its code and the instruction timings of the reference manual.
#include "debug_session.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace tav {
namespace {

constexpr std::uint32_t kThreadEntry = 0x0828;  // xg_thread in XGATE flash
constexpr std::uint32_t kChannelAddr = 0x0382;

// checksum() of xgate.c over main.c's buffer: rotate left, add the byte.
std::uint16_t expected_checksum() {
  std::uint16_t sum = 0x1D0F;  // xg_start
  for (unsigned i = 0; i < 16; ++i)
    sum = static_cast<std::uint16_t>(((sum << 1) | (sum >> 15)) + static_cast<std::uint8_t>(i * 7 + 3));
  return sum;
}

// The mnemonic of each XGATE instruction of the example, by XGATE address.
std::map<std::uint32_t, std::string> objdump_xgate(const std::string& elf) {
  std::map<std::uint32_t, std::string> out;
  FILE* p = popen(("m68hc11-objdump -d -mm9s12xg -j .xgtext " + elf + " 2>/dev/null").c_str(), "r");
  if (!p) return out;
  std::string text;
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
  pclose(p);
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    // " 800:\t15 1e       \tor R5, R0, R7"
    const auto colon = line.find(":\t");
    const auto tab = line.find('\t', colon + 2);
    if (colon == std::string::npos || tab == std::string::npos) continue;
    std::istringstream mnemonic(line.substr(tab + 1));
    std::string word;
    mnemonic >> word;
    out[static_cast<std::uint32_t>(std::stoul(line.substr(0, colon), nullptr, 16))] = word;
  }
  return out;
}

// XGATE instruction timings: memory transfers, jal, rts and sif take two
// cycles, brk four, everything else one; a branch taken costs one more.
unsigned xgate_cycles(const std::string& mnemonic, bool branched) {
  static const char* const kTwo[] = {"ldb", "ldw", "stb", "stw", "jal", "rts", "sif", "csem", "ssem"};
  static const char* const kBranches[] = {"bcc", "bcs", "beq", "bne", "bpl", "bmi", "bvc", "bvs",
                                          "bhi", "bls", "bge", "blt", "bgt", "ble", "bra"};
  if (mnemonic == "brk") return 4;
  for (const char* m : kTwo)
    if (mnemonic == m) return 2;
  for (const char* m : kBranches)
    if (mnemonic == m) return branched ? 2 : 1;
  return 1;
}

class XgateRun : public DebugSession {
 protected:
  void SetUp() override { load("xgdemo"); }
  // What the kernel console's ".proc = n" does.
  void set_proc(std::uint32_t mode) { d.program.symbols().define_symbol(".proc", mode); }
  std::uint16_t xpc() { return static_cast<std::uint16_t>(d.registers.ReadRegister(REG_XPC)); }
  std::uint8_t channel() { return d.memory.peek(kChannelAddr) & 0x7F; }
  std::string xwhere() {
    const Frame* f = d.frames.innermost(Core::Xgate);
    if (!f || !f->function) return "(none)";
    return std::string(f->function->name) + ":" + std::to_string(f->line);
  }
  static std::string elf() { return std::string(TAV_EXAMPLES_DIR) + "/xgdemo.elf"; }
};

TEST_F(XgateRun, TheProgramBringsItsXgateUnitAndProcessorMode) {
  // The object file defines .proc = 3; the XGATE unit enables the XGATE.
  ASSERT_NE(d.program.symbols().rensym(".proc"), nullptr);
  EXPECT_EQ(d.program.symbols().rensym(".proc")->value(), 3u);
  d.sync_xgate();
  EXPECT_TRUE(d.xgate.enabled());
  EXPECT_EQ(d.xgate_stepper.mode(), XgateStepper::Both);
  EXPECT_EQ(d.cpu.xgate(), &d.xgate_stepper);
  // XGATE code as the debug information marks it: checksum() and xg_thread().
  EXPECT_TRUE(d.xgate_code.contains(0x780800));
  EXPECT_TRUE(d.xgate_code.contains(0x780847));  // the last byte of xg_thread's rts
  EXPECT_FALSE(d.xgate_code.contains(0x780848));
  EXPECT_FALSE(d.xgate_code.contains(symbol("_main")));

  // Each load starts again: a program without XGATE code leaves it disabled,
  // while the processor mode, a kernel variable, stays.
  load("demo");
  d.sync_xgate();
  EXPECT_FALSE(d.xgate.enabled());
  EXPECT_FALSE(d.xgate_code.contains(0x780800));
  EXPECT_EQ(d.xgate_stepper.mode(), XgateStepper::Both);
  set_proc(4);  // the low two bits; 0 counts as 1
  d.sync_xgate();
  EXPECT_EQ(d.xgate_stepper.mode(), XgateStepper::S12xOnly);
  EXPECT_EQ(d.cpu.xgate(), nullptr);  // the CPU12 alone runs as fast as without an XGATE
}

TEST_F(XgateRun, ABreakpointOnTheThreadStopsBeforeItsFirstInstruction) {
  // The CPU12 starts the thread by writing the XGATE's registers: the XGATE's
  // program counter arrives at xg_thread without executing anything there.
  EXPECT_NE(run("break xg_thread").find("xg_thread (0x780828)"), std::string::npos);
  EXPECT_NE(run("go").find("***** breakpoint"), std::string::npos);
  EXPECT_EQ(xpc(), kThreadEntry);
  EXPECT_EQ(d.cpu.counters.xtime, 0u);
  EXPECT_EQ(xwhere(), "xg_thread:20");
  EXPECT_EQ(d.program.tables().find_function("xg_thread")->start->hits, 1u);
  run("istep");  // the first instruction, subl r7,#4, whichever core goes first
  run("istep");
  EXPECT_EQ(d.registers.ReadRegister(REG_R0 + 7 * 32), 0xD200u - 4);
  EXPECT_EQ(d.program.tables().find_function("xg_thread")->start->hits, 1u) << "entered once";
}

TEST_F(XgateRun, TheThreadRunsInterleavedWithTheCpu12AndItsCyclesAddUp) {
  const auto listing = objdump_xgate(elf());
  if (listing.empty()) GTEST_SKIP() << "m68hc11-objdump not found";
  run("go main.c:30");  // the thread has just been started; the XGATE has not run yet
  ASSERT_EQ(channel(), 0x39);
  ASSERT_EQ(xpc(), kThreadEntry);
  EXPECT_EQ(d.cpu.counters.xtime, 0u);

  const std::uint32_t time0 = d.cpu.counters.time, nbins0 = d.cpu.counters.nbins;
  unsigned xgate_insns = 0, cpu_insns = 0, cycles = 0;
  bool alternated = false;
  bool last_was_xgate = false;
  for (int n = 0; channel() != 0 && n < 5000; ++n) {
    const std::uint16_t before = xpc();
    run("istep");
    const std::uint16_t after = xpc();
    if (after == before) {
      ++cpu_insns;
      last_was_xgate = false;
      continue;
    }
    ASSERT_TRUE(listing.count(before)) << std::hex << before;
    const std::string& mnemonic = listing.at(before);
    cycles += xgate_cycles(mnemonic, mnemonic != "jal" && after != static_cast<std::uint16_t>(before + 2));
    ++xgate_insns;
    alternated = alternated || (cpu_insns > 0 && !last_was_xgate);
    last_was_xgate = true;
  }
  ASSERT_EQ(channel(), 0) << "the thread did not end";  // rts cleared the channel id
  EXPECT_EQ(xpc(), 0x0848);                              // after xg_thread's rts
  EXPECT_EQ(d.cpu.counters.xtime, cycles);
  EXPECT_EQ(d.cpu.counters.nbins - nbins0, cpu_insns);  // XGATE instructions are not CPU12 instructions
  // Mode 3: the XGATE spends what the CPU12 banked while the thread ran;
  // neither runs ahead by more than an instruction or two.
  const std::uint32_t cpu_cycles = d.cpu.counters.time - time0;
  EXPECT_LE(cycles, cpu_cycles + 4);
  EXPECT_LE(cpu_cycles, cycles + 6);
  EXPECT_TRUE(alternated);
  EXPECT_GT(xgate_insns, 16u * 9u);  // the loop body and test run 16 times

  // The profile of the XGATE's lines adds up to its cycles.
  std::uint32_t profiled = 0;
  for (const DebugRecord& r : d.program.tables().records())
    if (r.coprocessor && (r.is_line() || r.is_start())) profiled += r.cycles;
  EXPECT_EQ(profiled, cycles);
  EXPECT_EQ(d.program.tables().find_function("checksum")->start->hits, 1u);

  run("go main.c:33");
  EXPECT_EQ(value("result"), expected_checksum());
  EXPECT_EQ(value("job.sum"), expected_checksum());
  EXPECT_EQ(value("xg_runs"), 1);
  EXPECT_EQ(d.frames.depth(Core::Xgate), 0u);
  EXPECT_EQ(errors(), "");
}

TEST_F(XgateRun, ProcessorMode1NeverRunsTheXgate) {
  set_proc(1);
  run("go main.c:30");
  const std::uint32_t r2 = d.registers.ReadRegister(REG_R0 + 2 * 32);
  run("istep 400");  // the CPU12 waits for a thread that never runs
  EXPECT_EQ(channel(), 0x39);
  EXPECT_EQ(xpc(), kThreadEntry);
  EXPECT_EQ(d.registers.ReadRegister(REG_R0 + 2 * 32), r2);
  EXPECT_EQ(d.cpu.counters.xtime, 0u);
  EXPECT_EQ(d.frames.depth(Core::Xgate), 0u);
  EXPECT_EQ(value("job.sum"), 0);
  EXPECT_EQ(d.program.tables().find_function("checksum")->start->hits, 0u);
  const std::uint32_t pc_now = pc();
  EXPECT_GE(pc_now, symbol("_main"));
  EXPECT_LT(pc_now, symbol("_main") + 0x63);  // still in the wait loop of line 30
  EXPECT_EQ(run("r").substr(0, 4), "ccr:");
}

TEST_F(XgateRun, ProcessorMode2RunsOnlyTheXgate) {
  run("go main.c:30");
  set_proc(2);
  std::uint8_t saved[Registers::kSavedBlockSize];
  d.registers.SaveRegisters(saved);
  const std::uint32_t nbins0 = d.cpu.counters.nbins, time0 = d.cpu.counters.time;

  // The register display shows the XGATE's registers in this mode.
  const std::string regs = run("r");
  EXPECT_EQ(regs.substr(0, 8), "r1:e010 ") << regs;
  EXPECT_NE(regs.find(" pc:0828\nr5:"), std::string::npos) << regs;
  EXPECT_NE(regs.find("r7:d200 Cycles: "), std::string::npos) << regs;

  run("break xgate.c:22");
  EXPECT_NE(run("go").find("***** breakpoint xgate.c:22"), std::string::npos);
  EXPECT_EQ(xwhere(), "xg_thread:22");
  EXPECT_EQ(value("job.sum"), expected_checksum());  // checksum() has run
  std::uint8_t now[Registers::kSavedBlockSize];
  d.registers.SaveRegisters(now);
  EXPECT_EQ(std::memcmp(saved, now, sizeof saved), 0) << "the CPU12 did not run";
  EXPECT_EQ(d.cpu.counters.nbins, nbins0);
  EXPECT_GT(d.cpu.counters.time, time0);  // the XGATE's cycles count as .time here
  EXPECT_EQ(d.cpu.counters.xtime, 0u);

  run("del *");
  run("step");  // XGATE source lines
  EXPECT_EQ(xwhere(), "xg_thread:23");
  EXPECT_EQ(value("xg_runs"), 1);
  EXPECT_EQ(pc(), 0x7FC07Eu);  // the CPU12 is still at line 30

  set_proc(3);  // both again: the thread ends, the CPU12 goes on
  run("go main.c:33");
  EXPECT_EQ(value("result"), expected_checksum());
  EXPECT_EQ(channel(), 0);
  EXPECT_EQ(d.frames.depth(Core::Xgate), 0u);
  EXPECT_EQ(errors(), "");
}

TEST_F(XgateRun, TheInstructionTraceShowsXgateInstructions) {
  run("break xgate.c:15");
  run("go");
  run("del *");
  const std::string trace = run("tigo xgate.c:22");
  // The XGATE's register line and disassembly for its instructions, the
  // CPU12's for the CPU12's.
  EXPECT_NE(trace.find("r7:d1fc Cycles: "), std::string::npos) << trace;
  EXPECT_NE(trace.find("    ldw     r2,(r5)\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find("    jal     r6\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find("    tst   0,x\n"), std::string::npos) << trace;
  EXPECT_EQ(xwhere(), "xg_thread:22");
}

}  // namespace
}  // namespace tav
