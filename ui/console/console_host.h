// The console host: the terminal (or a pipe) is the command window, message
// boxes are lines on standard error, Ctrl-C is the stop request.
#pragma once
#include <string>

#include "kernel/host.h"

namespace tav {

class Debugger;

class ConsoleHost : public Host {
 public:
  ConsoleHost();
  ~ConsoleHost() override;
  ConsoleHost(const ConsoleHost&) = delete;
  ConsoleHost& operator=(const ConsoleHost&) = delete;

  // Routes Ctrl-C to the debugger's stop request. Call once, before start-up.
  void attach(Debugger& d);

  // Takes command lines until "quit", a close request or the end of input:
  // with line editing and the "Tav>" prompt on a terminal, plain lines otherwise.
  void run(Debugger& d);

  bool pump_events() override;
  void status(StatusField field, std::string_view text) override;
  void message_box(std::string_view title, std::string_view text) override;
  bool ask_yes_no(std::string_view title, std::string_view question) override;
  void refresh_views(unsigned views) override;
  void show_view(View view) override;
  void gauge_begin(std::string_view title, std::uint32_t total) override;
  void gauge_step(std::uint32_t amount) override;
  void gauge_end() override;
  void beep() override;
  bool command_window_exists() override;
  void open_command_window() override;
  void command_window_append(std::string_view text) override;
  bool read_input(std::string_view prompt, std::string& line, std::size_t max) override;
  void wait_key() override;

  // Runs one line as typed: a leading "Tav>" is dropped, empty lines are skipped.
  void execute(Debugger& d, std::string line);

  // After each run the location is shown, and "disa" marks the PC's line:
  // on by default when standard input is a terminal (tavc --where / --no-where).
  void set_show_location(bool on) { show_location_ = on; }
  bool show_location() const { return show_location_; }

 private:
  void run_interactive(Debugger& d);
  void run_batch(Debugger& d);
  void show_status_line();
  void clear_status_line();
  bool read_stdin_line(std::string& line);

  bool in_tty_;
  bool err_tty_;
  bool show_location_;
  Debugger* debugger_ = nullptr;
  std::string fields_[3];
  std::string gauge_title_;
  std::uint32_t gauge_total_ = 0;
  std::uint32_t gauge_done_ = 0;
  bool gauge_on_ = false;
  bool status_shown_ = false;
};

}  // namespace tav
