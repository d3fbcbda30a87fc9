#include "kernel/output.h"

#include "kernel/debugger.h"

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
    std::fflush(o.redirect.get());
  }
}

void putout(Debugger& d, std::string_view text) { putout(d, text.data(), text.size()); }

void putstrs(Debugger& d, std::initializer_list<std::string_view> texts) {
  for (auto t : texts) putout(d, t);
}

void errout(Debugger& d, std::initializer_list<std::string_view> texts) {
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
  std::fflush(o.record.get());
}

}  // namespace tav
