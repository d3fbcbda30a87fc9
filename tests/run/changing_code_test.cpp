// Code that changes while it runs, on the run loop's fast path and on the
// general one (an instruction callback keeps every instruction there). The
// assembled program rewrites an opcode, a postbyte and an operand ahead of
// itself on one straight line, a memory hook rewrites an opcode, and a PPAGE
// write puts page 0x31's code under the next address; the expected values
// come from the program's source.
#include "debug_session.h"

#include <map>
#include <string>

#include "tests/sim/cpu_test_support.h"

namespace tav {
namespace {

Memory* g_memory = nullptr;
std::uint32_t g_op_hook = 0;

// The store into `hooked` turns the instruction at op_hook into incb.
void rewrite_op_hook(std::uint32_t, int, int, std::uint32_t) { g_memory->WriteByte(g_op_hook, 0x52); }
void count_nothing(std::uint32_t) {}

class ChangingCode : public DebugSession {
 protected:
  struct Outcome {
    std::uint32_t instructions, cycles;
    CpuRegs regs;
  };
  static std::uint32_t data(std::uint32_t local) { return local + 0xFC000; }  // the RAM window at 0x2000

  Outcome run_program(bool general) {
    const std::string base = std::string(TAV_TEST_PROGRAMS_DIR) + "/changing";
    symbols = test::read_symbols(base + ".sym");
    run("load " + base + ".s19");
    EXPECT_EQ(errors(), "");
    d.cpu_regs.pc = static_cast<std::uint16_t>(symbols.at("_start"));
    g_memory = &d.memory;
    g_op_hook = data(symbols.at("op_hook"));
    const int hook = d.memory.RegisterMemHook(data(symbols.at("hooked")), 1, 3, 0, rewrite_op_hook);
    auto* callback = general ? d.execution.callbacks().add(InstructionCallback{count_nothing, nullptr}) : nullptr;
    const std::uint32_t n0 = d.cpu.counters.nbins, t0 = d.cpu.counters.time;
    const std::uint32_t done = Memory::local_to_global(static_cast<std::uint16_t>(symbols.at("done")), CpuRegs{});
    run("go (" + std::to_string(done) + ")");
    if (callback) d.execution.callbacks().remove(callback);
    d.memory.UnRegisterMemHook(hook);
    return {d.cpu.counters.nbins - n0, d.cpu.counters.time - t0, d.cpu_regs};
  }
  std::uint16_t word(const char* symbol, unsigned offset = 0) {
    const std::uint32_t a = data(symbols.at(symbol)) + offset;
    return static_cast<std::uint16_t>(d.memory.peek(a) << 8 | d.memory.peek(a + 1));
  }
  std::map<std::string, std::uint32_t> symbols;
};

TEST_F(ChangingCode, EveryChangeTakesEffectOnBothPathsAlike) {
  Outcome outcomes[2];
  for (const bool general : {false, true}) {
    SCOPED_TRACE(general ? "general loop" : "fast path");
    const Outcome o = run_program(general);
    EXPECT_EQ(o.regs.pc, symbols.at("done"));
    // Each pass: B counts the two incb that were inca, A = table[0x52] + 7.
    for (unsigned pass = 0; pass < 3; ++pass) EXPECT_EQ(word("results", 2 * pass), (0x5A + 7) << 8 | 2) << pass;
    // Both times the instructions after the PPAGE write came from page 0x31.
    EXPECT_EQ(d.memory.peek(data(symbols.at("which_first"))), 0x31);
    EXPECT_EQ(d.memory.peek(data(symbols.at("which"))), 0x31);
    outcomes[general] = o;
  }
  EXPECT_EQ(outcomes[0].instructions, outcomes[1].instructions);
  EXPECT_EQ(outcomes[0].cycles, outcomes[1].cycles);
  EXPECT_GT(outcomes[0].instructions, 40u);
}

}  // namespace
}  // namespace tav
