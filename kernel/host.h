// The kernel's only view of the program that hosts it. The console host and
// the desktop host implement it; the kernel never talks to a terminal or a
// toolkit directly.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tav {

// Views that the after-command work asks the host to refresh (a bit set).
enum View : unsigned {
  kViewSource = 1u << 0,     // source views
  kViewDisasm = 1u << 1,     // disassembly view
  kViewAfterGo = 1u << 2,    // the windows that follow execution, after a "g..." command
  kViewVariables = 1u << 3,  // variable views
  kViewRegisters = 1u << 4,
  kViewStack = 1u << 5,
  kViewMemory = 1u << 6,
  kViewMonitors = 1u << 7,
  kViewStopped = 1u << 8,    // a run command ended: hosts that follow execution show where
};

// Fields of the status line.
enum class StatusField { Left, Middle, Right };

class Host {
 public:
  virtual ~Host() = default;

  // Handles whatever the user did meanwhile (a stop key sets the stop request).
  // Returns true when a request to close the main window was seen.
  virtual bool pump_events() = 0;

  virtual void status(StatusField field, std::string_view text) = 0;
  virtual void message_box(std::string_view title, std::string_view text) = 0;
  virtual bool ask_yes_no(std::string_view title, std::string_view question) = 0;
  virtual void refresh_views(unsigned views) = 0;
  // Opens (or brings forward) one view: a command such as "disa" or "wregs"
  // asked for it. A host without windows prints the view's text instead.
  virtual void show_view(View view) { (void)view; }

  // Progress gauge: begin with a total, advance by steps, end.
  virtual void gauge_begin(std::string_view title, std::uint32_t total) = 0;
  virtual void gauge_step(std::uint32_t amount) = 0;
  virtual void gauge_end() = 0;

  virtual void beep() = 0;

  // The command window: where command output appears.
  virtual bool command_window_exists() = 0;
  virtual void open_command_window() = 0;
  virtual void command_window_append(std::string_view text) = 0;

  // Asks the user for one line of input (at most `max` characters).
  // Returns false when the user cancels or no input can be had.
  virtual bool read_input(std::string_view prompt, std::string& line, std::size_t max) = 0;

  // Waits for a key press; returns at once where there is no keyboard.
  virtual void wait_key() = 0;
};

// A host that shows nothing and answers every question with No.
class NullHost : public Host {
 public:
  bool pump_events() override { return false; }
  void status(StatusField, std::string_view) override {}
  void message_box(std::string_view, std::string_view) override {}
  bool ask_yes_no(std::string_view, std::string_view) override { return false; }
  void refresh_views(unsigned) override {}
  void gauge_begin(std::string_view, std::uint32_t) override {}
  void gauge_step(std::uint32_t) override {}
  void gauge_end() override {}
  void beep() override {}
  bool command_window_exists() override { return true; }
  void open_command_window() override {}
  void command_window_append(std::string_view) override {}
  bool read_input(std::string_view, std::string&, std::size_t) override { return false; }
  void wait_key() override {}
};

}  // namespace tav
