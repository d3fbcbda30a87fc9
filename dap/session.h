// One debug session: requests arrive on the reader's thread and run, in
// order, on the session's worker thread, the only thread that touches the
// Debugger. "pause", "disconnect" and "terminate" also act at once on the
// reader's thread, so that they reach a target that is running.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "dap/dap_host.h"
#include "dap/protocol.h"
#include "dap/variable_refs.h"

namespace tav {
class Debugger;
}

namespace tav::dap {

// What a command line printed, and its error when it reported one.
struct CommandResult {
  std::string output;
  std::optional<std::string> error;
  bool ok() const { return !error; }
};

// A breakpoint as the client knows it (its id) and the event behind it.
struct BreakpointLink {
  int id = 0;
  int event = 0;  // 0: not set (the client is told it is unverified)
  std::string command;  // the command that made it (a restart makes it again)
};

// The threads the client sees: the CPU12, and the XGATE while the program has XGATE code.
inline constexpr int kCpu12Thread = 1;
inline constexpr int kXgateThread = 2;

class Session {
 public:
  Session(Debugger& d, DapHost& host, Transport& out);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // One framed body from the client (reader's thread).
  void receive(std::string_view body);
  // A frame the reader could not use: answered with an error, the session goes on.
  void framing_error(std::string_view text);
  // The client asked to end (or the input ended): true once the worker is done.
  bool ended() const { return ended_; }
  void wait_ended();
  void end_input();  // the input closed: the session ends as by "disconnect"

  // For handlers (worker thread).
  Debugger& debugger() { return d_; }
  DapHost& host() { return host_; }
  Transport& out() { return out_; }

  // Runs a command line with its output and error captured.
  CommandResult command(std::string_view line);
  // Runs a command line that may run the target (a debug-console line): a
  // pause reaches it, and a run it starts is announced ("continued"). True
  // when it ran the target.
  bool run_command(std::string_view line, CommandResult& result);
  // Runs a command line whose output goes to the debug console.
  void console_command(std::string_view line);
  // Runs a run command (go, step, ...) and reports the stop; `reason` is the
  // stop reason when no breakpoint, pause or fault ended it. `announce`: the
  // client did not ask for this run (it is told "continued").
  void run(std::string_view line, std::string_view reason, bool announce = false);
  void report_stop(std::string_view reason, std::string_view description = {});
  // Reports why the last run command ended (`paused`: the client paused it).
  void report_last_run(std::string_view reason, bool paused = false);
  // The program and the session end: "exited", then "terminated" (once).
  void end_debuggee();

  // Per-session state the handlers share.
  bool initialized = false;
  bool launched = false;
  bool stop_on_entry = false;
  bool terminated = false;
  std::string program;             // the program file, as launch named it
  std::vector<std::string> source_dirs;  // where source files are looked for
  std::string command_prefix = ">";      // repl lines starting with it run as Tav commands
  json launch_arguments;                  // kept for restart
  std::map<std::string, std::vector<BreakpointLink>> source_breakpoints;  // by source path
  std::vector<BreakpointLink> function_breakpoints;
  std::vector<BreakpointLink> instruction_breakpoints;
  std::vector<BreakpointLink> data_breakpoints;
  std::vector<BreakpointLink> console_breakpoints;  // events made by Tav commands the user typed
  VariableRefs refs;
  int next_breakpoint_id() { return ++breakpoint_ids_; }
  // The client id of a breakpoint event, 0 when the adapter did not make it.
  int breakpoint_id(int event) const;
  // Deletes the events behind a list of links (the client replaces whole lists).
  void delete_events(std::vector<BreakpointLink>& links);
  // Tells the client about events that Tav commands made, changed or
  // removed since the last call (with `announce` false, only takes note:
  // the client made those changes itself).
  void sync_breakpoints(bool announce);
  // The same when Tav's events changed during a request.
  void sync_changed_events(const Request& request);
  // The thread ids the program has now.
  std::vector<int> thread_ids();
  // A source file name of the debug tables as a path on this machine.
  std::string source_path(std::string_view name) const;

 private:
  void worker();
  void dispatch(const Request& request);
  void answer(const Request& request);

  std::map<int, std::string> known_events_;  // user events by number: how they were last seen
  bool exited_ = false;
  Debugger& d_;
  DapHost& host_;
  Transport& out_;
  int breakpoint_ids_ = 0;
  struct Queued {
    Request request;
    std::uint64_t arrival = 0;
  };
  std::uint64_t arrivals_ = 0;  // requests received (under the mutex)
  std::uint64_t arrival_ = 0;   // the number of the request the worker dispatches
  std::atomic<bool> ended_{false};
  std::atomic<bool> ending_{false};
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Queued> queue_;
  std::thread worker_;
};

}  // namespace tav::dap
