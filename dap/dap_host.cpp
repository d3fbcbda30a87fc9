#include "dap/dap_host.h"

#include "dap/protocol.h"
#include "sim/run_state.h"

namespace tav::dap {

void DapHost::request_pause() {
  pause_ = true;
  if (armed_ && run_) run_->request_stop();
}

void DapHost::arm(bool on) {
  armed_ = on;
  if (on && pause_ && run_) run_->request_stop();
}

bool DapHost::pump_events() {
  // A run command clears the stop request when it begins: a pause that came
  // just before is set again here, on the run's own thread.
  if (pause_ && armed_ && run_) run_->request_stop();
  return false;
}

void DapHost::message_box(std::string_view title, std::string_view text) {
  if (!out_) return;
  std::string line(text);
  if (line.empty() || line.back() != '\n') line += '\n';
  out_->event("output", {{"category", "stderr"}, {"output", line}});
}

void DapHost::command_window_append(std::string_view text) {
  if (!out_ || text.empty()) return;
  out_->event("output", {{"category", "console"}, {"output", std::string(text)}});
}

}  // namespace tav::dap
