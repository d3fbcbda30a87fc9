// The words shared between the thread that runs the target and the one that
// takes commands: the stop request and the running flag.
#pragma once
#include <atomic>
#include <cstdint>

namespace tav {

struct RunState {
  std::atomic<std::uint32_t> stop_request{0};
  std::atomic<bool> running{false};
};

}  // namespace tav
