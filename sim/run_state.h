// The words shared between the thread that runs the target and the one that
// takes commands: the stop request and the running flag.
//
// A stop request belongs to the commands that are active when it is made.
// Commands (and the run a "start" began on its own thread) register while
// they execute; the request is dropped only when a command begins while
// nothing else is active. So a request made while anything is active stays
// until all of it has ended, whatever the order in which threads start,
// stop and end; and no command begins with a request an earlier one left.
// The active count and the request share one word, so that beginning a
// command and setting a request cannot slip between each other. "stop"
// takes its own request back once the run it stopped has ended, so that the
// command file it stands in goes on.
#pragma once
#include <atomic>
#include <cstdint>

namespace tav {

class RunState {
 public:
  // Polled by every loop that may run long: one relaxed load.
  bool stop_requested() const { return (word_.load(std::memory_order_relaxed) & kValueMask) != 0; }
  std::uint32_t stop_value() const { return static_cast<std::uint32_t>(word_.load() & kValueMask); }

  // Asks the active commands to end. Lock-free, so a signal handler may call
  // it. The ticket lets the one who asked take its own request back.
  struct Ticket {
    bool fresh = false;  // no request was pending before this one
    std::uint64_t serial = 0;
  };
  Ticket request_stop(std::uint32_t value = 1) {
    if (value == 0) value = 1;
    std::uint64_t old = word_.load();
    std::uint64_t next;
    do {
      next = (old & kCountMask) | ((old + kOneSerial) & kSerialMask) | value;
    } while (!word_.compare_exchange_weak(old, next));
    return {(old & kValueMask) == 0, next & kSerialMask};
  }
  // Takes a request back once it has done its work (a run it was meant for
  // has ended), unless someone asked again meanwhile or had asked before.
  void withdraw(Ticket t) {
    if (!t.fresh) return;
    std::uint64_t old = word_.load();
    while ((old & kSerialMask) == t.serial && !word_.compare_exchange_weak(old, old & ~kValueMask)) {
    }
  }
  // The exported flag interface: stores any value, 0 included.
  void set_stop_value(std::uint32_t value) {
    std::uint64_t old = word_.load();
    while (!word_.compare_exchange_weak(old, (old & ~kValueMask) | value)) {
    }
  }

  // A command begins: when nothing else is active, a request left over from
  // earlier is dropped.
  void begin_command() {
    std::uint64_t old = word_.load();
    for (;;) {
      const std::uint64_t next = (old & kCountMask) == 0 ? (old & kSerialMask) | kOneActive : old + kOneActive;
      if (word_.compare_exchange_weak(old, next)) return;
    }
  }
  void end_command() { word_.fetch_sub(kOneActive); }
  std::uint32_t active_commands() const { return static_cast<std::uint32_t>((word_.load() & kCountMask) >> 48); }

  std::atomic<bool> running{false};

 private:
  // value (32 bits) | request serial (16 bits) | active commands (16 bits)
  static constexpr std::uint64_t kValueMask = 0xFFFFFFFFu;
  static constexpr std::uint64_t kOneSerial = std::uint64_t{1} << 32;
  static constexpr std::uint64_t kSerialMask = std::uint64_t{0xFFFF} << 32;
  static constexpr std::uint64_t kOneActive = std::uint64_t{1} << 48;
  static constexpr std::uint64_t kCountMask = std::uint64_t{0xFFFF} << 48;
  static_assert(std::atomic<std::uint64_t>::is_always_lock_free, "the stop request is set from a signal handler");
  std::atomic<std::uint64_t> word_{0};
};

// A command's lifetime as the stop request sees it.
class CommandScope {
 public:
  explicit CommandScope(RunState& run) : run_(run) { run_.begin_command(); }
  ~CommandScope() { run_.end_command(); }
  CommandScope(const CommandScope&) = delete;
  CommandScope& operator=(const CommandScope&) = delete;

 private:
  RunState& run_;
};

}  // namespace tav
