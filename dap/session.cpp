#include "dap/session.h"

#include <filesystem>

#include "dap/dispatcher.h"
#include "kernel/debugger.h"
#include "kernel/interp.h"
#include "kernel/output.h"
#include "run/run_control.h"

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
  const std::uint64_t arrival = ++arrivals_;
  if (interrupts_run(request.command)) host_.request_pause(arrival);
  if (request.command == "pause") {
    // Answered here: the worker may be busy running the target.
    out_.response(request, true, nullptr);
    return;
  }
  queue_.push_back({std::move(request), arrival});
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
    Queued next;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return !queue_.empty() || ending_; });
      if (queue_.empty()) break;
      next = std::move(queue_.front());
      queue_.pop_front();
    }
    arrival_ = next.arrival;
    dispatch(next.request);
    if (ended_) break;
  }
  ended_ = true;
}

void Session::dispatch(const Request& request) {
  answer(request);
  sync_changed_events(request);
  // "quit" typed in the debug console ends the program.
  if (d_.kernel.quitting && !exited_) end_debuggee();
  if (request.command == "disconnect") ended_ = true;
}

void Session::sync_changed_events(const Request& request) {
  // Events that Tav commands changed (a debug-console "break", a restart's
  // reload) keep the client's breakpoint list in step; its own requests
  // only update what the adapter knows.
  if (host_.take_events_changed() && launched) {
    const bool own = request.command.rfind("set", 0) == 0 || request.command == "restart" || request.command == "launch";
    sync_breakpoints(!own);
  }
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
  // The client sees the breakpoint list change before the answer to the
  // command that changed it.
  sync_changed_events(request);
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

bool Session::run_command(std::string_view line, CommandResult& result) {
  const std::uint32_t serial = d_.execution.last_run().serial;
  host_.arm(arrival_);
  host_.announce_runs(true);
  if (!host_.pause_requested()) result = command(line);
  host_.announce_runs(false);
  host_.arm(0);
  d_.run.set_stop_value(0);
  return d_.execution.last_run().serial != serial;
}

void Session::run(std::string_view line, std::string_view reason, bool announce) {
  refs.clear();
  const std::uint32_t serial = d_.execution.last_run().serial;
  host_.arm(arrival_);
  host_.announce_runs(announce);
  if (!host_.pause_requested()) console_command(line);
  const bool paused = host_.pause_requested();
  host_.announce_runs(false);
  host_.arm(0);
  d_.run.set_stop_value(0);
  if (terminated) return;
  if (d_.execution.last_run().serial == serial) return report_stop(paused ? "pause" : reason);
  report_last_run(reason, paused);
}

void Session::report_last_run(std::string_view reason, bool paused) {
  const RunReport& r = d_.execution.last_run();
  json body = {{"reason", reason}, {"threadId", kCpu12Thread}, {"allThreadsStopped", true}};
  // A break event ends a run by itself; a watch event through the "stop" of
  // its attached commands (a conditional breakpoint), which a pause
  // meanwhile outranks (a log point that printed did not stop anything).
  const bool by_event = r.hit && (r.end == RunEnd::Event || (r.end == RunEnd::Stop && !paused));
  const int id = by_event ? breakpoint_id(r.hit.number) : 0;
  if (by_event && (id || d_.events.find(r.hit.number))) {
    body["reason"] = r.hit.data ? "data breakpoint" : "breakpoint";
    if (id) body["hitBreakpointIds"] = json::array({id});
    if (r.xgate_hit) body["threadId"] = kXgateThread;
  } else if (r.undefined) {
    const std::uint32_t pc =
        r.xgate_undefined ? d_.xgate.quiet_ppc() : d_.memory.LocalToGlobal(d_.cpu_regs.pc);
    char where[16];
    std::snprintf(where, sizeof where, "0x%06X", pc);
    body["reason"] = "exception";
    body["description"] = "undefined instruction";
    body["text"] = std::string(r.xgate_undefined ? "the XGATE" : "the CPU12") + " cannot execute the instruction at " + where;
    if (r.xgate_undefined) body["threadId"] = kXgateThread;
  } else if (r.end == RunEnd::KernelBreak) {
    body["reason"] = "breakpoint";
    body["description"] = "kernel breakpoint";
  } else if (r.end == RunEnd::Stop) {
    body["reason"] = "pause";
  }
  out_.event("stopped", std::move(body));
}

void Session::report_stop(std::string_view reason, std::string_view description) {
  json body = {{"reason", reason}, {"threadId", kCpu12Thread}, {"allThreadsStopped", true}};
  if (!description.empty()) body["description"] = description;
  out_.event("stopped", std::move(body));
}

void Session::end_debuggee() {
  terminated = true;
  if (exited_) return;
  exited_ = true;
  out_.event("exited", {{"exitCode", 0}});
  out_.event("terminated");
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
  for (const auto* links : {&function_breakpoints, &instruction_breakpoints, &data_breakpoints, &console_breakpoints})
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
