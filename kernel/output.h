// The single output sink of all command output, the error output, and the
// record, redirect and capture machinery behind them.
#pragma once
#include <cstddef>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "support/fmt.h"

namespace tav {

class Debugger;

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The three capture buffers, in the order putout tests them.
enum class Capture { Format, Second, FakeIo };

struct OutputState {
  FilePtr record;             // record of command lines, or none
  bool record_paused = false;  // set while an event's attached commands run
  FilePtr redirect;           // copy of the output, or none
  bool redirect_active = false;
  struct Buffer {
    bool active = false;
    std::string text;
  } capture[3];
  bool open_on_output = false;  // AUTOCMD: open the command window when output arrives
  bool error_capture = false;   // errors are kept for the extension caller, not shown
  std::optional<std::string> captured_error;
};

void putout(Debugger& d, const char* text, std::size_t length);
void putout(Debugger& d, std::string_view text);
void putstrs(Debugger& d, std::initializer_list<std::string_view> texts);
void errout(Debugger& d, std::initializer_list<std::string_view> texts);

// The kernel's print operation: the formatting engine writing through putout.
void putout_emit(void* debugger, const char* bytes, std::size_t count);
template <class... A>
void putfmt(Debugger& d, std::string_view format, const A&... args) {
  fmtout(putout_emit, &d, format, args...);
}

void capture_begin(Debugger& d, Capture which);
std::string capture_end(Debugger& d, Capture which);
bool capturing(const Debugger& d);

// The capture used on behalf of an extension's command request.
void WinitFakeIo(Debugger& d);   // start capturing, empty
void WinSetFakeIo(Debugger& d);  // forget what was captured so far
void WinStopFakeIo(Debugger& d);
const std::string& fake_io_text(const Debugger& d);

// Writes a command line to the record file when one is open and not paused.
void record_line(Debugger& d, const char* line);

}  // namespace tav
