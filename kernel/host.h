// The kernel's only view of the program that hosts it. The console host and
// the desktop host implement it; the kernel never talks to a terminal or a
// toolkit directly.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "kernel/window_layout.h"

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
  kViewEvents = 1u << 9,     // the event table changed: views that mark or list events
  kViewRunning = 1u << 10,   // a run command begins: hosts that follow execution show it running
};

// Fields of the status line.
enum class StatusField { Left, Middle, Right };

// What "maximize" and "minimize" ask of the main window.
enum class MainWindowState { Maximized, Minimized };

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
  // "cmdwin /h" and "maximize"/"minimize": a host without such windows
  // ignores them.
  virtual void hide_command_window() {}
  virtual void show_main_window(MainWindowState state) { (void)state; }

  // Asks the user for one line of input (at most `max` characters).
  // Returns false when the user cancels or no input can be had.
  virtual bool read_input(std::string_view prompt, std::string& line, std::size_t max) = 0;

  // Waits for a key press; returns at once where there is no keyboard.
  virtual void wait_key() = 0;

  // ---- The frame as extensions see it. A host without windows keeps these
  // neutral defaults: no handles (null), no menus (-1, 0), no effect.
  enum class FrameObject { Main, MdiClient, Toolbar, FunctionPopup, VariablePopup, Font };
  // An opaque handle (the desktop host: a pointer to the Qt object).
  virtual void* frame_object(FrameObject which) { return nullptr; }
  // Position of the top-level menu titled exactly `title`, or -1.
  virtual int menu_position(std::string_view title) { return -1; }
  virtual int extensions_menu_items() { return 0; }
  // Appends a check button (command 1000) with the bitmap from the library; the toolbar's answer.
  virtual int add_toolbar_button(void* module, std::string_view bitmap) { return 0; }
  // A system command to the main frame (window null) or to a view's frame.
  virtual void system_command(void* window, int command) {}
  // Arrangement of the views: 1 free, 2 cascade, 3 horizontal tile, 4 vertical tile.
  virtual int windows_style() { return 2; }
  virtual void set_windows_style(int style) {}
  // Opens (on) or closes one of the command, disassembly, register and stack views.
  virtual void display_view(View view, bool on) {}
  // A system command to the frame of the disassembly, register or stack view, when open.
  virtual void view_command(View view, int command) {}
  // Opens the file list (functions false) or the function list view; its handle or null.
  virtual void* open_name_list(bool functions) { return nullptr; }
  // Asks the user to choose a source file or a function; false when cancelled.
  virtual bool select_name(bool functions, std::string& name) { return false; }
  // Opens a data memory view with its initial display unit, format letter, columns and follow switch.
  virtual void* open_data_memory_view(std::string_view title, std::uint32_t address, int unit, int format,
                                      int columns, bool follow) {
    return nullptr;
  }
  // Carries out the binding of function key `key` (0 for F1).
  virtual void function_key(int key) {}
  // Opens a source view at a line (0: no line) or a code memory view; the view's handle or null.
  virtual void* open_source_view(std::string_view file, int line) { return nullptr; }
  virtual void* open_code_memory_view(std::string_view title, std::uint32_t address) { return nullptr; }
  virtual void close_view(void* view) {}
  // The lines selected in the current source view; false when nothing is selected.
  virtual bool source_selection(int& first, int& last) { return false; }
  virtual void busy_cursor(bool on) {}
  virtual void edit_extension_path() {}
  // The colour table entry (0 to 18) as 0xBBGGRR; the defaults unless the host keeps its own.
  virtual std::uint32_t colour(int index);
  // The window arrangement and places for session and layout files. A host
  // without windows writes fixed defaults and ignores what it reads.
  virtual WindowLayout window_layout() { return console_window_layout(); }
  virtual void apply_window_layout(const WindowLayout& layout) { (void)layout; }
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
