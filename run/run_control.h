// Execution control: turns the run commands into executed instructions. The
// driver loop repeats units (one instruction, or up to the next source line),
// checks the events after each unit, shows progress and honours the stop
// request; the instruction loop around the CPU core takes interrupts, calls
// the per-instruction callbacks, keeps the profiling counters and prints the
// instruction trace; the call-stack frames follow the debug records passed.
#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "events/callback_list.h"
#include "events/event_table.h"
#include "run/line_index.h"
#include "sim/stretch_cache.h"
#include "sim/run_state.h"

namespace tav {

class Debugger;
struct DebugRecord;

// A callback called after every instruction of a run command, with the cycle
// counter (and the parameter given at registration when it has one).
struct InstructionCallback {
  void (*plain)(std::uint32_t cycles) = nullptr;
  void (*with_param)(std::uint32_t cycles, std::uint32_t param) = nullptr;
};
using InstructionCallbacks = CallbackList<InstructionCallback>;

// The kernel console's low-level breakpoints as the run loop sees them. The
// loop calls them only while breakpoints exist or the break time `.btime` is
// set, so that a run without them pays a flag test before and after each
// instruction.
class KernelBreakCheck {
 public:
  virtual ~KernelBreakCheck() = default;
  bool armed() const { return armed_; }  // low-level breakpoints exist
  // Before an instruction of a run command: sets the in-run flag (memory
  // accesses report to the check from now on), forgets the last hit and
  // reports the fetch at the global PC.
  virtual void begin_instruction(std::uint32_t global_pc) = 0;
  // After it: clears the in-run flag; true when a hit is pending (the run stops).
  virtual bool end_instruction() = 0;
  // Tells the user why the run stopped.
  virtual void report_stop() = 0;

 protected:
  bool armed_ = false;
};

// "main.c:15: <the line's source text>" (without the text when the file is
// not found on the source path): how traces and hosts show a source line.
std::string source_line_text(const Debugger& d, const DebugRecord& r);

// What a run command asks for.
struct RunRequest {
  bool go = false;           // no count: until an event fires or the stop request
  bool go_type = false;      // a go command (" Running "), even when a count made it count
  bool instruction = false;  // units are single instructions
  bool step_over = false;    // calls run to completion (ostep, finish)
  std::int16_t depth = 0;    // finish starts at 1
  bool trace = false;        // print each source line reached
  bool itrace = false;       // print each instruction executed
  std::int32_t count = 1;    // units; kNoLimit with go
};

// How a run command ended.
enum class RunEnd { Count, Event, Stop, KernelBreak };

// What the last run command ended with, for hosts that tell their user why
// the target stopped.
struct RunReport {
  std::uint32_t serial = 0;  // counts the run commands driven
  RunEnd end = RunEnd::Count;
  EventHit hit;              // the event checked last in the final unit (none: 0)
  bool xgate_hit = false;    // that event fired for the XGATE
  bool undefined = false;    // the run ended on an opcode the core cannot execute
  bool xgate_undefined = false;  // ... and that core was the XGATE
};

class RunControl {
 public:
  static constexpr std::int32_t kNoLimit = 32000;

  explicit RunControl(Debugger& d);
  ~RunControl();
  RunControl(const RunControl&) = delete;
  RunControl& operator=(const RunControl&) = delete;

  // Stops a run that "start" began and waits for its thread to end.
  void join();
  // Requests a stop; from any thread but the run's own, also waits until a
  // run that "start" began has ended, so that the next command finds the
  // target stopped.
  void stop_run();

  // The driver loop of one run command.
  RunEnd drive(RunRequest request);
  const RunReport& last_run() const { return report_; }
  // The end of a load: from the entry point to the first C source line.
  // False when the program never got there (stop request, undefined opcode).
  bool run_to_first_line(std::uint32_t* line_address);
  // The most instructions that run may take (tests and fuzzing lower it).
  void set_first_line_limit(std::uint32_t instructions) { first_line_limit_ = instructions; }

  // The exported entry points.
  bool IsTargetRunning() const;
  void ExecTargetCode();
  void StartTargetCode();
  void StepCode(int count);
  void StepTargetCode(int count);
  void AnimateTargetCode();
  void StopExecution();
  std::uint32_t SetStopFlag(std::uint32_t value);
  std::uint32_t GetStopFlag() const;
  int CheckForStop();

  // The run thread that "start" made is allowed to issue its "go" although
  // the target already counts as running.
  bool take_thread_start() { return thread_start_.exchange(false); }
  bool animating() const { return animate_; }
  // A run command is executing (stop reports are printed only then).

  // zero and reset: registers from reset, PC at the program's entry, call
  // stack and execution state cleared.
  void reset_cpu();
  void reset_state();
  // Tracking begins with a program whose PC lies inside a function: that
  // function gets a frame, so its variables can be read.
  void adopt_running_function();
  // The loader asks for a reset before the next run command's first instruction.
  void request_reset() { reset_pending_ = true; }

  InstructionCallbacks& callbacks() { return callbacks_; }
  void set_kernel_break(KernelBreakCheck* check) { kernel_break_ = check; }
  // The program changed: per-address facts are worked out again.
  void invalidate_index() { index_.invalidate(); }
  const LineIndex& index();
  // Execution control's mark on the functions that have a frame ("(act)").
  void mark_running_functions();

 private:
  enum class UnitEnd { Line, Event, Stop, Undefined, KernelBreak };
  struct Step {
    bool undefined = false;
    bool interrupt = false;
  };

  Step instruction();
  template <bool kWithXgate>
  Step instruction_with();
  bool plain_instructions(Step& last);
  void dispatch_callbacks();  // the per-instruction callbacks, after an instruction
  void pass_records(std::uint32_t pc);
  void pass_xgate_records(std::uint32_t pc);
  std::uint32_t execute_either(std::uint32_t& pc);
  std::uint32_t pc_after() const;
  bool xgate_line_stop(std::uint32_t pc) const;
  UnitEnd instruction_unit();
  UnitEnd source_unit(bool go_mode);
  template <bool kWithXgate>
  UnitEnd source_unit_with(bool go_mode);
  const DebugRecord* stop_record(std::uint32_t pc) const;
  bool poll_stop();
  void update_kernel_watch();
  void print_line_trace(const DebugRecord& r);
  void note_undefined(std::uint32_t pc, bool xgate);
  void end_command();

  Debugger& d_;
  LineIndex index_;
  // Stretches of code between the addresses the loop must look at; the
  // generations of the index and the events they were cut by, and of the
  // store layout their code pointers belong to.
  StretchCache stretches_;
  // A stretch is cut where the loop must look itself (a debug record, a
  // possible address event) and where the profile counters change line.
  struct LoopCuts final : StretchCuts {
    LoopCuts(const LineIndex& i, const EventTable& e) : index(i), events(e) {}
    bool quiet(std::uint32_t global) const override;
    void* tag(std::uint32_t global) const override;
    const LineIndex& index;
    const EventTable& events;
  };
  LoopCuts cuts_;
  std::uint32_t stretches_index_generation_ = 0;
  std::uint32_t stretches_event_generation_ = 0;
  std::uint32_t stretches_layout_ = 0;
  InstructionCallbacks callbacks_;
  KernelBreakCheck* kernel_break_ = nullptr;
  bool kernel_watch_ = false;  // the instruction loop reports to kernel_break_
  bool kernel_hit_ = false;    // it reported a hit: the run command ends

  // Mode flags of the command being run.
  bool step_over_ = false;
  std::int16_t depth_ = 0;
  bool trace_ = false;
  bool itrace_ = false;
  bool animate_ = false;
  bool reset_pending_ = false;
  bool on_worker_ = false;  // the run was started by StartTargetCode
  std::uint32_t command_start_cycles_ = 0;
  // Which cores executed instructions in the current unit (kept only while
  // the XGATE takes part): only they have their events checked after it.
  bool unit_cpu12_ = false;
  bool unit_xgate_ = false;
  // The last instruction was the XGATE's (its program counter counts); or
  // nothing executed: the XGATE's program counter was found at a new place (a
  // thread started, or it was set from outside) and counts as reached.
  bool xgate_step_ = false;
  bool xgate_arrived_ = false;
  // Where the XGATE's program counter was left after its last instruction;
  // finding it elsewhere means it arrived there from outside.
  std::uint32_t xgate_expected_pc_ = UINT32_MAX;

  // Host polling: every kPollEvery instructions the clock is read; the host
  // pumps its events when kPollPeriod has passed since it last did.
  static constexpr std::uint32_t kPollEvery = 4096;
  static constexpr std::chrono::milliseconds kPollPeriod{5};
  std::uint32_t poll_countdown_ = kPollEvery;
  std::chrono::steady_clock::time_point last_pump_{};

  RunReport report_;
  // Where the last unit met an undefined opcode (global, UINT32_MAX: none).
  std::uint32_t undefined_pc_ = UINT32_MAX;
  bool undefined_xgate_ = false;

  std::uint32_t first_line_limit_ = 50'000'000;
  std::thread worker_;
  std::atomic<bool> thread_start_{false};
};

}  // namespace tav
