#include "sim/cpu.h"

#include <algorithm>

#include "sim/cpu_exec.h"
#include "sim/stretch_cache.h"
#include "sim/xgate_stepper.h"

namespace tav {

const DispatchTable& cpu_dispatch_table() {
  static const DispatchTable table = [] {
    DispatchTable t{};
    exec::register_loads_stores(t);
    exec::register_transfers(t);
    exec::register_flow(t);
    exec::register_misc(t);
    exec::register_read_modify_write(t);
    exec::register_bit_ops(t);
    exec::register_arithmetic(t);
    exec::register_stack(t);
    exec::register_divide_multiply(t);
    exec::register_fuzzy(t);
    exec::register_moves(t);
    for (auto& page : t)
      for (ExecFn& fn : page)
        if (!fn)
          fn = [](Cpu& cpu, const std::uint8_t*, std::uint32_t, std::uint16_t) {
            // No instruction ran: the stretch loops learn of it from the notice.
            cpu.scratch.entry = -1;
            cpu.memory.notice();
            return Cpu::kUndefined;
          };
    t[0][kPage2Prefix] = &Cpu::execute_page2;
    return t;
  }();
  return table;
}

Cpu::Cpu(CpuRegs& r, Memory& m) : regs(r), memory(m), dispatch_(&cpu_dispatch_table()) {}

std::uint32_t Cpu::execute_page2(Cpu& cpu, const std::uint8_t* code, std::uint32_t address, std::uint16_t local) {
  return (*cpu.dispatch_)[1][code[1]](cpu, code, address, local);
}

const std::uint8_t* Cpu::spill_code(std::uint32_t global) { return copy_instruction_bytes(memory, global, spill_); }

std::uint32_t Cpu::execute_with_xgate(std::uint32_t global) {
  std::uint32_t result = 0;
  std::uint32_t time_cycles = 0;
  if (xgate_->take_decode(global, 2, nullptr, 0, result, time_cycles)) {
    counters.time += time_cycles;
    return result;
  }
  XgateStepper* const xgate = xgate_;
  xgate_ = nullptr;  // the plain path below
  const std::uint32_t length = execute(global);
  xgate_ = xgate;
  if (length != kUndefined && length != 0) xgate_->cpu_executed(scratch.cycles);
  return length;
}

bool Cpu::take_interrupt() {
  const int number = pending_.lowest();
  if (number == 0 || !s12x_enabled || PendingInterrupts::masked(number, regs.ccr)) return false;
  pending_.clear(number);
  unsigned cycles = 0;
  if (wav.active) {
    // An interrupted wav: its partial sums go on the stack first and the
    // return address becomes the resume opcode (0x3C) inside the instruction.
    exec::push16(*this, wav.sum16);
    exec::push16(*this, static_cast<std::uint16_t>(wav.sum24));
    exec::push8(*this, static_cast<std::uint8_t>(wav.sum24 >> 16));
    wav.active = false;
    regs.pc = static_cast<std::uint16_t>(regs.pc + 1);
    cycles += kWavPushCost.cycles[0];
  }
  exec::push16(*this, regs.pc);
  exec::push16(*this, regs.y);
  exec::push16(*this, regs.x);
  exec::push8(*this, regs.a);
  exec::push8(*this, regs.b);
  exec::push16(*this, regs.ccr);
  regs.ccr |= CC_I;
  if (number <= 2) regs.ccr |= CC_X;
  const std::uint16_t vector = PendingInterrupts::vector_address(number, memory.peek(0x0121));
  const std::uint32_t vector_global = memory.LocalToGlobal(vector);
  regs.pc = static_cast<std::uint16_t>(memory.peek(vector_global) << 8 | memory.peek(vector_global + 1));
  cycles += kInterruptEntryCost.cycles[0];
  scratch.cycles = static_cast<std::uint16_t>(cycles);
  scratch.log.count = 0;
  counters.time += cycles;
  return true;
}

Cpu::~Cpu() = default;

namespace {

// Nothing in a bare run asks to look at an address.
struct NoCuts final : StretchCuts {
  bool quiet(std::uint32_t) const override { return true; }
  void* tag(std::uint32_t) const override { return nullptr; }
};
const NoCuts kNoCuts;

}  // namespace

Cpu::RunResult Cpu::run(std::uint64_t units) {
  if (xgate_ || !s12x_enabled) return run_stepping(units);
  if (!stretches_) stretches_ = std::make_unique<StretchCache>();
  if (stretches_layout_ != memory.layout()) {
    stretches_->clear();
    stretches_layout_ = memory.layout();
  }
  RunResult result;
  const std::uint32_t time0 = counters.time;
  const std::uint32_t nbins0 = counters.nbins;
  std::uint64_t done = 0;
  while (done < units) {
    if (pending_.any() && take_interrupt()) {
      ++result.interrupts;
      ++done;
      continue;
    }
    Stretch& s = stretches_->at(memory, regs, Memory::local_to_global(regs.pc, regs), kNoCuts);
    if (s.count == 0) {
      if (step() == kUndefined) {
        result.undefined = true;
        break;
      }
      ++done;
      continue;
    }
    // A memory notice (a hook that may raise an interrupt, a page register,
    // a new block in the store) ends the stretch after its instruction.
    const StretchInstruction* const first = s.insn;
    const StretchRun r =
        units - done > s.count
            ? run_stretch<false, true>(*this, memory, regs, first, first + s.count, memory.notices())
            : run_stretch<false, false>(*this, memory, regs, first, first + (units - done), memory.notices());
    done += r.executed(first) + (r.stop == StretchStop::Noticed);
    if (r.stop == StretchStop::Undefined) {
      result.undefined = true;
      break;
    }
    if (r.stop == StretchStop::Stale) stretches_->drop(s);
    if (memory.layout() != stretches_layout_) [[unlikely]] {
      stretches_->clear();
      stretches_layout_ = memory.layout();
    }
  }
  result.units = done;
  result.cycles = counters.time - time0;
  result.instructions = counters.nbins - nbins0;
  return result;
}

Cpu::RunResult Cpu::run_stepping(std::uint64_t units) {
  RunResult result;
  const std::uint32_t time0 = counters.time;
  const std::uint32_t nbins0 = counters.nbins;
  std::uint64_t done = 0;
  std::uint32_t interrupts = 0;
  for (; done < units; ++done) {
    if (pending_.any() && take_interrupt()) {
      ++interrupts;
      continue;
    }
    if (step() == kUndefined) {
      result.undefined = true;
      break;
    }
  }
  result.units = done;
  result.interrupts = interrupts;
  result.cycles = counters.time - time0;
  result.instructions = counters.nbins - nbins0;
  return result;
}

Cpu::RunResult Cpu::run_until(std::uint32_t global_pc, std::uint64_t max_units) {
  RunResult result;
  const std::uint32_t time0 = counters.time;
  const std::uint32_t nbins0 = counters.nbins;
  for (; result.units < max_units; ++result.units) {
    if (memory.LocalToGlobal(regs.pc) == global_pc) {
      result.reached = true;
      break;
    }
    if (pending_.any() && take_interrupt()) {
      ++result.interrupts;
      continue;
    }
    if (step() == kUndefined) {
      result.undefined = true;
      break;
    }
  }
  if (!result.reached && memory.LocalToGlobal(regs.pc) == global_pc) result.reached = true;
  result.cycles = counters.time - time0;
  result.instructions = counters.nbins - nbins0;
  return result;
}

int Cpu::log_consumed() const {
  if (scratch.entry < 0) return 0;
  const int data = entry_costs(scratch.entry, scratch.move_alt).data_of(scratch.alt);
  return data < scratch.log.count ? data : scratch.log.count;
}

void Cpu::reset_state() {
  scratch = InsnScratch{};
  wav = WavState{};
}

}  // namespace tav
