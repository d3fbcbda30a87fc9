// Interleaving of the XGATE with the CPU12: the processor mode (`.proc`) and
// the XGATE cycle budget. The CPU12 decoder asks `take_decode` first (its step
// 1) and reports each executed instruction's cycles with `cpu_executed`.
#pragma once
#include <cstddef>
#include <cstdint>

#include "sim/xgate.h"

namespace tav {

// Tells whether a global address lies in code the debug information marks as
// XGATE code (the debug tables implement it).
using XgateCodeQuery = bool (*)(void* context, std::uint32_t address);

class XgateStepper {
 public:
  enum Mode : int { S12xOnly = 1, XgateOnly = 2, Both = 3 };

  explicit XgateStepper(Xgate& xgate) : xgate_(xgate) {}

  // Defining `.proc` sets the mode to the value's low two bits, 0 counting as 1.
  void set_proc(std::uint32_t value) {
    mode_ = static_cast<int>(value & 3) ? static_cast<int>(value & 3) : S12xOnly;
    budget_ = 0;
  }
  int mode() const { return mode_; }
  // The kernel variable `.proc` holds `value`: the mode follows it when it
  // was newly defined or changed (the budget starts again then).
  void define_proc(std::uint32_t value) {
    if (proc_defined_ && value == proc_value_) return;
    proc_defined_ = true;
    proc_value_ = value;
    set_proc(value);
  }
  std::int32_t budget() const { return budget_; }

  void set_code_query(XgateCodeQuery query, void* context) {
    code_query_ = query;
    code_context_ = context;
  }
  bool is_xgate_code(std::uint32_t address) const {
    return code_query_ && xgate_.enabled() && code_query_(code_context_, address);
  }

  // Where the next executing decode at `address` goes, without running it:
  // the CPU12, the XGATE at `address` (mode 2, XGATE code), or the XGATE at
  // its own program counter (the budget of mode 3). The run loop asks this
  // first to know which core's program counter the instruction has.
  enum class Next { Cpu12, XgateAtAddress, XgateAtPc };
  Next next_decode(std::uint32_t address) const {
    if (mode_ == XgateOnly || is_xgate_code(address)) return Next::XgateAtAddress;
    if ((mode_ & XgateOnly) && budget_ > 0 && xgate_.running()) return Next::XgateAtPc;
    return Next::Cpu12;
  }

  // Step 1 of the CPU12 decode-execute at global `address`. True when the XGATE
  // handles the call; then `result` is the decoder's result (2 or
  // kXgateUndefined) and `time_cycles` the cycles the caller adds to `.time`:
  // - processor mode 2, or `address` in XGATE code: the XGATE decodes at `address`;
  // - executing in mode 3 with a positive budget while a thread runs: one XGATE
  //   instruction at xppc instead (XGexinst: its cycles go to `.xtime` and are
  //   taken off the budget, so `time_cycles` is 0).
  bool take_decode(std::uint32_t address, int flags, char* text, std::size_t capacity, std::uint32_t& result,
                   std::uint32_t& time_cycles);

  // Step 10: the CPU12 executed an instruction of `cycles`. In mode 3 they are
  // added to the budget while a thread runs; an idle XGATE banks nothing.
  void cpu_executed(std::uint32_t cycles) {
    if (!(mode_ & XgateOnly)) return;
    if (xgate_.running())
      budget_ += static_cast<std::int32_t>(cycles);
    else
      budget_ = 0;
  }

 private:
  Xgate& xgate_;
  int mode_ = S12xOnly;
  bool proc_defined_ = false;
  std::uint32_t proc_value_ = 0;
  std::int32_t budget_ = 0;
  XgateCodeQuery code_query_ = nullptr;
  void* code_context_ = nullptr;
};

}  // namespace tav
