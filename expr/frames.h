// The target's C call stack as the debugger follows it: one stack of frames
// per core (CPU12 and XGATE), pushed and popped as execution passes the debug
// records of function starts and ends. Nothing here unwinds target memory.
#pragma once
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "image/debug_tables.h"

namespace tav {

class Memory;
class Registers;

enum class Core : int { Cpu12 = 0, Xgate = 1 };

struct Frame {
  FunctionBlock* function = nullptr;
  std::uint32_t base = 0;   // frame pointer; XGATE frames hold an XGATE local address
  std::uint16_t line = 0;   // last line record passed while this frame was innermost
  Core core = Core::Cpu12;
  std::uint32_t entry_cycles = 0;
};

// What the caller knows about a core when it passes a record.
struct CoreState {
  bool active = true;              // the core runs
  bool interrupt_pending = false;  // an interrupt is pending and can be taken
};

class FrameStacks {
 public:
  // Told of every function entry and exit (not of functions named "."): the
  // step-over depth of execution control.
  using CallReport = std::function<void(const FunctionBlock& function, Core core, bool entry)>;
  // The kernel's error output.
  using ErrorSink = std::function<void(std::string_view text)>;
  // The cycle counter (.time) for the profiling history.
  using CycleSource = std::function<std::uint32_t()>;

  FrameStacks(Memory& memory, Registers& registers);

  void set_call_report(CallReport report) { report_ = std::move(report); }
  void set_error_sink(ErrorSink sink) { errors_ = std::move(sink); }
  void set_cycle_source(CycleSource source) { cycles_ = std::move(source); }

  // Execution passed `record` on `core`: a function start pushes, an end pops,
  // a line is remembered by the innermost frame.
  void update(const DebugRecord& record, Core core, CoreState state = {});
  // Pushes a frame for a function that was already running when tracking
  // began, by the same register rules as at its start record.
  void adopt(FunctionBlock& function, Core core);
  void reset();  // empties both stacks

  // Frames of a core, innermost first.
  std::vector<const Frame*> walk(Core core) const;
  std::size_t depth(Core core) const { return stack(core).size(); }
  const Frame* innermost(Core core) const;
  const Frame* last_left(Core core) const;
  // The innermost frame of `function` on `core`, or null.
  const Frame* innermost_of(const FunctionBlock* function, Core core) const;
  bool in_stack(const FunctionBlock* function) const;

  // The frame that expressions refer to: the innermost CPU12 frame (XGATE when
  // the CPU12 has none) unless a move chose another.
  const Frame* current() const;
  Core current_core() const;
  void reset_current();  // back to the innermost frame (every run does this)
  bool move_up();        // one frame outward, towards the caller
  bool move_down();      // one frame inward
  bool move_top();       // the outermost frame
  bool move_bottom();    // the innermost frame
  // Outward from the current frame to the first one that matches.
  bool move_up_to(const std::function<bool(const Frame&)>& matches);

  // The frame base a function gets at its start record from the registers now.
  std::uint32_t frame_base(const FunctionBlock& function) const;
  // Width in bytes of the first argument that arrives in a register (0 when none).
  static int register_argument_width(const FunctionBlock& function);
  static bool is_xgate_unit(const FunctionBlock& function);

 private:
  const std::vector<Frame>& stack(Core core) const { return stacks_[static_cast<int>(core)]; }
  std::vector<Frame>& stack(Core core) { return stacks_[static_cast<int>(core)]; }
  void push(FunctionBlock& function, Core core);
  std::uint16_t xgate_register(int n) const;
  std::uint32_t now() const { return cycles_ ? cycles_() : 0; }

  Memory& memory_;
  Registers& registers_;
  std::vector<Frame> stacks_[2];  // outermost first
  Frame last_left_[2];
  bool has_last_left_[2] = {false, false};
  bool follow_innermost_ = true;
  Core current_core_ = Core::Cpu12;
  std::size_t current_index_ = 0;  // from the outermost, when not following the innermost
  CallReport report_;
  ErrorSink errors_;
  CycleSource cycles_;
};

}  // namespace tav
