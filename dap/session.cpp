#include "dap/session.h"

#include <filesystem>

#include "dap/dispatcher.h"
#include "kernel/debugger.h"
#include "kernel/interp.h"
#include "kernel/output.h"

namespace tav::dap {

namespace {
// Requests that also act on the reader's thread: they must reach a running target.
bool interrupts_run(std::string_view command) {
  return command == "pause" || command == "disconnect" || command == "terminate" || command == "restart";
}
}  // namespace

Session::Session(Debugger& d, DapHost& host, Transport& out) : d_(d), host_(host), out_(out) {
  worker_ = std::thread([this] { worker(); });
}

Session::~Session() {
  end_input();
  if (worker_.joinable()) worker_.join();
}

void Session::receive(std::string_view body) {
  Request request;
  std::string error;
  if (!parse_request(body, request, error)) {
    out_.response(request, false, nullptr, error);
    return;
  }
  std::lock_guard lock(mutex_);
  if (request.command == "pause") {
    // Answered here: the worker may be busy running the target. A pause
    // with no run waiting or running has nothing to stop.
    if (pending_runs_ > 0) host_.request_pause();
    out_.response(request, true, nullptr);
    return;
  }
  if (interrupts_run(request.command) && pending_runs_ > 0) host_.request_pause();
  if (is_run_request(request.command)) ++pending_runs_;
  queue_.push_back(std::move(request));
  wake_.notify_one();
}

void Session::framing_error(std::string_view text) {
  Request unknown;
  out_.response(unknown, false, nullptr, text);
}

void Session::end_input() {
  std::lock_guard lock(mutex_);
  ending_ = true;
  wake_.notify_one();
}

void Session::wait_ended() {
  if (worker_.joinable()) worker_.join();
}

void Session::worker() {
  for (;;) {
    Request request;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return !queue_.empty() || ending_; });
      if (queue_.empty()) break;
      request = std::move(queue_.front());
      queue_.pop_front();
    }
    dispatch(request);
    if (ended_) break;
  }
  ended_ = true;
}

void Session::dispatch(const Request& request) {
  const bool run_request = is_run_request(request.command);
  if (run_request) host_.arm(true);
  answer(request);
  if (run_request) {
    host_.arm(false);
    // A pause meant for this request has done its work (or found nothing to stop).
    std::lock_guard lock(mutex_);
    if (--pending_runs_ == 0) {
      host_.clear_pause();
      d_.run.set_stop_value(0);
    }
  }
  if (request.command == "disconnect") ended_ = true;
}

void Session::answer(const Request& request) {
  const HandlerEntry* entry = find_handler(request.command);
  if (!entry) {
    out_.response(request, false, nullptr, "unknown command: " + request.command);
    return;
  }
  if (!initialized && request.command != "initialize") {
    out_.response(request, false, nullptr, "the adapter is not initialized");
    return;
  }
  if (entry->needs_launch && !launched) {
    out_.response(request, false, nullptr, "no program is launched");
    return;
  }
  Reply reply;
  try {
    entry->handler(*this, request, reply);
  } catch (const std::exception& e) {
    // A handler that met a malformed argument (a JSON value of another
    // kind) answers with the reason; the session goes on.
    reply.fail(e.what());
    reply.after = nullptr;
  }
  if (reply.failed())
    out_.response(request, false, nullptr, reply.error);
  else
    out_.response(request, true, std::move(reply.body));
  if (reply.after) reply.after();
}

CommandResult Session::command(std::string_view line) {
  CommandResult result;
  const std::string text(line);
  capture_begin(d_, Capture::Second);
  d_.output.error_capture = true;
  d_.output.captured_error.reset();
  docmd(d_, text.c_str(), 1);
  d_.output.error_capture = false;
  result.output = capture_end(d_, Capture::Second);
  result.error = std::move(d_.output.captured_error);
  d_.output.captured_error.reset();
  return result;
}

void Session::console_command(std::string_view line) {
  const std::string text(line);
  docmd(d_, text.c_str(), 1);
}

void Session::run(std::string_view line, std::string_view reason) {
  refs.clear();
  const std::uint32_t fired_before = d_.events.fired_count();
  if (!host_.pause_requested()) console_command(line);
  const bool paused = host_.pause_requested();
  const bool stop_asked = d_.run.stop_requested();  // by a pause, or by an attached "stop"
  host_.clear_pause();
  d_.run.set_stop_value(0);
  if (terminated) return;
  // A break event ends a run by itself; a watch event only through the
  // "stop" of its attached commands (a conditional breakpoint), which a
  // pause meanwhile outranks (a log point that printed did not stop anything).
  if (d_.events.fired_count() != fired_before) {
    const EventHit& hit = d_.events.last_fired();
    const int id = breakpoint_id(hit.number);
    if (id && (hit.stops() || (stop_asked && !paused))) {
      json body = {{"reason", hit.data ? "data breakpoint" : "breakpoint"},
                   {"threadId", kCpu12Thread},
                   {"allThreadsStopped", true},
                   {"hitBreakpointIds", json::array({id})}};
      out_.event("stopped", std::move(body));
      return;
    }
  }
  if (paused) return report_stop("pause");
  // A go that ends without an event or a pause ran into an instruction the
  // CPU cannot execute.
  if (line == "go") return report_stop("exception", "undefined instruction");
  report_stop(reason);
}

void Session::report_stop(std::string_view reason, std::string_view description) {
  json body = {{"reason", reason}, {"threadId", kCpu12Thread}, {"allThreadsStopped", true}};
  if (!description.empty()) body["description"] = description;
  out_.event("stopped", std::move(body));
}

int Session::breakpoint_id(int event) const {
  if (event == 0) return 0;
  auto match = [event](const std::vector<BreakpointLink>& links) {
    for (const BreakpointLink& l : links)
      if (l.event == event) return l.id;
    return 0;
  };
  for (const auto& [path, links] : source_breakpoints)
    if (int id = match(links)) return id;
  for (const auto* links : {&function_breakpoints, &instruction_breakpoints, &data_breakpoints})
    if (int id = match(*links)) return id;
  return 0;
}

void Session::delete_events(std::vector<BreakpointLink>& links) {
  std::string numbers;
  for (const BreakpointLink& l : links) {
    if (l.event == 0) continue;
    if (!numbers.empty()) numbers += ",";
    numbers += std::to_string(l.event);
  }
  if (!numbers.empty()) command("del " + numbers);
  links.clear();
}

std::vector<int> Session::thread_ids() {
  std::vector<int> ids{kCpu12Thread};
  if (!d_.xgate_code.empty()) ids.push_back(kXgateThread);
  return ids;
}

std::string Session::source_path(std::string_view name) const {
  namespace fs = std::filesystem;
  const fs::path file{std::string(name)};
  std::error_code ec;
  if (file.is_absolute()) return file.string();
  for (const std::string& dir : source_dirs) {
    const fs::path candidate = fs::path(dir) / file;
    if (fs::exists(candidate, ec)) return fs::absolute(candidate, ec).lexically_normal().string();
  }
  return file.string();
}

}  // namespace tav::dap
