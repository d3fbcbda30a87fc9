// The CPU12 core's instruction engine: decode-execute of one instruction at a
// time, the cycle and instruction counters, interrupt entry and a small run
// helper for tests and the run loop.
#pragma once
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "sim/cpu_regs.h"
#include "sim/decode_detail.h"
#include "sim/interrupts.h"
#include "sim/memory.h"

namespace tav {

class XgateStepper;
class Cpu;
class StretchCache;

// The kernel variables of the simulator (bound to `.time`, `.nbins`, `.xtime`,
// `.btime` and `.merr` by the kernel).
struct CpuCounters {
  std::uint32_t time = 0;   // total bus cycles
  std::uint32_t nbins = 0;  // instructions executed
  std::uint32_t xtime = 0;
  std::uint32_t btime = 0;  // cycle count at which the kernel's break check stops a run
  std::uint32_t merr = 0;
};

// The global addresses of an instruction's memory operands, in access order.
struct AccessLog {
  static constexpr int kCapacity = 8;
  std::uint8_t count = 0;
  std::uint32_t address[kCapacity + 1] = {};  // the last takes what a full log drops
  // Without a branch: one add per memory operand, on every instruction's path.
  void add(std::uint32_t a) {
    address[count] = a;
    count = static_cast<std::uint8_t>(count + (count < kCapacity ? 1 : 0));
  }
};

// Scratch state of the instruction in progress (and, after it, of the last one).
struct InsnScratch {
  // The first eight bytes (the entry, both alternatives and the log's count)
  // are reset by one store as each instruction begins: see begin().
  std::int16_t entry = -1;        // opcode table entry of the last instruction, -1 for none
  std::uint8_t alt = 0;           // pattern alternative
  std::uint8_t move_alt = 0;      // moves: the first operand's alternative
  AccessLog log;
  std::uint8_t page_or_mask = 0;  // call page or bit mask
  std::uint16_t deferred_code = 0;  // register code of a deferred auto-increment write, 0 for none
  std::uint16_t deferred_value = 0;
  std::uint16_t cycles = 0;       // cycles charged for the last instruction or interrupt entry

  [[gnu::always_inline]] void begin(std::int16_t e) {
    static_assert(offsetof(InsnScratch, alt) == 2 && offsetof(InsnScratch, move_alt) == 3 &&
                  offsetof(InsnScratch, log) == 4 && offsetof(AccessLog, count) == 0 &&
                  offsetof(AccessLog, address) == 4);
    const std::uint64_t low = static_cast<std::uint16_t>(e);
    const std::uint64_t header = std::endian::native == std::endian::little ? low : low << 48;
    std::memcpy(static_cast<void*>(this), &header, sizeof header);  // the log's padding goes along
  }
};

// A weighted average in progress: wav executes one element at a time.
struct WavState {
  std::uint32_t sum24 = 0;
  std::uint16_t sum16 = 0;
  bool active = false;
};

// Executes the instruction whose bytes start at `code` (at least
// kMaxInstructionLength of them) and whose first byte is at global `address`,
// local `local` by the WritePC rules; returns its length.
using ExecFn = std::uint32_t (*)(Cpu& cpu, const std::uint8_t* code, std::uint32_t address, std::uint16_t local);
using DispatchTable = std::array<std::array<ExecFn, 256>, 2>;

class Cpu {
 public:
  static constexpr std::uint32_t kUndefined = 0xFFFF;

  Cpu(CpuRegs& regs, Memory& memory);
  ~Cpu();

  // Decode-execute at `global`: the instruction's length, kUndefined for an
  // undefined opcode (nothing changed, no cycles), 0 when the S12X core is
  // switched off for execution. The PC ends after the instruction by the
  // WritePC rules with every page register kept, unless the instruction
  // moved it.
  std::uint32_t execute(std::uint32_t global) {
    if (xgate_) [[unlikely]]
      return execute_with_xgate(global);
    if (!s12x_enabled) [[unlikely]]
      return 0;
    // Every slot holds an executor: the prefix's passes on to page 2, an
    // undefined opcode's reports kUndefined.
    const std::uint8_t* code = code_at(global);
    return (*dispatch_)[0][code[0]](*this, code, global, local_of_global(global));
  }
  // execute() for a run loop that has made sure that no XGATE is attached
  // and the S12X core is on.
  std::uint32_t execute_alone(std::uint32_t global) {
    const std::uint8_t* code = code_at(global);
    return (*dispatch_)[0][code[0]](*this, code, global, local_of_global(global));
  }
  // One instruction at the PC.
  std::uint32_t step() { return execute(Memory::local_to_global(regs.pc, regs)); }

  // Interrupts. Takeable: the lowest pending number exists, the S12X core is
  // on and the number is not masked.
  PendingInterrupts& interrupts() { return pending_; }
  void RaiseInterrupt(std::uint32_t vector) { pending_.RaiseInterrupt(vector); }
  bool interrupt_takeable() const {
    if (!pending_.any()) return false;
    return s12x_enabled && !PendingInterrupts::masked(pending_.lowest(), regs.ccr);
  }
  // Enters the takeable interrupt (stacking, vector); false when there is none.
  bool take_interrupt();

  // One unit of the instruction loop: a takeable interrupt is entered instead
  // of the instruction. Returns the instruction's result, or 1 for an entry.
  std::uint32_t step_unit() {
    if (pending_.any() && take_interrupt()) return 1;
    return step();
  }

  struct RunResult {
    std::uint64_t units = 0;         // loop units done (instructions and interrupt entries)
    std::uint64_t instructions = 0;  // instructions executed
    std::uint64_t cycles = 0;        // bus cycles charged
    std::uint32_t interrupts = 0;    // interrupt entries
    bool undefined = false;          // stopped on an undefined opcode (PC left on it)
    bool reached = false;            // run_until: the PC reached the address
  };
  // Runs `units` units of the instruction loop, taking code from a stretch
  // cache (see stretch_cache.h) unless an XGATE is attached.
  RunResult run(std::uint64_t units);
  // Runs until the global PC equals `global_pc` (checked before each unit), at most `max_units`.
  RunResult run_until(std::uint32_t global_pc, std::uint64_t max_units);

  // The XGATE's part of decode-execute, when an XGATE is present.
  void set_xgate(XgateStepper* xgate) { xgate_ = xgate; }
  XgateStepper* xgate() const { return xgate_; }

  // Reset of the engine's own state (pending interrupts stay; the kernel clears them).
  void reset_state();

  // The logged addresses that the data letters of the last instruction's
  // charged alternative take (none after an interrupt entry). Worked out
  // when asked: nothing on the execution path reads it.
  int log_consumed() const;

  CpuRegs& regs;
  Memory& memory;
  CpuCounters counters;
  InsnScratch scratch;
  WavState wav;
  bool s12x_enabled = true;  // the host's "X12 selection for execution"

 private:
  std::uint32_t execute_with_xgate(std::uint32_t global);
  friend const DispatchTable& cpu_dispatch_table();
  static std::uint32_t execute_page2(Cpu& cpu, const std::uint8_t* code, std::uint32_t address, std::uint16_t local);
  // The instruction's bytes: in place, or copied when it may run past its block's end.
  [[gnu::always_inline]] const std::uint8_t* code_at(std::uint32_t global) {
    if (instruction_in_block(global)) [[likely]]
      return memory.peek_block(global);
    return spill_code(global);
  }
  const std::uint8_t* spill_code(std::uint32_t global);

  RunResult run_stepping(std::uint64_t units);

  const DispatchTable* dispatch_;
  std::unique_ptr<StretchCache> stretches_;  // made by the first run()
  std::uint32_t stretches_layout_ = 0;       // the store layout they were made for
  PendingInterrupts pending_;
  XgateStepper* xgate_ = nullptr;
  std::uint8_t spill_[kMaxInstructionLength] = {};
};

// The dispatch table built from the opcode table, shared by every Cpu.
const DispatchTable& cpu_dispatch_table();

}  // namespace tav
