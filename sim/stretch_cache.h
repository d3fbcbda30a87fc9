// Stretches of code for the run loops: the executors of up to 32
// instructions in the order the loop expects them to run (on through jumps,
// calls and branches that always branch or branch back), chosen once, so
// that a loop need not fetch, dispatch and look up each instruction's
// address again and again.
//
// A stretch needs no invalidation. Before each instruction the loop checks
// that its opcode byte is still the one the executor was chosen for; the
// executor itself reads the current bytes, so a changed operand or postbyte
// takes effect at once, and a changed length, like a branch that went the
// other way, shows as a PC that did not arrive at the next instruction.
// Loaders, hooks and self-modifying code need no notice; a page-register
// write and a new block of the store are among the memory's notices, and
// call and rtc, which set PPAGE themselves, end a stretch.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "sim/cpu.h"
#include "sim/cpu_regs.h"
#include "sim/memory.h"

namespace tav {

struct alignas(32) StretchInstruction {
  ExecFn fn;
  const std::uint8_t* code;  // where its bytes lie in the store (its layout at build)
  std::uint32_t address;     // global
  std::uint16_t local;       // local, by the WritePC rules
  std::uint16_t next_pc;     // the local PC when it goes on to the next one
  std::uint8_t opcode;       // the first byte the executor was chosen for
  // A branch's other way, where the stretch holds it further on: the local
  // PC and how many instructions ahead it lies; else alt_pc is next_pc.
  std::uint8_t alt_skip;
  std::uint16_t alt_pc;
};
static_assert(sizeof(StretchInstruction) == 32, "a stretch instruction is one shift of the index");

// What the owner of a loop knows about addresses: where a stretch must not
// go on, and a tag of its own that stays the same along a stretch.
class StretchCuts {
 public:
  // Nothing at the address asks the loop to look at it.
  virtual bool quiet(std::uint32_t global) const = 0;
  virtual void* tag(std::uint32_t global) const = 0;

 protected:
  ~StretchCuts() = default;
};

struct Stretch;

// Where a stretch was last left for: the local PC, the global address it
// stands for under the stretch's pages, and the stretch found there. Valid
// while that stretch still begins there under the same pages.
struct StretchLink {
  std::uint16_t pc = 0;
  std::uint32_t global = 0;
  Stretch* to = nullptr;
};

struct Stretch {
  static constexpr unsigned kMaxLength = 32;
  static constexpr unsigned kLinks = 2;
  static constexpr std::uint32_t kNoStart = 0xFFFFFFFF;
  std::uint32_t start = kNoStart;  // global address of the first instruction
  std::uint32_t pages = 0;         // the code windows' page registers it was built under
  std::uint32_t page_mask = 0;     // those of them its instructions' addresses depend on
  std::uint32_t count = 0;         // none: the instruction at `start` cannot begin one
  bool quiet_start = false;        // nothing at `start` asks the loop to look at it
  std::uint8_t next_link = 0;      // the link slot replaced next
  void* tag = nullptr;             // the owner's tag of every address in the stretch
  StretchLink links[kLinks];       // only to stretches with a quiet start
  // The instructions, then one that is never still there (see kEnd), so
  // that a run to the end of the stretch needs no test of its own.
  StretchInstruction insn[kMaxLength + 1];

  // The stretch with a quiet start that begins at the local `pc` under the
  // same pages, if this one was left for it before.
  [[gnu::always_inline]] Stretch* linked(std::uint16_t pc) const {
    for (const StretchLink& l : links)
      if (l.pc == pc && l.to && l.to->start == l.global && l.to->pages == pages) return l.to;
    return nullptr;
  }
  void link(std::uint16_t pc, std::uint32_t global, Stretch& to) {
    links[next_link] = {pc, global, &to};
    next_link = static_cast<std::uint8_t>((next_link + 1) % kLinks);
  }
};

// The instruction after a stretch's last: its opcode byte never matches and
// it has no executor.
inline constexpr std::uint8_t kStretchEndByte = 0;
inline constexpr StretchInstruction kStretchEnd{nullptr, &kStretchEndByte, 0, 0, 0, 0xFF, 0, 0};

class StretchCache {
  static_assert(offsetof(CpuRegs, rpage) == offsetof(CpuRegs, ppage) + 1 &&
                offsetof(CpuRegs, epage) == offsetof(CpuRegs, ppage) + 2 &&
                offsetof(CpuRegs, gpage) == offsetof(CpuRegs, ppage) + 3);
  static constexpr std::uint32_t kPagesMask = std::endian::native == std::endian::little ? 0x00FFFFFFu : 0xFFFFFF00u;

 public:
  // The page registers that decide where local code addresses lead (ppage,
  // rpage and epage, side by side), in one load.
  [[gnu::always_inline]] static std::uint32_t pages_of(const CpuRegs& r) {
    std::uint32_t four;
    std::memcpy(&four, &r.ppage, sizeof four);
    return four & kPagesMask;
  }

  // The stretch beginning at `global` under the current page registers,
  // built on a miss.
  [[gnu::always_inline]] Stretch& at(const Memory& memory, const CpuRegs& regs, std::uint32_t global,
                                     const StretchCuts& cuts) {
    if (!slots_) [[unlikely]]
      slots_ = std::make_unique<Stretch[]>(kSlots);
    Stretch& s = slots_[slot_of(global)];
    if (s.start == global && ((pages_of(regs) ^ s.pages) & s.page_mask) == 0) [[likely]]
      return s;
    build(s, memory, regs, global, cuts);
    return s;
  }
  // The opcode byte is still the one the instruction's executor was chosen for.
  [[gnu::always_inline]] static bool still_there(const StretchInstruction& i) { return i.code[0] == i.opcode; }
  void drop(Stretch& s) { s.start = Stretch::kNoStart; }
  // Forgets every stretch: what may follow what, or the store's layout, has changed.
  void clear();

 private:
  static constexpr std::uint32_t kSlots = 1024;
  // The page register (as a mask over pages_of) that the window of a local
  // address depends on, none for the fixed windows.
  static std::uint32_t window_page(std::uint16_t local);
  static std::uint32_t slot_of(std::uint32_t global) { return (global ^ global >> 10) & (kSlots - 1); }
  static void build(Stretch& s, const Memory& memory, const CpuRegs& regs, std::uint32_t start,
                    const StretchCuts& cuts);

  std::unique_ptr<Stretch[]> slots_;
};

// Why a run of a stretch's instructions ended, at the instruction `in` of
// its StretchRun.
enum class StretchStop : std::uint8_t {
  Left,       // `in` is not the next instruction, or the limit was reached
  Stale,      // `in` has a new opcode byte; not executed
  Undefined,  // `in` reported an undefined opcode; nothing changed
  Noticed,    // `in` executed and caused a memory notice
};
struct StretchRun {
  const StretchInstruction* in;
  StretchStop stop;
  std::uint32_t cycles;   // charged for the instructions executed, when counted
  std::uint32_t skipped;  // instructions before `in` passed over on a branch's other way

  // How many instructions ran before `in` (see Cpu::run for a noticed one).
  std::uint32_t executed(const StretchInstruction* first) const {
    return static_cast<std::uint32_t>(in - first) - skipped;
  }
};

// Runs the instructions from `in` up to `end` while each arrives at the next
// and causes no memory notice (`notices` is the count before the first).
// A branch that goes its other way goes on where the stretch holds that
// path further on (a loop's body with a branch around part of it runs in
// one stretch either way), as long as that is not past `end`.
// kToEnd: `end` is the stretch's own end, which its closing instruction
// marks, so the loop tests only the opcode byte, the notices and the PC.
// An undefined opcode, which only a page-2 instruction's changed second byte
// can bring into a stretch, is among the notices (see cpu_dispatch_table),
// so that the loop need not test each executor's result. The cycles are
// summed only when kCountCycles: the profile counters want them per
// stretch, the bus-cycle counter has them anyway.
// The CPU's memory and registers come as arguments of their own, so that the
// compiler keeps them in registers across the executors' calls.
template <bool kCountCycles, bool kToEnd>
[[gnu::always_inline]] inline StretchRun run_stretch(Cpu& cpu, const Memory& memory, const CpuRegs& regs,
                                                     const StretchInstruction* in, const StretchInstruction* end,
                                                     std::uint64_t notices) {
  std::uint32_t cycles = 0;
  std::uint32_t skipped = 0;
  if (!kToEnd && in == end) [[unlikely]]
    return {in, StretchStop::Left, cycles, skipped};
  for (;;) {
    if (!StretchCache::still_there(*in)) [[unlikely]]
      return {in, in->fn ? StretchStop::Stale : StretchStop::Left, cycles, skipped};
    in->fn(cpu, in->code, in->address, in->local);
    if (memory.notices() != notices) [[unlikely]] {
      if (cpu.scratch.entry < 0) return {in, StretchStop::Undefined, cycles, skipped};
      if constexpr (kCountCycles) cycles += cpu.scratch.cycles;
      return {in, StretchStop::Noticed, cycles, skipped};
    }
    if constexpr (kCountCycles) cycles += cpu.scratch.cycles;
    if (regs.pc != in->next_pc) [[unlikely]] {
      if (regs.pc != in->alt_pc) return {in + 1, StretchStop::Left, cycles, skipped};
      skipped += in->alt_skip - 1u;
      in += in->alt_skip;
      if constexpr (!kToEnd) {
        if (in >= end) return {end, StretchStop::Left, cycles, skipped - static_cast<std::uint32_t>(in - end)};
      }
      continue;
    }
    ++in;
    if constexpr (!kToEnd) {
      if (in == end) [[unlikely]]
        return {in, StretchStop::Left, cycles, skipped};
    }
  }
}

}  // namespace tav
