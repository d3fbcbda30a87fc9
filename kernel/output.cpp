#include "kernel/output.h"

#include <cerrno>
#include <cstring>

#include "kernel/debugger.h"
#include "kernel/files.h"

namespace tav {

void putout(Debugger& d, const char* text, std::size_t length) {
  OutputState& o = d.output;
  for (auto& buffer : o.capture) {
    if (buffer.active) {
      buffer.text.append(text, length);
      return;
    }
  }
  if (!d.host.command_window_exists()) {
    if (!o.open_on_output) return;
    d.host.open_command_window();
  }
  d.host.command_window_append(std::string_view(text, length));
  if (o.redirect && o.redirect_active) {
    std::fwrite(text, 1, length, o.redirect.get());
    if (!stream_ok(o.redirect.get())) {
      // Reported once through the command window only, then the copy ends.
      o.redirect.reset();
      o.redirect_active = false;
      errout(d, {"write error: output file: ", std::strerror(errno), "\n"});
    }
  }
}

void putout(Debugger& d, std::string_view text) { putout(d, text.data(), text.size()); }

void putstrs(Debugger& d, std::initializer_list<std::string_view> texts) {
  for (auto t : texts) putout(d, t);
}

void errout(Debugger& d, std::initializer_list<std::string_view> texts) {
  if (!d.output.error_capture) ++d.kernel.errors_shown;
  // An extension's command request gets the error text back, wherever the
  // command came from (a command file included).
  if (d.output.error_capture) {
    std::string joined;
    for (auto t : texts) joined.append(t);
    d.output.captured_error = std::move(joined);
    return;
  }
  if (d.kernel.in_command_file) {
    putout(d, "#error: ");
    if (d.kernel.error_locations && !d.kernel.cmdfile_name.empty())
      putout(d, d.kernel.cmdfile_name + ":" + std::to_string(d.kernel.cmdfile_line) + ": ");
    putstrs(d, texts);
    // An error in a command file is a line of its own, also when its text
    // (an option error quoting the rest of the command) has no line end.
    std::string_view last;
    for (auto t : texts)
      if (!t.empty()) last = t;
    if (last.empty() || last.back() != '\n') putout(d, "\n");
    return;
  }
  std::string joined;
  for (auto t : texts) joined.append(t);
  d.host.message_box("Error", joined);
}

void putout_emit(void* debugger, const char* bytes, std::size_t count) {
  putout(*static_cast<Debugger*>(debugger), bytes, count);
}

void capture_begin(Debugger& d, Capture which) {
  auto& buffer = d.output.capture[static_cast<int>(which)];
  buffer.text.clear();
  buffer.active = true;
}

std::string capture_end(Debugger& d, Capture which) {
  auto& buffer = d.output.capture[static_cast<int>(which)];
  buffer.active = false;
  return std::move(buffer.text);
}

bool capturing(const Debugger& d) {
  for (const auto& buffer : d.output.capture)
    if (buffer.active) return true;
  return false;
}

void WinitFakeIo(Debugger& d) { capture_begin(d, Capture::FakeIo); }
void WinSetFakeIo(Debugger& d) { d.output.capture[static_cast<int>(Capture::FakeIo)].text.clear(); }
void WinStopFakeIo(Debugger& d) { d.output.capture[static_cast<int>(Capture::FakeIo)].active = false; }
const std::string& fake_io_text(const Debugger& d) {
  return d.output.capture[static_cast<int>(Capture::FakeIo)].text;
}

void record_line(Debugger& d, const char* line) {
  OutputState& o = d.output;
  if (!o.record || o.record_paused) return;
  std::fputs(line, o.record.get());
  std::fputc('\n', o.record.get());
  if (!stream_ok(o.record.get())) {
    o.record.reset();
    errout(d, {"write error: record file: ", std::strerror(errno), "\n"});
  }
}

}  // namespace tav
