// The debugger the kernel fuzz targets drive: a host that forgets what it is
// shown and asks for a stop after a while, so that endless runs and loops
// end; runs also stop after a bounded number of instructions.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "commands/standard_debugger.h"
#include "kernel/debugger.h"
#include "kernel/recording_host.h"

namespace tav {

class FuzzHost : public RecordingHost {
 public:
  Debugger* d = nullptr;
  int pumps_left = 0;
  bool pump_events() override {
    if (d && --pumps_left <= 0) d->run.request_stop();
    return false;
  }
  void command_window_append(std::string_view) override {}
  void message_box(std::string_view, std::string_view) override {}
  void refresh_views(unsigned) override {}
};

// One debugger for the whole fuzzing process (making one per input would
// measure construction); each input starts it from a cleared target.
struct FuzzSession {
  static constexpr int kPumps = 64;
  static constexpr std::uint32_t kInstructions = 20000;

  FuzzHost host;
  StandardDebugger d{host};
  std::string dir;

  FuzzSession() {
    host.d = &d;
    char pattern[] = "/tmp/tav-fuzz.XXXXXX";
    if (const char* made = ::mkdtemp(pattern)) dir = made;
    // Files the commands name are made in a directory of the fuzzer's own.
    if (!dir.empty() && ::chdir(dir.c_str()) != 0) std::abort();
    d.execution.set_first_line_limit(200000);
    d.execution.callbacks().add(InstructionCallback{&count_instruction, nullptr});
    self() = this;
  }
  static FuzzSession*& self() {
    static FuzzSession* s = nullptr;
    return s;
  }
  static void count_instruction(std::uint32_t) {
    FuzzSession* s = self();
    if (++s->executed > kInstructions) s->d.run.request_stop();
  }
  // Before each input: a budget of pumps and instructions, no stop pending.
  void begin() {
    host.pumps_left = kPumps;
    executed = 0;
    d.run.set_stop_value(0);
    d.kernel.quitting = false;
    d.kernel.close_requested = false;
  }
  std::uint32_t executed = 0;
};

}  // namespace tav
