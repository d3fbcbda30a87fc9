// The requests the adapter answers: one handler each, in dap/handlers/.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "dap/protocol.h"

namespace tav::dap {

class Session;

// What a handler answers: a body, or an error text; `after` runs once the
// response is out (a run request answers first, then runs).
struct Reply {
  json body;
  std::string error;
  std::function<void()> after;
  bool failed() const { return !error.empty(); }
  void fail(std::string text) { error = std::move(text); }
};

using Handler = void (*)(Session&, const Request&, Reply&);

struct HandlerEntry {
  std::string_view command;
  Handler handler;
  bool needs_launch;  // refused until a program is launched
};

// The handler of a command, or null.
const HandlerEntry* find_handler(std::string_view command);
// Requests that may run the target (a repl line may be "go"): a pause that
// arrives while one waits or runs is meant for it.
bool is_run_request(std::string_view command);

}  // namespace tav::dap
