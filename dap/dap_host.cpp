#include "dap/dap_host.h"

#include "dap/protocol.h"
#include "sim/run_state.h"

namespace tav::dap {

// Both threads write their word first and then read the other's (sequentially
// consistent), so a pause and the start of the request it is meant for never
// miss each other.
void DapHost::request_pause(std::uint64_t arrival) {
  std::uint64_t before = pause_before_.load();
  while (before < arrival && !pause_before_.compare_exchange_weak(before, arrival)) {
  }
  if (pause_requested() && run_) run_->request_stop();
}

void DapHost::arm(std::uint64_t arrival) {
  running_ = arrival;
  if (pause_requested() && run_) run_->request_stop();
}

bool DapHost::pause_requested() const {
  const std::uint64_t running = running_.load();
  return running != 0 && running < pause_before_.load();
}

bool DapHost::pump_events() {
  // A run command clears the stop request when it begins: a pause that came
  // just before is set again here, on the run's own thread.
  if (pause_requested() && run_) run_->request_stop();
  return false;
}

void DapHost::refresh_views(unsigned views) {
  if (views & kViewEvents) events_changed_ = true;
  if ((views & kViewRunning) && announce_runs_ && !announced_ && out_) {
    announced_ = true;
    out_->event("continued", {{"threadId", 1}, {"allThreadsContinued", true}});
  }
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
