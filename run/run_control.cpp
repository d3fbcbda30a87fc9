#include "run/run_control.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <vector>

#include "disasm/cpu12_disasm.h"
#include "events/event_table.h"
#include "expr/frames.h"
#include "image/program.h"
#include "kernel/debugger.h"
#include "kernel/files.h"
#include "run/program_disasm_lookup.h"
#include "sim/cpu.h"

namespace tav {

RunControl::RunControl(Debugger& d) : d_(d), cuts_{index_, d.events} {
  // Every function entry and exit the call-stack tracking sees moves the
  // step-over depth while a step-over or finish is running.
  d_.frames.set_call_report([this](const FunctionBlock&, Core, bool entry) {
    if (!step_over_) return;
    if (entry)
      ++depth_;
    else if (depth_ > 0)
      --depth_;
  });
  // An end record with no frame to pop is the kernel's error to report.
  d_.frames.set_error_sink([this](std::string_view text) { errout(d_, {text}); });
}

RunControl::~RunControl() { join(); }

void RunControl::join() {
  if (!worker_.joinable()) return;
  d_.run.request_stop();
  worker_.join();
}

void RunControl::stop_run() {
  const RunState::Ticket ticket = d_.run.request_stop();
  if (worker_.get_id() == std::this_thread::get_id()) return;  // the run's own command: it ends the run
  if (worker_.joinable()) {
    worker_.join();
    d_.run.withdraw(ticket);
    return;
  }
  // No run to stop: the request ends the loops of the line "stop" stands in,
  // and is taken back when that line ends (see end_of_line in kernel/interp.h).
  d_.kernel.line_stop = ticket;
  d_.kernel.line_stop_pending = true;
}

const LineIndex& RunControl::index() {
  index_.update(d_.program.tables());
  return index_;
}

// ------------------------------------------------------------ the instruction loop

// The XGATE's parts of the loop compile away while the CPU12 runs alone.
RunControl::Step RunControl::instruction() {
  if (d_.cpu.xgate()) return instruction_with<true>();
  xgate_step_ = xgate_arrived_ = false;
  return instruction_with<false>();
}

template <bool kWithXgate>
RunControl::Step RunControl::instruction_with() {
  Cpu& cpu = d_.cpu;
  Step step;
  if (reset_pending_) [[unlikely]] {
    reset_pending_ = false;
    d_.registers.reset();
    cpu.reset_state();
  }
  std::uint32_t pc = d_.memory.LocalToGlobal(d_.cpu_regs.pc);
  // With the XGATE taking part the instruction may be the XGATE's: then `pc`
  // becomes the XGATE's address of it.
  std::uint32_t execute_at = pc;
  std::uint32_t xgate_cycles = 0;
  if constexpr (kWithXgate) {
    xgate_step_ = xgate_arrived_ = false;
    if (!cpu.interrupt_takeable()) {
      execute_at = execute_either(pc);
      if (xgate_arrived_) {
        unit_xgate_ = true;
        return step;
      }
    }
  }
  const bool xgate = kWithXgate && xgate_step_;
  if (kernel_watch_) [[unlikely]]
    kernel_break_->begin_instruction(pc);
  d_.events.clear_pending();

  char trace_text[kDisasmCapacity];
  CpuRegs before;
  if (itrace_) [[unlikely]]
    before = d_.cpu_regs;

  std::uint32_t length = 0;
  if (cpu.interrupts().any() && cpu.take_interrupt()) [[unlikely]] {
    step.interrupt = true;
  } else if (xgate) {
    const std::uint32_t total = cpu.counters.time + cpu.counters.xtime;
    length = cpu.execute(execute_at);
    step.undefined = length != 2;
    xgate_cycles = cpu.counters.time + cpu.counters.xtime - total;
    xgate_expected_pc_ = d_.xgate.quiet_ppc();
  } else {
    length = cpu.execute(execute_at);
    step.undefined = length == Cpu::kUndefined || length == 0;
  }
  if constexpr (kWithXgate) (xgate ? unit_xgate_ : unit_cpu12_) = true;

  if (!callbacks_.empty()) [[unlikely]]
    dispatch_callbacks();

  if (!step.undefined && !step.interrupt) {
    // Profiling: executions and cycles of the line (or function) holding the
    // instruction. A start record's executions are the function's call count,
    // kept by the call-stack tracking, so it gets the cycles only.
    if (DebugRecord* r = index_.covering(pc)) {
      if (!r->is_start()) ++r->hits;
      r->cycles += xgate ? xgate_cycles : cpu.scratch.cycles;
    }
  }

  if (itrace_) [[unlikely]] {
    d_.target_commands.command_cycles = cpu.counters.time - command_start_cycles_;
    std::string line =
        d_.registers.registers_text(d_.target_commands.command_cycles, xgate || d_.xgate_only());
    line += "    ";
    if (step.interrupt) {
      line += "(interrupt)";
    } else if (xgate) {
      d_.xgate.decode(pc, kXgateFlagText, trace_text, sizeof trace_text);
      line += trace_text;
    } else {
      ProgramDisasmLookup lookup(d_.program, false);
      cpu12_disasm(d_.memory, before, pc, trace_text, sizeof trace_text, &lookup);
      line += trace_text;
    }
    line += "\n";
    putout(d_, line);
  }
  if (kernel_watch_) [[unlikely]] {
    kernel_hit_ = kernel_break_->end_instruction();
    update_kernel_watch();
  }
  return step;
}

// The low-level breakpoints watch the instructions of run commands only (not
// the run to the first C line of a load), and only while they or the break
// time exist. The instruction loop tests this flag alone; it is worked out
// again wherever commands may have changed the breakpoints or `.btime`: when
// a run command starts, after an instruction the check watched, after the
// per-instruction callbacks and after the event checks (attached commands).
void RunControl::update_kernel_watch() {
  kernel_watch_ = d_.kernel.in_run_command && kernel_break_ && (kernel_break_->armed() || d_.cpu.counters.btime != 0);
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

// The XGATE's frames follow the records of its own units, only while a thread
// runs; the CPU12's interrupts do not concern it.
void RunControl::pass_xgate_records(std::uint32_t pc) {
  DebugRecord* r = index_.at(pc);
  if (!r || !d_.xgate.enabled() || !d_.xgate.running()) return;
  const DebugRecord* end = d_.program.tables().records().data() + d_.program.tables().records().size();
  for (; r != end && r->value == pc; ++r)
    if (r->coprocessor && (r->is_start() || r->is_end() || r->is_line())) d_.frames.update(*r, Core::Xgate, {});
}

// With the XGATE taking part: which core runs the next instruction. Sets
// `xgate_step_` and `pc` (the instruction's own global address) and returns
// the address the CPU12 decoder is to be called with: the XGATE's program
// counter in processor mode 2, otherwise the CPU12's (in mode 3 the decoder
// itself turns to the XGATE while its cycle budget lasts).
std::uint32_t RunControl::execute_either(std::uint32_t& pc) {
  switch (d_.xgate_stepper.next_decode(pc)) {
    case XgateStepper::Next::Cpu12: return pc;
    case XgateStepper::Next::XgateAtAddress:
      xgate_step_ = true;
      if (d_.xgate_stepper.mode() != XgateStepper::XgateOnly) return pc;  // XGATE code at the CPU12's PC
      pc = d_.xgate.quiet_ppc();
      break;
    case XgateStepper::Next::XgateAtPc: {
      xgate_step_ = true;
      const std::uint32_t cpu_pc = pc;
      pc = d_.xgate.quiet_ppc();
      if (pc != xgate_expected_pc_) break;
      return cpu_pc;
    }
  }
  // The XGATE runs at its own program counter: when that is not where its
  // last instruction left it, it arrived there first.
  if (pc != xgate_expected_pc_) {
    xgate_expected_pc_ = pc;
    xgate_arrived_ = true;
  }
  return pc;
}

// The program counter of the core that executed the last instruction, afterwards.
std::uint32_t RunControl::pc_after() const {
  return xgate_step_ ? d_.xgate.quiet_ppc() : d_.memory.LocalToGlobal(d_.cpu_regs.pc);
}

// The source-line loop stops where a source position starts: for the CPU12
// unless an interrupt is about to be entered, for the XGATE while its thread runs.
bool RunControl::xgate_line_stop(std::uint32_t pc) const {
  const DebugRecord* r = stop_record(pc);
  return r && r->coprocessor && d_.xgate.running();
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
  return d_.run.stop_requested();
}

RunControl::UnitEnd RunControl::instruction_unit() {
  Step s = instruction();
  if (xgate_arrived_) [[unlikely]] {
    // An instruction step executes an instruction: the arrival only passes
    // the records where the XGATE begins.
    pass_xgate_records(pc_after());
    s = instruction();
  }
  const std::uint32_t pc = pc_after();
  if (!s.undefined) xgate_step_ ? pass_xgate_records(pc) : pass_records(pc);
  if (s.undefined) note_undefined(pc, xgate_step_);
  if (kernel_hit_) [[unlikely]]
    return UnitEnd::KernelBreak;
  poll_stop();
  return s.undefined ? UnitEnd::Undefined : UnitEnd::Line;
}

RunControl::UnitEnd RunControl::source_unit(bool go_mode) {
  return d_.cpu.xgate() ? source_unit_with<true>(go_mode) : source_unit_with<false>(go_mode);
}

template <bool kWithXgate>
RunControl::UnitEnd RunControl::source_unit_with(bool go_mode) {
  EventTable& events = d_.events;
  for (;;) {
    Step s;
    if (kWithXgate || !plain_instructions(s)) s = instruction_with<kWithXgate>();
    const bool xgate = kWithXgate && xgate_step_;
    const std::uint32_t pc = xgate ? d_.xgate.quiet_ppc() : d_.memory.LocalToGlobal(d_.cpu_regs.pc);
    if (s.undefined) [[unlikely]] {
      // The PC stays on an undefined opcode: a step ends, go keeps trying
      // until it is stopped.
      note_undefined(pc, xgate);
      if (kernel_hit_) return UnitEnd::KernelBreak;
      if (!go_mode) return UnitEnd::Undefined;
      if (poll_stop()) return UnitEnd::Stop;
      continue;
    }
    if (index_.at(pc)) [[unlikely]] {
      xgate ? pass_xgate_records(pc) : pass_records(pc);
      if (xgate ? xgate_line_stop(pc) : (stop_record(pc) && !d_.cpu.interrupt_takeable())) {
        if (trace_) print_line_trace(*stop_record(pc));
        return kernel_hit_ ? UnitEnd::KernelBreak : UnitEnd::Line;
      }
    }
    if (kernel_hit_) [[unlikely]]
      return UnitEnd::KernelBreak;
    if (poll_stop()) [[unlikely]]
      return UnitEnd::Stop;
    if (events.quick_due(pc)) [[unlikely]] {
      if (events.chkevent(EventCore::None, nullptr)) return UnitEnd::Event;
      update_kernel_watch();
    }
  }
}

void RunControl::dispatch_callbacks() {
  const std::uint32_t cycles = d_.cpu.counters.time;
  callbacks_.dispatch([cycles](InstructionCallbacks::Entry& e) {
    if (e.has_param) {
      if (e.fn.with_param) e.fn.with_param(cycles, e.param);
    } else if (e.fn.plain) {
      e.fn.plain(cycles);
    }
  });
  if (!kernel_watch_) update_kernel_watch();  // on only: the check ends what it began
}

// The CPU12 alone with nothing watching its instructions one by one (no
// instruction trace, callbacks, low-level breakpoints or pending
// interrupt): instructions run here with only the work the source loop
// would do for them, the profile counters, the stop request and the quick
// event test. The first instruction that needs more (an undefined opcode, a
// debug record at the new PC, a due event, a stop request, a host poll, a
// memory hook that ran) is left to the source loop to finish; `last` is its
// step. False when nothing was executed.
//
// Code runs from the stretch cache: inside a stretch no instruction sits
// where the loop must look (a debug record, an address event, another line's
// profile counters), so after each one only the memory's notices and the PC
// are tested.
bool RunControl::plain_instructions(Step& last) {
  Cpu& cpu = d_.cpu;
  if (itrace_ || kernel_watch_) return false;
  // Between two instructions here only a hook or the host poll can request a
  // reset, add a callback or raise an interrupt, and both end the loop: one
  // look before the first instruction is enough. (Another thread's request
  // during a background run is asynchronous anyway; it is seen within one
  // poll period.)
  if (reset_pending_ || !callbacks_.empty() || cpu.interrupts().any() || cpu.xgate() || !cpu.s12x_enabled) return false;
  EventTable& events = d_.events;
  Memory& memory = d_.memory;
  const CpuRegs& regs = d_.cpu_regs;
  if (stretches_index_generation_ != index_.generation() || stretches_event_generation_ != events.generation() ||
      stretches_layout_ != memory.layout()) {
    stretches_.clear();
    stretches_index_generation_ = index_.generation();
    stretches_event_generation_ = events.generation();
    stretches_layout_ = memory.layout();
  }
  std::uint32_t pc = memory.LocalToGlobal(regs.pc);
  DebugRecord* cover = index_.covering(pc);
  // A memory notice (a hook ran, a page register or a watched variable was
  // written) hands the instruction that caused it to the source loop, which
  // does what the general loop would after it: callbacks, events, the PC's
  // new mapping.
  auto noticed = [&] {
    if (!callbacks_.empty()) dispatch_callbacks();
    return true;
  };
  // Executed one instruction and went on to the PC: true when the loop ends there.
  auto ends_at_new_pc = [&] {
    pc = memory.LocalToGlobal(regs.pc);
    if (index_.at_and_covering(pc, cover) || poll_countdown_ <= 1 || d_.run.stop_requested() || events.quick_due(pc))
      [[unlikely]]
      return true;
    --poll_countdown_;
    return false;
  };
  // The loop goes on only while no data event is pending: clearing once is enough.
  events.clear_pending();
  const std::uint64_t notices = memory.notices();
  Stretch* stretch = &stretches_.at(memory, regs, pc, cuts_);
  for (;;) {
    const StretchInstruction* const first = stretch->insn;
    // The poll is due after poll_countdown_ instructions: a stretch runs no
    // further, so that its instructions need no countdown of their own.
    const std::uint32_t budget = poll_countdown_ > 1 ? poll_countdown_ - 1 : 0;
    // Inside a stretch nothing sits where the loop must look, so only the PC
    // is tested; a stop request from another thread or the host is seen at
    // the poll, one from a hook by its notice.
    // Cycles are summed only for a line's profile counters.
    const StretchRun r = budget < stretch->count
                             ? run_stretch<true, false>(cpu, memory, regs, first, first + budget, notices)
                         : cover ? run_stretch<true, true>(cpu, memory, regs, first, first + stretch->count, notices)
                                 : run_stretch<false, true>(cpu, memory, regs, first, first + stretch->count, notices);
    const StretchInstruction* const in = r.in;
    // The line's profile counters, once for the stretch.
    auto book = [&](std::uint32_t executed) {
      if (!cover) return;
      if (!cover->is_start()) cover->hits += executed;
      cover->cycles += r.cycles;
    };
    const std::uint32_t executed = r.executed(first);
    if (r.stop == StretchStop::Undefined || r.stop == StretchStop::Noticed) [[unlikely]] {
      if (r.stop == StretchStop::Undefined) {
        book(executed);
        last.undefined = true;
        return true;
      }
      book(executed + 1);
      return noticed();
    }
    book(executed);
    poll_countdown_ -= executed;
    if (r.stop == StretchStop::Stale) [[unlikely]] {
      // New code where the stretch was cut: it is cut again next time, and
      // this instruction runs on its own.
      stretches_.drop(*stretch);
      pc = in->address;
    } else if (in != first) [[likely]] {
      // Off to a stretch this one was left for before: its start needs no
      // look and its line is known.
      Stretch* next = StretchCache::pages_of(regs) == stretch->pages ? stretch->linked(regs.pc) : nullptr;
      if (next && poll_countdown_ > 1 && !d_.run.stop_requested()) [[likely]] {
        pc = next->start;
        cover = static_cast<DebugRecord*>(next->tag);
        stretch = next;
        continue;
      }
      if (ends_at_new_pc()) return true;
      Stretch& found = stretches_.at(memory, regs, pc, cuts_);
      if (found.quiet_start && StretchCache::pages_of(regs) == stretch->pages) stretch->link(regs.pc, pc, found);
      stretch = &found;
      continue;
    }
    // An instruction that cannot be run from a stretch runs on its own.
    if (cpu.execute_alone(pc) == Cpu::kUndefined) [[unlikely]] {
      last.undefined = true;
      return true;
    }
    if (cover) {
      if (!cover->is_start()) ++cover->hits;
      cover->cycles += cpu.scratch.cycles;
    }
    if (memory.notices() != notices) [[unlikely]]
      return noticed();
    if (ends_at_new_pc()) return true;
    stretch = &stretches_.at(memory, regs, pc, cuts_);
  }
}

bool RunControl::LoopCuts::quiet(std::uint32_t global) const {
  return !index.at(global) && !events.may_be_due_at(global);
}

void* RunControl::LoopCuts::tag(std::uint32_t global) const { return index.covering(global); }

void RunControl::note_undefined(std::uint32_t pc, bool xgate) {
  undefined_pc_ = pc;
  undefined_xgate_ = xgate;
}

void RunControl::print_line_trace(const DebugRecord& r) { putout(d_, source_line_text(d_, r) + "\n"); }

std::string source_line_text(const Debugger& d, const DebugRecord& r) {
  std::string text = std::string(r.name) + ":" + std::to_string(r.line);
  // The source text, from the file as the search path finds it.
  std::vector<std::string> candidates{host_path(r.name)};
  std::string path = d.source_path;
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
  return text;
}

// ------------------------------------------------------------ the driver loop

RunEnd RunControl::drive(RunRequest request) {
  Cpu& cpu = d_.cpu;
  d_.sync_xgate();
  index_.update(d_.program.tables());
  d_.run.running = true;
  d_.kernel.in_run_command = true;
  kernel_hit_ = false;
  update_kernel_watch();
  step_over_ = request.step_over;
  depth_ = request.depth;
  trace_ = request.trace;
  itrace_ = request.itrace;
  command_start_cycles_ = cpu.counters.time;
  poll_countdown_ = kPollEvery;
  last_pump_ = std::chrono::steady_clock::now();
  d_.frames.reset_current();

  ExtensionNotices::call(d_.notices.status, 1);  // extension hook point: the target runs
  d_.host.status(StatusField::Left, request.go_type ? " Running " : " Stepping ");
  d_.host.refresh_views(kViewRunning);

  report_.hit = {};
  report_.xgate_hit = false;
  undefined_pc_ = UINT32_MAX;
  const bool instruction_mode = request.instruction;
  std::int32_t count = request.count;
  std::uint32_t progress = 0;
  RunEnd end = RunEnd::Count;
  while (!d_.run.stop_requested()) {
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

    unit_cpu12_ = unit_xgate_ = false;
    undefined_pc_ = UINT32_MAX;
    const UnitEnd unit = instruction_mode ? instruction_unit() : source_unit(request.go);
    const std::uint32_t pc = d_.memory.LocalToGlobal(d_.cpu_regs.pc);
    const DebugRecord* line = stop_record(pc);
    // Each core that ran in the unit has its events checked, the CPU12 first
    // (always, when the XGATE takes no part).
    EventHit hit;
    if (unit_cpu12_ || !unit_xgate_) hit = d_.events.chkevent(EventCore::Cpu12, line);
    if (hit) update_kernel_watch();  // its attached commands may have set breakpoints
    report_.hit = hit;
    report_.xgate_hit = false;
    if (!hit.stops() && unit_xgate_ && d_.xgate.enabled()) {
      const std::uint32_t xpc = d_.xgate.quiet_ppc();
      hit = d_.events.chkevent(EventCore::Xgate, stop_record(xpc));
      if (hit) {
        update_kernel_watch();
        report_.hit = hit;
        report_.xgate_hit = true;
      }
    }
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
    if (animate_) d_.refresh(kViewSource | kViewDisasm | kViewRegisters | kViewStack | kViewVariables);
  }
  if (d_.run.stop_requested() && end == RunEnd::Count) end = RunEnd::Stop;
  if (end == RunEnd::KernelBreak) kernel_break_->report_stop();
  ++report_.serial;
  report_.end = end;
  // The PC still stands where the undefined opcode was met (an interrupt
  // may have taken it elsewhere since).
  report_.undefined = undefined_pc_ != UINT32_MAX &&
                      undefined_pc_ == (undefined_xgate_ ? d_.xgate.quiet_ppc() : d_.memory.LocalToGlobal(d_.cpu_regs.pc));
  report_.xgate_undefined = report_.undefined && undefined_xgate_;
  d_.target_commands.command_cycles = cpu.counters.time - command_start_cycles_;
  end_command();
  return end;
}

void RunControl::end_command() {
  mark_running_functions();
  d_.host.status(StatusField::Left, "Command");
  step_over_ = false;
  depth_ = 0;
  trace_ = itrace_ = false;
  d_.kernel.in_run_command = false;
  kernel_watch_ = false;
  // A run on the "start" thread counts as running until its whole command has
  // ended (the thread clears the flag last), so that nobody else touches the
  // host or the target while this thread still refreshes and reports.
  if (!on_worker_) d_.run.running = false;
  ExtensionNotices::call(d_.notices.status, 0);  // extension hook point: the target stopped
  constexpr unsigned views =
      kViewSource | kViewDisasm | kViewRegisters | kViewStack | kViewVariables | kViewMemory | kViewMonitors | kViewStopped;
  d_.host.refresh_views(views);
  d_.notices.views_refreshed(views);
}

bool RunControl::run_to_first_line(std::uint32_t* line_address) {
  // This run is the CPU12's start-up code: the XGATE keeps out of it.
  d_.cpu.set_xgate(nullptr);
  index_.update(d_.program.tables());
  // An entry point at a function's start record enters that function.
  if (d_.frames.depth(Core::Cpu12) == 0) pass_records(d_.memory.LocalToGlobal(d_.cpu_regs.pc));
  d_.run.running = true;
  poll_countdown_ = kPollEvery;
  last_pump_ = std::chrono::steady_clock::now();
  bool reached = false;
  // Start-up code that never reaches a C line (damaged debug information,
  // a program that loops before main) ends the load after a bound instead
  // of keeping it busy until a stop.
  for (std::uint32_t executed = 0; executed < first_line_limit_; ++executed) {
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
  d_.sync_xgate();
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
  xgate_expected_pc_ = UINT32_MAX;
  step_over_ = false;
  depth_ = 0;
  d_.frames.reset();
  mark_running_functions();
}

void RunControl::adopt_running_function() {
  if (d_.frames.depth(Core::Cpu12) != 0) return;
  const std::uint32_t pc = d_.memory.LocalToGlobal(d_.cpu_regs.pc);
  FunctionBlock* f = d_.program.tables().function_at(pc);
  if (!f || !f->start || FrameStacks::is_xgate_unit(*f)) return;
  index_.update(d_.program.tables());
  if (f->start->value == pc)
    pass_records(pc);  // at its start record: entered as a call would enter it
  else
    d_.frames.adopt(*f, Core::Cpu12);
  mark_running_functions();
}

void RunControl::mark_running_functions() {
  for (const FileEntry* file : d_.program.tables().files())
    for (FunctionBlock* f : file->functions) f->exec_mark = d_.frames.in_stack(f);
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
  // The run is active from now on: a stop request made before its "go"
  // begins is kept for it.
  d_.run.begin_command();
  worker_ = std::thread([this] {
    on_worker_ = true;
    docmd(d_, "go", 1);
    on_worker_ = false;
    thread_start_ = false;
    d_.run.running = false;
    d_.run.end_command();
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
  d_.run.request_stop();
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

std::uint32_t RunControl::SetStopFlag(std::uint32_t value) {
  d_.run.set_stop_value(value);
  return value;
}

std::uint32_t RunControl::GetStopFlag() const { return d_.run.stop_value(); }

int RunControl::CheckForStop() {
  // The host handles what the user did meanwhile; a stop key or button sets
  // the stop request there.
  if (d_.host.pump_events()) d_.kernel.close_requested = true;
  return 0;
}

}  // namespace tav
