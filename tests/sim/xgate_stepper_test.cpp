// Interleaving of the XGATE with the CPU12: processor modes, the cycle budget
// and XGATE code found through the debug information.
#include <gtest/gtest.h>

#include <cstdint>

#include "sim/xgate_stepper.h"
#include "xgate_test_support.h"

namespace tav::test {
namespace {

class XgateStepperTest : public ::testing::Test {
 protected:
  XgateStepperTest() {
    // A thread of nops at XGATE 0x0800, a brk at 0x0900.
    for (std::uint32_t a = 0x780800; a < 0x780900; a += 2) t.memory.WriteWord(a, 0x0100);
    t.memory.WriteWord(0x780900, 0x0000);
    t.xgate.set_pc(0x0800);
  }
  void start_thread() {
    t.memory.WriteByte(kXgateEnableAddr, 0x80);
    t.memory.WriteByte(kXgateChannelAddr, 0x10);
  }
  bool take(std::uint32_t address, int flags, std::uint32_t& result, std::uint32_t& time) {
    return stepper.take_decode(address, flags, nullptr, 0, result, time);
  }

  XgateTarget t;
  XgateStepper stepper{t.xgate};
};

TEST_F(XgateStepperTest, ProcessorModeFromTheLowTwoBits) {
  EXPECT_EQ(stepper.mode(), XgateStepper::S12xOnly);
  const std::pair<std::uint32_t, int> cases[] = {{0, 1}, {1, 1}, {2, 2}, {3, 3}, {4, 1}, {6, 2}, {0xFFFF, 3}};
  for (auto [value, mode] : cases) {
    stepper.set_proc(value);
    EXPECT_EQ(stepper.mode(), mode) << value;
  }
}

TEST_F(XgateStepperTest, S12xOnlyNeverTakesTheDecode) {
  start_thread();
  stepper.cpu_executed(10);
  EXPECT_EQ(stepper.budget(), 0);
  std::uint32_t result = 0, time = 0;
  EXPECT_FALSE(take(0x7FC000, kXgateFlagExecute, result, time));
}

TEST_F(XgateStepperTest, XgateOnlyDecodesEveryAddressOnTheXgate) {
  stepper.set_proc(2);
  std::uint32_t result = 0, time = 0;
  ASSERT_TRUE(take(0x780900, kXgateFlagExecute, result, time));
  EXPECT_EQ(result, 2u);
  EXPECT_EQ(time, 4u);                  // brk, charged to .time by the caller
  EXPECT_EQ(t.xgate.pc(), 0x0902);      // executed where it was asked
  EXPECT_EQ(t.xgate.xtime(), 0u);
  ASSERT_TRUE(take(0x780904, kXgateFlagText, result, time));
  EXPECT_EQ(time, 0u);
  EXPECT_EQ(t.xgate.pc(), 0x0902);
}

TEST_F(XgateStepperTest, BothCoresShareCyclesThroughTheBudget) {
  stepper.set_proc(3);
  std::uint32_t result = 0, time = 0;

  // An idle XGATE banks nothing.
  stepper.cpu_executed(5);
  EXPECT_EQ(stepper.budget(), 0);
  EXPECT_FALSE(take(0x7FC000, kXgateFlagExecute, result, time));

  start_thread();
  stepper.cpu_executed(3);
  EXPECT_EQ(stepper.budget(), 3);
  EXPECT_FALSE(take(0x7FC000, kXgateFlagText, result, time));  // only execution runs the XGATE
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(take(0x7FC000, kXgateFlagExecute, result, time)) << i;
    EXPECT_EQ(result, 2u);
    EXPECT_EQ(time, 0u);
  }
  EXPECT_EQ(stepper.budget(), 0);
  EXPECT_FALSE(take(0x7FC000, kXgateFlagExecute, result, time));  // the CPU12's turn
  EXPECT_EQ(t.xgate.pc(), 0x0806);
  EXPECT_EQ(t.xgate.xtime(), 3u);

  // A costly XGATE instruction may overdraw the budget; the CPU12 pays it back.
  t.xgate.set_pc(0x0900);
  stepper.cpu_executed(1);
  ASSERT_TRUE(take(0x7FC000, kXgateFlagExecute, result, time));
  EXPECT_EQ(stepper.budget(), -3);
  stepper.cpu_executed(3);
  EXPECT_FALSE(take(0x7FC000, kXgateFlagExecute, result, time));
}

TEST_F(XgateStepperTest, AnUndefinedXgateWordGivesTheTurnBack) {
  stepper.set_proc(3);
  start_thread();
  t.memory.WriteWord(0x780A00, 0x0004);
  t.xgate.set_pc(0x0A00);
  stepper.cpu_executed(10);
  std::uint32_t result = 0, time = 0;
  ASSERT_TRUE(take(0x7FC000, kXgateFlagExecute, result, time));
  EXPECT_EQ(result, kXgateUndefined);
  EXPECT_EQ(stepper.budget(), 0);
}

// The run loop asks which core an instruction belongs to before it runs, and
// asks around every instruction: the answer must be the decoder's own, and
// asking must not count as a target access.
struct AccessCounter : RawAccessWatcher {
  int accesses = 0;
  void raw_access(std::uint32_t, int) override { ++accesses; }
};

TEST_F(XgateStepperTest, NextDecodeForetellsTheCoreQuietly) {
  AccessCounter watcher;
  std::uint32_t result = 0, time = 0;
  auto agrees = [&](XgateStepper::Next expected) {
    t.memory.set_raw_watcher(&watcher);
    const XgateStepper::Next next = stepper.next_decode(0x7FC000);
    t.memory.set_raw_watcher(nullptr);
    EXPECT_EQ(next, expected);
    const std::uint16_t pc = t.xgate.pc();
    const bool taken = take(0x7FC000, kXgateFlagExecute, result, time);
    EXPECT_EQ(taken, expected != XgateStepper::Next::Cpu12);
    if (expected == XgateStepper::Next::XgateAtPc) {
      EXPECT_EQ(t.xgate.pc(), pc + 2);
    }
  };
  agrees(XgateStepper::Next::Cpu12);
  stepper.set_proc(3);
  agrees(XgateStepper::Next::Cpu12);  // no thread
  start_thread();
  agrees(XgateStepper::Next::Cpu12);  // nothing banked yet
  t.memory.set_raw_watcher(&watcher);
  stepper.cpu_executed(2);
  t.memory.set_raw_watcher(nullptr);
  agrees(XgateStepper::Next::XgateAtPc);
  agrees(XgateStepper::Next::XgateAtPc);
  agrees(XgateStepper::Next::Cpu12);
  stepper.set_proc(2);
  agrees(XgateStepper::Next::XgateAtAddress);
  EXPECT_EQ(watcher.accesses, 0);
}

TEST_F(XgateStepperTest, RedefiningProcWithTheSameValueKeepsTheBudget) {
  stepper.define_proc(3);
  EXPECT_EQ(stepper.mode(), XgateStepper::Both);
  start_thread();
  stepper.cpu_executed(5);
  stepper.define_proc(3);  // looked at again before the next command: no change
  EXPECT_EQ(stepper.budget(), 5);
  stepper.define_proc(7);  // a new value with the same low bits starts again
  EXPECT_EQ(stepper.mode(), XgateStepper::Both);
  EXPECT_EQ(stepper.budget(), 0);
  stepper.define_proc(0);
  EXPECT_EQ(stepper.mode(), XgateStepper::S12xOnly);
}

bool in_xgate_flash(void* context, std::uint32_t address) {
  ++*static_cast<int*>(context);
  return address >= 0x780800 && address < 0x788000;
}

TEST_F(XgateStepperTest, DebugInformationMarksXgateCode) {
  int asked = 0;
  stepper.set_code_query(in_xgate_flash, &asked);
  std::uint32_t result = 0, time = 0;
  EXPECT_FALSE(take(0x780900, kXgateFlagText, result, time));  // no XGATE unit loaded
  EXPECT_EQ(asked, 0);
  t.xgate.set_enabled(true);
  ASSERT_TRUE(take(0x780900, kXgateFlagExecute, result, time));
  EXPECT_EQ(time, 4u);
  EXPECT_FALSE(take(0x7FC000, kXgateFlagExecute, result, time));
  EXPECT_EQ(asked, 2);
}

}  // namespace
}  // namespace tav::test
