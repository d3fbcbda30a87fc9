#include "ui/console/console_host.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>

#include "kconsole/kelm.h"
#include "kernel/debugger.h"
#include "ui/console/interrupt.h"
#include "ui/console/line_editor.h"
#include "ui/model/menu_settings.h"
#include "ui/model/completion.h"
#include "ui/model/view_text.h"

namespace tav {

namespace {
constexpr std::string_view kPrompt = "Tav>";
// A line of its own that enters the kernel console.
constexpr std::string_view kKernelConsole = "->";

bool enters_kernel_console(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  return line.substr(first, line.find_last_not_of(" \t") + 1 - first) == kKernelConsole;
}
}

ConsoleHost::ConsoleHost()
    : in_tty_(isatty(STDIN_FILENO) != 0), err_tty_(isatty(STDERR_FILENO) != 0), show_location_(in_tty_) {}

ConsoleHost::~ConsoleHost() { clear_status_line(); }

void ConsoleHost::attach(Debugger& d) {
  debugger_ = &d;
  install_interrupt(&d.run);
  register_menu_word(d);  // the menus' settings, without menus
}

void ConsoleHost::run(Debugger& d) {
  if (d.kernel.ending()) return;
  if (in_tty_)
    run_interactive(d);
  else
    run_batch(d);
}

void ConsoleHost::execute(Debugger& d, std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (line.compare(0, kPrompt.size(), kPrompt) == 0) line.erase(0, kPrompt.size());
  if (line.empty()) return;
  if (enters_kernel_console(line)) {
    d.kelm.kelm_exec(nullptr, 1);  // the kernel console, until "q"
    std::fflush(stdout);
    return;
  }
  d.kernel.typed_command = true;
  docmd(d, line.c_str(), 1);
  d.kernel.typed_command = false;
  std::fflush(stdout);  // whoever drives us through a pipe waits for the answer
}

void ConsoleHost::run_interactive(Debugger& d) {
  std::setlocale(LC_CTYPE, "");  // let the editor decode what the terminal sends
  LineEditor editor(kPrompt.data());
  editor.set_completer([&d](const std::string& before, std::size_t& start) {
    Completion c = complete(d, before);
    start = c.start;
    return std::move(c.choices);
  });
  std::string line;
  while (!d.kernel.ending()) {
    clear_status_line();
    std::fflush(stdout);
    auto result = editor.read(line);
    if (result == LineEditor::Result::End) {
      std::fputs("\n", stdout);  // leave the shell's prompt on a line of its own
      break;
    }
    if (result == LineEditor::Result::Interrupted) {
      // Ctrl-C at the prompt throws the line away; the next command drops the request.
      std::fputs("\n", stdout);
      continue;
    }
    std::string typed = line;
    while (!typed.empty() && (typed.back() == '\n' || typed.back() == '\r')) typed.pop_back();
    if (!typed.empty()) editor.remember(typed);
    execute(d, std::move(line));
    if (take_interrupt()) std::fputs("\n", stdout);  // after the terminal's "^C"
  }
}

bool ConsoleHost::read_stdin_line(std::string& line) {
  line.clear();
  int c;
  while ((c = std::getc(stdin)) != EOF) {
    if (c == '\n') return true;
    line += static_cast<char>(c);
  }
  return !line.empty();
}

void ConsoleHost::run_batch(Debugger& d) {
  std::string line;
  while (!d.kernel.ending() && read_stdin_line(line)) execute(d, line);
}

bool ConsoleHost::pump_events() {
  // The kernel pumps before each command, after each line of a command file
  // and now and then during runs: output written so far reaches a pipe or
  // file there, not only at exit. Ctrl-C reaches the stop request directly;
  // a console has no close request.
  std::fflush(stdout);
  return false;
}

void ConsoleHost::show_status_line() {
  if (!err_tty_) return;
  std::string text;
  for (const auto& f : fields_) {
    if (f.empty()) continue;
    if (!text.empty()) text += "  ";
    text += f;
  }
  if (gauge_on_) {
    unsigned percent = gauge_total_ ? static_cast<unsigned>(100ull * gauge_done_ / gauge_total_) : 0;
    if (!text.empty()) text += "  ";
    text += gauge_title_ + " " + std::to_string(percent > 100 ? 100 : percent) + "%";
  }
  std::fflush(stdout);
  std::fprintf(stderr, "\r\x1b[K%s", text.c_str());
  std::fflush(stderr);
  status_shown_ = !text.empty();
}

void ConsoleHost::clear_status_line() {
  if (!status_shown_) return;
  std::fputs("\r\x1b[K", stderr);
  std::fflush(stderr);
  status_shown_ = false;
}

void ConsoleHost::status(StatusField field, std::string_view text) {
  fields_[static_cast<int>(field)] = std::string(text);
  show_status_line();
}

void ConsoleHost::message_box(std::string_view title, std::string_view text) {
  clear_status_line();
  std::fflush(stdout);
  std::string line = std::string(title) + ": " + std::string(text);
  if (line.back() != '\n') line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

bool ConsoleHost::ask_yes_no(std::string_view title, std::string_view question) {
  if (!in_tty_) return false;
  clear_status_line();
  std::fflush(stdout);
  std::fprintf(stderr, "%.*s: %.*s (y/n) ", static_cast<int>(title.size()), title.data(),
               static_cast<int>(question.size()), question.data());
  std::fflush(stderr);
  std::string answer;
  if (!read_stdin_line(answer)) return false;
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

void ConsoleHost::refresh_views(unsigned views) {
  // The console has no views to keep up to date: commands print them. Only
  // where a run stopped is shown, when asked for.
  if ((views & kViewStopped) && show_location_ && debugger_) putout(*debugger_, location_text(*debugger_));
}

void ConsoleHost::show_view(View view) {
  // A view the console cannot open is printed as text, through the command output.
  if (debugger_) putout(*debugger_, view_text(*debugger_, view, show_location_));
}

void ConsoleHost::gauge_begin(std::string_view title, std::uint32_t total) {
  gauge_title_ = std::string(title);
  gauge_total_ = total;
  gauge_done_ = 0;
  gauge_on_ = true;
  show_status_line();
}

void ConsoleHost::gauge_step(std::uint32_t amount) {
  if (!gauge_on_) return;
  unsigned before = gauge_total_ ? static_cast<unsigned>(100ull * gauge_done_ / gauge_total_) : 0;
  gauge_done_ += amount;
  unsigned after = gauge_total_ ? static_cast<unsigned>(100ull * gauge_done_ / gauge_total_) : 0;
  if (after != before) show_status_line();
}

void ConsoleHost::gauge_end() {
  gauge_on_ = false;
  show_status_line();
}

void ConsoleHost::beep() {
  if (!err_tty_) return;
  std::fputc('\a', stderr);
  std::fflush(stderr);
}

bool ConsoleHost::command_window_exists() { return true; }

void ConsoleHost::open_command_window() {}

void ConsoleHost::command_window_append(std::string_view text) {
  clear_status_line();
  std::fwrite(text.data(), 1, text.size(), stdout);
}

bool ConsoleHost::read_input(std::string_view prompt, std::string& line, std::size_t max) {
  clear_status_line();
  if (in_tty_) {
    std::fwrite(prompt.data(), 1, prompt.size(), stdout);
  }
  std::fflush(stdout);
  if (!read_stdin_line(line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > max) line.resize(max);
  return true;
}

void ConsoleHost::wait_key() {
  if (!in_tty_) return;
  clear_status_line();
  std::fflush(stdout);
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
  termios raw = saved;
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  take_interrupt();
  for (;;) {
    pollfd p{STDIN_FILENO, POLLIN, 0};
    if (poll(&p, 1, -1) > 0) {
      char c;
      if (::read(STDIN_FILENO, &c, 1) >= 0) break;
    }
    if (take_interrupt()) break;
  }
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

}  // namespace tav
