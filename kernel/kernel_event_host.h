// The event table's view of the kernel: command and error output, the
// attached commands' interpreter and the interpreter's flags.
#pragma once
#include "events/event_host.h"

namespace tav {

class Debugger;

class KernelEventHost : public EventHost {
 public:
  explicit KernelEventHost(Debugger& d) : d_(d) {}
  void put(std::string_view text) override;
  void error(std::string_view text) override;
  bool echo_off() const override;
  bool reporting() const override;
  void run_attached(const std::string& commands, int mode) override;
  void events_changed() override;
  void clear_update_suppressed() override;
  void set_update_suppressed() override;
  bool xgate_pc(std::uint32_t& global) override;

 private:
  Debugger& d_;
};

}  // namespace tav
