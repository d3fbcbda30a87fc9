// What the views of the desktop host ask of their frame: the debugger they
// show, running the command lines their mouse and key actions become, the
// configured colours, and opening further views.
#pragma once
#include <QColor>
#include <cstdint>
#include <string>

namespace tav {
class Debugger;
}

namespace tav::qt {

// The colours kept beside the colour table.
enum ExtraColour { kColourAssembler = 0, kColourBkptOn = 1, kColourBkptOff = 2, kColourSource = 3, kColourPc = 4 };

class ViewHost {
 public:
  virtual ~ViewHost() = default;
  virtual Debugger* debugger() = 0;
  // Runs a line as a menu does; false when refused (a command already runs).
  virtual bool run_line(const std::string& line) = 0;
  // Runs a line and returns what it printed instead of showing it.
  virtual std::string run_captured(const std::string& line) = 0;
  virtual void show_message(const std::string& title, const std::string& text) = 0;
  virtual QColor table_colour(int entry) const = 0;
  virtual QColor extra_colour(ExtraColour which) const = 0;
  virtual bool syntax_colouring() const = 0;
  virtual void open_source(const std::string& file, unsigned line) = 0;
  virtual void open_data_memory(std::uint32_t address) = 0;
  virtual void show_code(std::uint32_t address) = 0;
  virtual void beep() = 0;
};

// A view the frame refreshes after commands and runs: `full` after memory
// was written by someone else or a new program came; otherwise incremental.
class RefreshingView {
 public:
  virtual ~RefreshingView() = default;
  virtual void refresh_view(bool full) = 0;
};

}  // namespace tav::qt
