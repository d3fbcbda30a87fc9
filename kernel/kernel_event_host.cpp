#include "kernel/kernel_event_host.h"

#include "kernel/debugger.h"

namespace tav {

void KernelEventHost::put(std::string_view text) { putout(d_, text); }

void KernelEventHost::error(std::string_view text) { errout(d_, {text}); }

bool KernelEventHost::echo_off() const { return d_.kernel.echo_off; }

bool KernelEventHost::reporting() const { return d_.kernel.in_run_command; }

void KernelEventHost::run_attached(const std::string& commands, int mode) {
  // The attached commands are not recorded: replaying the record file runs
  // the event again, and with it its commands.
  d_.output.record_paused = true;
  d_.kernel.command_counter = 0;
  doline(d_, commands.c_str(), mode);
  if (d_.kernel.command_counter == 0) d_.kernel.update_suppressed = false;
  d_.output.record_paused = false;
}

void KernelEventHost::events_changed() { d_.host.refresh_views(kViewSource | kViewDisasm | kViewEvents); }

void KernelEventHost::clear_update_suppressed() { d_.kernel.update_suppressed = false; }

void KernelEventHost::set_update_suppressed() { d_.kernel.update_suppressed = true; }

// The XGATE's program counter takes part in the checks while the program has
// XGATE code, the processor mode runs the XGATE and a thread is active.
bool KernelEventHost::xgate_pc(std::uint32_t& global) {
  if (!d_.xgate.enabled() || !(d_.xgate_stepper.mode() & XgateStepper::XgateOnly) || !d_.xgate.running())
    return false;
  global = d_.xgate.quiet_ppc();
  return true;
}

}  // namespace tav
