// "start" runs "go" on a thread of its own: "status" sees it running, "stop"
// ends it within a few milliseconds, and the entry points stay idle meanwhile.
#include "debug_session.h"
#include "run/run_control.h"

#include <chrono>
#include <thread>

namespace tav {
namespace {

using Clock = std::chrono::steady_clock;

class RunThreads : public DebugSession {
 protected:
  void SetUp() override {
    load();
    run("internals");
  }
  // Waits until the run thread has ended its command (a stopped run must
  // end; the bound only keeps a broken build from hanging the suite).
  void wait_stopped() {
    const auto start = Clock::now();
    while (d.run.running && Clock::now() - start < std::chrono::seconds(60))
      std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
};

TEST_F(RunThreads, StartStatusStop) {
  EXPECT_EQ(run("status"), "STOPPED\n");
  const std::uint32_t instructions = d.cpu.counters.nbins;
  run("start");
  EXPECT_EQ(run("status"), "RUNNING\n");
  EXPECT_TRUE(d.execution.IsTargetRunning());
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  // Nothing else may run meanwhile.
  d.execution.StepCode(2);
  run("start");
  EXPECT_EQ(run("status"), "RUNNING\n");
  run("stop");
  wait_stopped();
  EXPECT_EQ(run("status"), "STOPPED\n");
  EXPECT_GT(d.cpu.counters.nbins, instructions);
}

TEST_F(RunThreads, StopExecutionAndStopFlag) {
  d.execution.StartTargetCode();
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  d.execution.StopExecution();  // sets the request and gives the thread 10 ms
  wait_stopped();
  EXPECT_FALSE(d.execution.IsTargetRunning());
  EXPECT_EQ(d.execution.GetStopFlag(), 1u);
  // The next run clears the request.
  EXPECT_EQ(d.execution.SetStopFlag(0), 0u);
  run("break main.c:31");
  run("start");
  wait_stopped();
  EXPECT_EQ(where(), "main:31");
  EXPECT_NE(host.window.find("***** breakpoint main.c:31\n"), std::string::npos);
}

TEST_F(RunThreads, DestroyingTheDebuggerStopsTheRun) {
  auto other_host = std::make_unique<StatusHost>();
  auto other = std::make_unique<StandardDebugger>(*other_host);
  const std::string load = "load " + example("demo");
  docmd(*other, load.c_str(), 1);
  other->execution.StartTargetCode();
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  other.reset();  // joins the run thread
  SUCCEED();
}

}  // namespace
}  // namespace tav
