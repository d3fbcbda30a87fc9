// What the event table needs from the kernel around it: the command output,
// the error output, the attached commands' interpreter, and the state the
// interpreter and the run loop keep. The kernel implements it; tests use
// their own.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tav {

class EventHost {
 public:
  virtual ~EventHost() = default;

  virtual void put(std::string_view text) = 0;    // command output
  virtual void error(std::string_view text) = 0;  // error output, one joined text
  virtual bool echo_off() const = 0;              // creations are not echoed (-v)

  // A run or step command is executing: stop reports are printed only then.
  virtual bool reporting() const = 0;

  // Runs an event's attached commands (doline in the event's mode) with the
  // record file paused and the command counter reset; afterwards the views
  // refresh unless the commands ran a counted command themselves.
  virtual void run_attached(const std::string& commands, int mode) = 0;

  // The views that mark events (source margins, event lists) are stale.
  virtual void events_changed() = 0;
  // The views refresh after this command after all.
  virtual void clear_update_suppressed() = 0;
  // Break and watch with no argument list: no refresh after this command.
  virtual void set_update_suppressed() = 0;

  // The XGATE's program counter as a global address, when the program has
  // XGATE code and that core runs; false otherwise.
  virtual bool xgate_pc(std::uint32_t& global) { return false; }
};

}  // namespace tav
