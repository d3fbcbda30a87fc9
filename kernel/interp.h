// The command interpreter: every action of the debugger is a command line
// handed to docmd.
#pragma once
#include <cstdint>
#include <string>

#include "sim/run_state.h"

namespace tav {

class Debugger;

struct KernelState {
  bool internals = false;          // internal commands (start, status, stop) are known
  bool update_suppressed = false;  // no after-command refresh for the current command
  std::uint16_t command_counter = 0;
  bool quitting = false;           // set by quit; no after-command work once set
  bool in_command_file = false;    // errors go to the command output as "#error: "
  bool echo_off = false;           // command-file lines are not echoed (-v)
  bool typed_command = false;      // the current line was typed in the command window
  bool vars_marked = false;        // variable views want a refresh after this command
  bool close_requested = false;    // the host saw a request to close the main window
  int cmdfile_depth = 0;           // command files running inside each other
  // A "stop" with no run to end stops the loops of its own line; the request
  // is taken back when that line ends (end_of_line).
  RunState::Ticket line_stop;
  bool line_stop_pending = false;
  bool in_run_command = false;     // a run command is executing: events report their stops
  std::string cmdfile_name;        // the innermost command file and its current line
  int cmdfile_line = 0;
  bool error_locations = false;    // "#error: " lines name the file and line (tavc -e)
  unsigned errors_shown = 0;       // errors reported so far (tavc's exit status)

  // The host stops taking commands once this is true.
  bool ending() const { return quitting || close_requested; }
};

// Runs one command line (comments, record, statements). Never returns null.
const char* docmd(Debugger& d, const char* line, int mode);

// Runs the commands of a text until its end or a "}"; returns where it stopped.
const char* doline(Debugger& d, const char* text, int mode);

// Executes exactly one command and returns the position after it.
const char* execcmd(Debugger& d, const char* line, int mode);

// A blank: codes 1..32 and 127.
inline bool blankchar(char c) {
  auto u = static_cast<unsigned char>(c);
  return (u >= 1 && u <= 32) || u == 127;
}

// First position that is not a blank (codes 1..32 and 127); stops at NUL.
const char* skipblanks(const char* text);

// The end of a text: where a failing handler returns.
const char* endof(const char* text);

// A command-file line has ended: a "stop" that found no run takes its request back.
void end_of_line(Debugger& d);

// Runs a command file. Returns 1, or 0 when the file cannot be opened.
int cmdfile(Debugger& d, const char* name);

}  // namespace tav
