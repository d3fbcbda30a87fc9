// Running the assembled programs of tests/programs, and the expected cycle
// count of a run computed from the opcode reference, independently of the
// simulator's own table.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/sim/cpu_test_support.h"

namespace tav::test {

// Patterns the reference does not give, accepted explicitly by a test:
// (page, opcode) -> pattern ("/" between the indexed forms when `indexed`).
struct AcceptedPattern {
  bool indexed;
  std::string pattern;
};
using AcceptedPatterns = std::map<std::pair<int, int>, AcceptedPattern>;

class ReferenceCycles {
 public:
  explicit ReferenceCycles(AcceptedPatterns accepted = {}) : accepted_(std::move(accepted)) {
    for (const ReferenceRow& row : read_reference(reference_csv())) rows_[{row.page, row.opcode}].push_back(row);
  }

  // Cycles of the instruction `bytes` that went from `address` to `next` (global).
  unsigned cycles(const std::vector<std::uint8_t>& bytes, std::uint32_t address, std::uint32_t next) {
    const int page = bytes[0] == 0x18 ? 2 : 1;
    const int opcode = page == 2 ? bytes[1] : bytes[0];
    const std::uint8_t postbyte = page == 2 ? bytes[2] : bytes[1];
    const auto accepted = accepted_.find({page, opcode});
    if (accepted != accepted_.end()) {
      const auto alts = split(accepted->second.pattern);
      return count(accepted->second.indexed ? alts.at(indexed_form(postbyte)) : alts.at(0));
    }
    const auto& rows = rows_[{page, opcode}];
    if (rows.empty()) {
      ADD_FAILURE() << "no reference row for page " << page << " opcode " << opcode;
      return 0;
    }
    static const char* forms[] = {"idx", "idx1", "idx2", "[d,idx]", "[idx2]"};
    const bool indexed = std::any_of(rows.begin(), rows.end(), [](const ReferenceRow& r) { return r.mode == "idx"; });
    const ReferenceRow* row = &rows.front();
    if (indexed)
      for (const ReferenceRow& r : rows)
        if (r.mode == forms[indexed_form(postbyte)]) row = &r;
    EXPECT_FALSE(row->pattern.empty()) << row->mnemonic << " " << row->mode << " has no reference pattern";
    const auto alts = split(row->pattern);
    unsigned alt = 0;
    const bool relative = row->mode == "rel8" || row->mode == "rel16" || row->mode == "loop9";
    if (relative && alts.size() > 1 && next == address + static_cast<unsigned>(row->length)) alt = 1;
    return count(alts.at(alt));
  }

  // Letters that take a bus cycle.
  static unsigned count(const std::string& alternative) {
    unsigned n = 0;
    for (char c : alternative)
      if (std::string("PORWIrwiSUsuVfgn").find(c) != std::string::npos) ++n;
    return n;
  }

 private:
  // Indexed forms: 0 5-bit/auto/accumulator, 1 9-bit, 2 16-bit, 3 [d,r], 4 [n,r].
  static int indexed_form(std::uint8_t xb) {
    if (xb < 0xE0) return 0;
    switch (xb & 7) {
      case 0: case 1: return 1;
      case 2: return 2;
      case 3: return 4;
      case 7: return 3;
      default: return 0;
    }
  }
  static std::vector<std::string> split(const std::string& pattern) {
    std::vector<std::string> out(1);
    for (char c : pattern) {
      if (c == '/')
        out.emplace_back();
      else
        out.back() += c;
    }
    return out;
  }

  std::map<std::pair<int, int>, std::vector<ReferenceRow>> rows_;
  AcceptedPatterns accepted_;
};

// One assembled program loaded into a fresh target, PC at _start.
class Program {
 public:
  explicit Program(const std::string& name) : symbols_(read_symbols(program_path(name + ".sym"))) {
    EXPECT_TRUE(load_srecords(t.memory, program_path(name + ".s19"))) << name;
    t.regs.pc = static_cast<std::uint16_t>(symbol("_start"));
  }

  std::uint32_t symbol(const std::string& name) const {
    const auto it = symbols_.find(name);
    EXPECT_NE(it, symbols_.end()) << name;
    return it == symbols_.end() ? 0 : it->second;
  }
  // Global address of a data symbol (local address in the fixed RAM or flash).
  std::uint32_t global(const std::string& name) const {
    return Memory::local_to_global(static_cast<std::uint16_t>(symbol(name)), CpuRegs{});
  }
  void poke(const std::string& name, unsigned offset, std::uint8_t v) { t.memory.poke(global(name) + offset, v); }
  void poke_word(const std::string& name, unsigned offset, std::uint16_t v) {
    poke(name, offset, static_cast<std::uint8_t>(v >> 8));
    poke(name, offset + 1, static_cast<std::uint8_t>(v));
  }
  std::uint8_t peek(const std::string& name, unsigned offset = 0) const { return t.memory.peek(global(name) + offset); }
  std::uint16_t peek_word(const std::string& name, unsigned offset = 0) const {
    return static_cast<std::uint16_t>(peek(name, offset) << 8 | peek(name, offset + 1));
  }
  std::uint32_t peek_long(const std::string& name, unsigned offset = 0) const {
    return std::uint32_t{peek_word(name, offset)} << 16 | peek_word(name, offset + 2);
  }

  // Runs to `done`; returns the instructions executed.
  std::uint64_t run(std::uint64_t cap = 50'000'000) {
    const auto r = t.cpu.run_until(Memory::local_to_global(static_cast<std::uint16_t>(symbol("done")), CpuRegs{}), cap);
    EXPECT_TRUE(r.reached) << "the program did not reach done";
    return r.instructions;
  }

  // Runs to `done` one instruction at a time, checking that the cycles charged
  // equal the reference's for every instruction executed.
  void run_checking_cycles(const AcceptedPatterns& accepted = {}, std::uint64_t cap = 5'000'000) {
    ReferenceCycles reference(accepted);
    const std::uint32_t done = Memory::local_to_global(static_cast<std::uint16_t>(symbol("done")), CpuRegs{});
    std::uint64_t expected = 0, steps = 0;
    const std::uint32_t start_time = t.cpu.counters.time;
    int mismatches = 0;
    while (t.memory.LocalToGlobal(t.regs.pc) != done && steps++ < cap) {
      const std::uint32_t address = t.memory.LocalToGlobal(t.regs.pc);
      std::vector<std::uint8_t> bytes(8);
      for (int i = 0; i < 8; ++i) bytes[i] = t.memory.peek(address + i);
      const std::uint32_t before = t.cpu.counters.time;
      ASSERT_NE(t.cpu.step(), Cpu::kUndefined);
      const unsigned want = reference.cycles(bytes, address, t.memory.LocalToGlobal(t.regs.pc));
      expected += want;
      if (t.cpu.counters.time - before != want && ++mismatches < 10)
        ADD_FAILURE() << std::hex << "at 0x" << address << " opcode 0x" << int(bytes[0]) << " " << int(bytes[1])
                      << std::dec << ": charged " << (t.cpu.counters.time - before) << ", reference " << want;
    }
    EXPECT_LT(steps, cap);
    EXPECT_EQ(t.cpu.counters.time - start_time, expected);
    instructions = steps;
  }

  CpuTarget t;
  std::uint64_t instructions = 0;

 private:
  std::map<std::string, std::uint32_t> symbols_;
};

}  // namespace tav::test
