// The kernel's host inside the adapter: command output becomes "output"
// events of the debug console, message boxes become error output, questions
// are answered No (nobody is there to ask), and the pause request reaches a
// running target through the host pump like a stop key.
#pragma once
#include <atomic>

#include "kernel/host.h"

namespace tav {
struct RunState;
}

namespace tav::dap {

class Transport;

class DapHost : public NullHost {
 public:
  void attach(Transport& out, RunState& run) {
    out_ = &out;
    run_ = &run;
  }

  // Asks the run in progress (or the next one) to stop; cleared once the stop is reported.
  void request_pause();
  // A request that may run the target is executing: only then does a pause
  // reach the stop request (a load meanwhile must not be cut short).
  void arm(bool on);
  void clear_pause() { pause_ = false; }
  bool pause_requested() const { return pause_; }

  bool pump_events() override;
  void message_box(std::string_view title, std::string_view text) override;
  void command_window_append(std::string_view text) override;

 private:
  Transport* out_ = nullptr;
  RunState* run_ = nullptr;
  std::atomic<bool> pause_{false};
  std::atomic<bool> armed_{false};
};

}  // namespace tav::dap
