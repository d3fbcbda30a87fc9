#include "kernel/run_control.h"

#include <fstream>
#include <map>
#include <vector>

#include "disasm/cpu12_disasm.h"
#include "events/event_table.h"
#include "expr/frames.h"
#include "image/program.h"
#include "kernel/debugger.h"
#include "kernel/files.h"
#include "sim/cpu.h"

namespace tav {

namespace {

// Symbols and source lines for the instruction trace's disassembly.
class TraceLookup : public DisasmLookup {
 public:
  explicit TraceLookup(const Program& p) : program_(p) {}
  const char* symbol_by_value(std::uint32_t address, std::uint32_t& value) const override {
    const ProgramSymbol* s = program_.symbols().find_symbol_by_value(address);
    if (!s) return nullptr;
    value = s->value();
    return s->name.c_str();
  }
  bool line_at(std::uint32_t address, unsigned& line, unsigned& statement) const override {
    const DebugRecord* r = program_.tables().record_at(address);
    if (!r || !r->is_line()) return false;
    line = r->line;
    statement = 0;
    return true;
  }

 private:
  const Program& program_;
};

}  // namespace

RunControl::RunControl(Debugger& d) : d_(d) {
  // Every function entry and exit the call-stack tracking sees moves the
  // step-over depth while a step-over or finish is running.
  d_.frames.set_call_report([this](const FunctionBlock&, Core, bool entry) {
    if (!step_over_) return;
    if (entry)
      ++depth_;
    else if (depth_ > 0)
      --depth_;
  });
}

RunControl::~RunControl() { join(); }

void RunControl::join() {
  if (!worker_.joinable()) return;
  d_.run.stop_request = 1;
  worker_.join();
}

const LineIndex& RunControl::index() {
  index_.update(d_.program.tables());
  return index_;
}

// ------------------------------------------------------------ the instruction loop

RunControl::Step RunControl::instruction() {
  Cpu& cpu = d_.cpu;
  Step step;
  if (reset_pending_) [[unlikely]] {
    reset_pending_ = false;
    d_.registers.reset();
    cpu.reset_state();
  }
  const std::uint32_t pc = d_.memory.LocalToGlobal(d_.cpu_regs.pc);
  if (kernel_break_) [[unlikely]] {
    kernel_break_->clear_pending();
    kernel_break_->fetch(pc);
  }
  d_.events.clear_pending();

  char trace_text[kDisasmCapacity];
  CpuRegs before;
  if (itrace_) [[unlikely]]
    before = d_.cpu_regs;

  std::uint32_t length = 0;
  if (cpu.interrupts().any() && cpu.take_interrupt()) [[unlikely]] {
    step.interrupt = true;
  } else {
    length = cpu.execute(pc);
    step.undefined = length == Cpu::kUndefined || length == 0;
  }

  if (!callbacks_.empty()) [[unlikely]] {
    const std::uint32_t cycles = cpu.counters.time;
    callbacks_.dispatch([cycles](InstructionCallbacks::Entry& e) {
      if (e.has_param) {
        if (e.fn.with_param) e.fn.with_param(cycles, e.param);
      } else if (e.fn.plain) {
        e.fn.plain(cycles);
      }
    });
  }

  if (!step.undefined && !step.interrupt) {
    // Profiling: executions and cycles of the line (or function) holding the
    // instruction. A start record's executions are the function's call count,
    // kept by the call-stack tracking, so it gets the cycles only.
    if (DebugRecord* r = index_.covering(pc)) {
      if (!r->is_start()) ++r->hits;
      r->cycles += cpu.scratch.cycles;
    }
  }

  if (itrace_) [[unlikely]] {
    d_.target_commands.command_cycles = cpu.counters.time - command_start_cycles_;
    std::string line = d_.registers.registers_text(d_.target_commands.command_cycles);
    line += "    ";
    if (step.interrupt) {
      line += "(interrupt)";
    } else {
      TraceLookup lookup(d_.program);
      cpu12_disasm(d_.memory, before, pc, trace_text, sizeof trace_text, &lookup);
      line += trace_text;
    }
    line += "\n";
    putout(d_, line);
  }
  return step;
}

// The debug records at the program counter update the call-stack frames
// (which report entries and exits to the step-over depth).
void RunControl::pass_records(std::uint32_t pc) {
  DebugRecord* r = index_.at(pc);
  if (!r) return;
  CoreState state;
  state.active = d_.cpu.s12x_enabled;
  state.interrupt_pending = d_.cpu.interrupt_takeable();
  if (!state.active || state.interrupt_pending) return;
  const DebugRecord* end = d_.program.tables().records().data() + d_.program.tables().records().size();
  for (; r != end && r->value == pc; ++r)
    if (r->is_start() || r->is_end() || r->is_line()) d_.frames.update(*r, Core::Cpu12, state);
}

// Where a source position starts at `pc`: the record the stop is reported at.
const DebugRecord* RunControl::stop_record(std::uint32_t pc) const {
  const DebugRecord* r = index_.at(pc);
  if (!r) return nullptr;
  const DebugRecord* end = d_.program.tables().records().data() + d_.program.tables().records().size();
  for (; r != end && r->value == pc; ++r)
    if (r->is_start() || r->is_line()) return r;
  return nullptr;
}

bool RunControl::poll_stop() {
  if (--poll_countdown_ == 0) [[unlikely]] {
    poll_countdown_ = kPollEvery;
    if (!on_worker_) {
      const auto now = std::chrono::steady_clock::now();
      if (now - last_pump_ >= kPollPeriod) {
        last_pump_ = now;
        CheckForStop();
      }
    }
  }
  return d_.run.stop_request.load(std::memory_order_relaxed) != 0;
}

RunControl::UnitEnd RunControl::instruction_unit() {
  const Step s = instruction();
  const std::uint32_t pc = d_.memory.LocalToGlobal(d_.cpu_regs.pc);
  if (!s.undefined) pass_records(pc);
  if (kernel_break_ && kernel_break_->pending()) return UnitEnd::KernelBreak;
  poll_stop();
  return s.undefined ? UnitEnd::Undefined : UnitEnd::Line;
}

RunControl::UnitEnd RunControl::source_unit(bool go_mode) {
  EventTable& events = d_.events;
  for (;;) {
    const Step s = instruction();
    const std::uint32_t pc = d_.memory.LocalToGlobal(d_.cpu_regs.pc);
    if (s.undefined) [[unlikely]] {
      // The PC stays on an undefined opcode: a step ends, go keeps trying
      // until it is stopped.
      if (!go_mode) return UnitEnd::Undefined;
      if (poll_stop()) return UnitEnd::Stop;
      continue;
    }
    if (index_.at(pc)) [[unlikely]] {
      pass_records(pc);
      if (stop_record(pc) && !d_.cpu.interrupt_takeable()) {
        if (trace_) print_line_trace(*stop_record(pc));
        return UnitEnd::Line;
      }
    }
    if (kernel_break_ && kernel_break_->pending()) [[unlikely]]
      return UnitEnd::KernelBreak;
    if (poll_stop()) [[unlikely]]
      return UnitEnd::Stop;
    if (events.quick_due(pc)) [[unlikely]] {
      if (events.chkevent(EventCore::None, nullptr)) return UnitEnd::Event;
    }
  }
}

void RunControl::print_line_trace(const DebugRecord& r) {
  std::string text = std::string(r.name) + ":" + std::to_string(r.line);
  // The source text, from the file as the search path finds it.
  std::vector<std::string> candidates{host_path(r.name)};
  std::string path = d_.source_path;
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t bar = path.find('|', start);
    if (bar == std::string::npos) bar = path.size();
    std::string dir = path.substr(start, bar - start);
    if (!dir.empty()) candidates.push_back(host_path(dir) + "/" + host_path(r.name));
    start = bar + 1;
  }
  for (const std::string& name : candidates) {
    std::ifstream in(name);
    if (!in) continue;
    std::string line;
    for (unsigned n = 1; std::getline(in, line); ++n)
      if (n == r.line) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text += ": " + line;
        break;
      }
    break;
  }
  putout(d_, text + "\n");
}

// ------------------------------------------------------------ the driver loop

RunEnd RunControl::drive(RunRequest request) {
  Cpu& cpu = d_.cpu;
  index_.update(d_.program.tables());
  d_.run.running = true;
  nesting_ = true;
  step_over_ = request.step_over;
  depth_ = request.depth;
  trace_ = request.trace;
  itrace_ = request.itrace;
  command_start_cycles_ = cpu.counters.time;
  poll_countdown_ = kPollEvery;
  last_pump_ = std::chrono::steady_clock::now();
  d_.frames.reset_current();

  d_.host.status(StatusField::Left, request.go_type ? " Running " : " Stepping ");
  RawAccessWatcher* raw = kernel_break_ ? kernel_break_->raw_watcher() : nullptr;
  if (raw) d_.memory.set_raw_watcher(raw);

  const bool instruction_mode = request.instruction;
  std::int32_t count = request.count;
  std::uint32_t progress = 0;
  RunEnd end = RunEnd::Count;
  while (d_.run.stop_request.load(std::memory_order_relaxed) == 0) {
    if (!request.go && !animate_) {
      if (count == 0) break;
      --count;
    }
    if (!request.go) {
      ++progress;
      std::string text;
      if (animate_) {
        text = " Animate (" + std::to_string(progress) + ")";
      } else {
        text = " Stepping: " + std::to_string(progress);
        if (request.count != kNoLimit && !request.step_over) text += " out of " + std::to_string(request.count) + " ";
      }
      d_.host.status(StatusField::Left, text);
    }
    WinSetFakeIo(d_);

    const UnitEnd unit = instruction_mode ? instruction_unit() : source_unit(request.go);
    const std::uint32_t pc = d_.memory.LocalToGlobal(d_.cpu_regs.pc);
    const DebugRecord* line = stop_record(pc);
    const EventHit hit = d_.events.chkevent(EventCore::Cpu12, line);
    if (hit.stops()) {
      end = RunEnd::Event;
      break;
    }
    if (unit == UnitEnd::KernelBreak) {
      end = RunEnd::KernelBreak;
      break;
    }
    if (unit == UnitEnd::Stop) {
      end = RunEnd::Stop;
      break;
    }
    if (step_over_ && depth_ > 0 && !request.go) ++count;
    if (animate_) d_.host.refresh_views(kViewSource | kViewDisasm | kViewRegisters | kViewStack | kViewVariables);
  }
  if (d_.run.stop_request.load(std::memory_order_relaxed) != 0 && end == RunEnd::Count) end = RunEnd::Stop;
  if (raw) d_.memory.set_raw_watcher(nullptr);
  d_.target_commands.command_cycles = cpu.counters.time - command_start_cycles_;
  end_command();
  return end;
}

void RunControl::end_command() {
  d_.host.status(StatusField::Left, "Command");
  step_over_ = false;
  depth_ = 0;
  trace_ = itrace_ = false;
  nesting_ = false;
  d_.run.running = false;
  d_.host.refresh_views(kViewSource | kViewDisasm | kViewRegisters | kViewStack | kViewVariables | kViewMemory |
                        kViewMonitors);
}

bool RunControl::run_to_first_line(std::uint32_t* line_address) {
  index_.update(d_.program.tables());
  d_.run.stop_request = 0;
  d_.run.running = true;
  poll_countdown_ = kPollEvery;
  last_pump_ = std::chrono::steady_clock::now();
  bool reached = false;
  for (;;) {
    const Step s = instruction();
    if (s.undefined) break;
    const std::uint32_t pc = d_.memory.LocalToGlobal(d_.cpu_regs.pc);
    if (index_.at(pc)) {
      pass_records(pc);
      if (stop_record(pc) && !d_.cpu.interrupt_takeable()) {
        if (line_address) *line_address = pc;
        reached = true;
        break;
      }
    }
    if (poll_stop()) break;
  }
  d_.run.running = false;
  d_.host.status(StatusField::Left, "Command");
  return reached;
}

// ------------------------------------------------------------ zero and reset

void RunControl::reset_cpu() {
  d_.registers.reset();
  d_.cpu.reset_state();
  d_.cpu.interrupts().clear_all();
  d_.registers.WritePC(d_.program.entry_address());
  reset_pending_ = false;
}

void RunControl::reset_state() {
  step_over_ = false;
  depth_ = 0;
  d_.frames.reset();
}

// ------------------------------------------------------------ entry points

bool RunControl::IsTargetRunning() const { return d_.run.running; }

void RunControl::ExecTargetCode() {
  if (!IsTargetRunning()) docmd(d_, "go", 1);
}

void RunControl::StartTargetCode() {
  if (IsTargetRunning()) return;
  if (worker_.joinable()) worker_.join();  // the last run has ended
  // Running from now on, so that a "status" right after "start" sees it.
  d_.run.running = true;
  thread_start_ = true;
  worker_ = std::thread([this] {
    on_worker_ = true;
    docmd(d_, "go", 1);
    on_worker_ = false;
    thread_start_ = false;
    d_.run.running = false;
  });
}

void RunControl::StepCode(int count) {
  if (!IsTargetRunning()) docmd(d_, ("step " + std::to_string(count)).c_str(), 1);
}

void RunControl::StepTargetCode(int count) {
  if (!IsTargetRunning()) docmd(d_, ("istep " + std::to_string(count)).c_str(), 1);
}

void RunControl::AnimateTargetCode() {
  if (IsTargetRunning()) return;
  animate_ = true;
  docmd(d_, "step", 1);
  animate_ = false;
}

void RunControl::StopExecution() {
  d_.run.stop_request = 1;
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

std::uint32_t RunControl::SetStopFlag(std::uint32_t value) {
  d_.run.stop_request = value;
  return value;
}

std::uint32_t RunControl::GetStopFlag() const { return d_.run.stop_request; }

int RunControl::CheckForStop() {
  // The host handles what the user did meanwhile; a stop key or button sets
  // the stop request there.
  if (d_.host.pump_events()) d_.kernel.close_requested = true;
  return 0;
}

}  // namespace tav
