// The kernel's host inside the adapter: command output becomes "output"
// events of the debug console, message boxes become error output, questions
// are answered No (nobody is there to ask), and the pause request reaches a
// running target through the host pump like a stop key.
#pragma once
#include <atomic>
#include <cstdint>
#include <utility>

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

  // Requests are numbered as they arrive. A pause (and a restart, terminate
  // or disconnect, which must reach a running target too) stops the runs of
  // the requests that came before it: the one running now and those still
  // queued, never its own or a later one.
  void request_pause(std::uint64_t arrival);
  // The request `arrival` begins (or, with 0, ends) on the worker: only while
  // a request runs does a pause reach the stop request.
  void arm(std::uint64_t arrival);
  // The running request was asked to pause.
  bool pause_requested() const;

  // Runs that start while this is set were not asked for by the client (a
  // debug-console "go", a restart): each request tells it once ("continued").
  void announce_runs(bool on) {
    announce_runs_ = on;
    announced_ = false;
  }
  // The event table changed since the last call.
  bool take_events_changed() { return std::exchange(events_changed_, false); }

  bool pump_events() override;
  void refresh_views(unsigned views) override;
  void message_box(std::string_view title, std::string_view text) override;
  void command_window_append(std::string_view text) override;

 private:
  Transport* out_ = nullptr;
  RunState* run_ = nullptr;
  // Every request that arrived before this one is to be paused.
  std::atomic<std::uint64_t> pause_before_{0};
  std::atomic<std::uint64_t> running_{0};  // the request on the worker, 0 for none
  // Worker-thread state.
  bool announce_runs_ = false;
  bool announced_ = false;
  bool events_changed_ = false;
};

}  // namespace tav::dap
