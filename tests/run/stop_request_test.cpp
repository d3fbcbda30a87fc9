// The stop request belongs to the commands it interrupted: no later command
// starts with it, and no ordering of start, stop, pause, Ctrl-C and quit
// loses it (a lost request shows as a run that never ends: the watchdog
// fails the test then instead of letting it hang).
#include "commands/standard_debugger.h"
#include "debug_session.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>

namespace tav {
namespace {

// Fails the whole test binary if a scope is not left in time: only a hang
// can take that long, so this is a bound, not a timing assertion.
class Watchdog {
 public:
  explicit Watchdog(const char* what) : what_(what), thread_([this] { watch(); }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    cv_.notify_one();
    thread_.join();
  }

 private:
  void watch() {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, std::chrono::minutes(10), [this] { return done_; })) {
      std::fprintf(stderr, "watchdog: %s hung\n", what_);
      std::abort();
    }
  }
  const char* what_;
  std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;
};

// A host both threads may print to.
class SharedHost : public RecordingHost {
 public:
  void command_window_append(std::string_view text) override {
    std::lock_guard lock(mutex_);
    window.append(text);
  }
  void status(StatusField, std::string_view) override {}
  void refresh_views(unsigned) override {}
  void message_box(std::string_view, std::string_view text) override {
    std::lock_guard lock(mutex_);
    errors.append(text);
  }
  // Ctrl-C as the host sees it: a stop request at the n-th pump (0: never).
  Debugger* d = nullptr;
  int stop_at_pump = 0;
  bool pump_events() override {
    if (stop_at_pump > 0 && --stop_at_pump == 0 && d) d->run.request_stop();
    return false;
  }
  std::string take() {
    std::lock_guard lock(mutex_);
    std::string out;
    out.swap(window);
    return out;
  }
  std::string errors;

 private:
  std::mutex mutex_;
};

std::string demo() { return std::string(TAV_EXAMPLES_DIR) + "/demo.x12"; }

std::string run(Debugger& d, SharedHost& host, const std::string& line) {
  host.take();
  docmd(d, line.c_str(), 1);
  return host.take();
}

void load_demo(Debugger& d, SharedHost& host) {
  ASSERT_NE(run(d, host, "load " + demo()).find("first C line at"), std::string::npos) << host.errors;
  run(d, host, "internals");
}

// A request left by an interrupted command (or Ctrl-C at the prompt) is gone
// when the next command begins.
TEST(StopRequest, NoCommandStartsWithAStaleRequest) {
  SharedHost host;
  StandardDebugger d(host);
  load_demo(d, host);
  for (const std::string& line : {std::string("dump 0x2000, 16"), "load " + demo()}) {
    d.run.request_stop();  // Ctrl-C during the last command
    EXPECT_FALSE(run(d, host, line).empty()) << line;
  }
  d.run.request_stop();
  run(d, host, "fill 0x2000 0x200f 0x55");
  EXPECT_EQ(d.memory.ReadByte(0x200f), 0x55);
  d.run.request_stop();
  EXPECT_EQ(run(d, host, "eval 1"), "    1 = 1\n");
  // A line of statements is one command: it runs whole.
  d.run.request_stop();
  EXPECT_EQ(run(d, host, "if (1) { eval 3 }; while (0) eval 1; eval 4"), "    3 = 3\n    4 = 4\n");
}

// A stop made while a command file runs ends the file, but "stop" takes its
// own request back once the run has ended, so the file goes on.
TEST(StopRequest, StopInACommandFileStopsOnlyTheRun) {
  SharedHost host;
  StandardDebugger d(host);
  load_demo(d, host);
  const std::string file = testing::TempDir() + "stop_request.cmd";
  std::FILE* f = std::fopen(file.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs("start\nstop\nstatus\neval 42\n", f);
  std::fclose(f);
  Watchdog dog("a command file with start and stop");
  const std::string out = run(d, host, "input " + file);
  EXPECT_NE(out.find("STOPPED\n"), std::string::npos) << out;
  EXPECT_NE(out.find("42 = 42\n"), std::string::npos) << out;
  std::remove(file.c_str());
}

// Ctrl-C ends a whole command file (and the file that ran it), a file that
// never ends (/dev/zero) is refused, and the next command runs normally.
TEST(StopRequest, StopEndsCommandFiles) {
  SharedHost host;
  StandardDebugger d(host);
  host.d = &d;
  const std::string inner = testing::TempDir() + "stop_inner.cmd";
  const std::string outer = testing::TempDir() + "stop_outer.cmd";
  std::FILE* f = std::fopen(inner.c_str(), "w");
  ASSERT_NE(f, nullptr);
  for (int i = 0; i < 1000; ++i) std::fputs("eval 1\n", f);
  std::fclose(f);
  f = std::fopen(outer.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fprintf(f, "input %s\neval 99\n", inner.c_str());
  std::fclose(f);
  host.stop_at_pump = 20;
  const std::string out = run(d, host, "input " + outer);
  std::size_t evals = 0;
  for (std::size_t at = out.find("1\n"); at != std::string::npos; at = out.find("1\n", at + 1)) ++evals;
  EXPECT_LT(evals, 100u);
  EXPECT_EQ(out.find("99\n"), std::string::npos) << "the outer file went on";
  EXPECT_EQ(run(d, host, "eval 5"), "    5 = 5\n");
  host.errors.clear();
  run(d, host, "input /dev/zero");
  EXPECT_NE(host.errors.find("not a command file"), std::string::npos) << host.errors;
  std::remove(inner.c_str());
  std::remove(outer.c_str());
}

// Random orderings (about a thousand operations, each with a random
// delay, so the run thread is caught at every stage): each round ends with the target stopped,
// and a fresh command then does its work.
TEST(StopRequest, RandomInterleavingsNeverLoseAStop) {
  Watchdog dog("start/stop/pause/Ctrl-C interleavings");
  SharedHost host;
  StandardDebugger d(host);
  load_demo(d, host);
  std::mt19937 random(20261206);
  for (int round = 0; round < 300; ++round) {
    const int ops = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < ops; ++i) {
      switch (random() % 5) {
        case 0: docmd(d, "start", 1); break;
        case 1: docmd(d, "stop", 1); break;
        case 2: docmd(d, "pause 1", 1); break;
        case 3: d.run.request_stop(); break;  // Ctrl-C, at any moment
        case 4: docmd(d, "status", 1); break;
      }
      for (unsigned spin = random() % 200; spin > 0; --spin) std::this_thread::yield();
    }
    docmd(d, "stop", 1);
    ASSERT_FALSE(d.run.running) << "round " << round;
    ASSERT_EQ(run(d, host, "status"), "STOPPED\n") << "round " << round;
    ASSERT_EQ(run(d, host, "eval 7"), "    7 = 7\n") << "round " << round;
  }
  EXPECT_EQ(d.run.active_commands(), 0u);
}

// Start-up code that never reaches a C line ends the load's run after a
// bound instead of spinning until someone stops it.
TEST(StopRequest, RunToTheFirstLineIsBounded) {
  Watchdog dog("run to the first line");
  SharedHost host;
  StandardDebugger d(host);
  run(d, host, "load /s " + demo());
  const std::uint32_t entry = d.registers.ReadPC();
  // bra *: the start-up code loops where it begins.
  d.memory.WriteWord(d.memory.LocalToGlobal(static_cast<std::uint16_t>(entry)), 0x20FE);
  d.execution.set_first_line_limit(100000);
  std::uint32_t line = 0;
  EXPECT_FALSE(d.execution.run_to_first_line(&line));
  EXPECT_EQ(d.registers.ReadPC(), entry);
}

// quit right after start: the run must end although its thread may not even
// have begun its "go" yet.
TEST(StopRequest, QuitRightAfterStartEnds) {
  Watchdog dog("quit after start");
  std::mt19937 random(7);
  for (int round = 0; round < 100; ++round) {
    SharedHost host;
    auto d = std::make_unique<StandardDebugger>(host);
    load_demo(*d, host);
    docmd(*d, "start", 1);
    if (random() % 2) docmd(*d, "pause 1", 1);
    docmd(*d, "quit", 1);
    d.reset();  // joins the run thread
  }
}

}  // namespace
}  // namespace tav
