#include "ui/console/line_editor.h"

#include <histedit.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cwchar>

#include "ui/console/interrupt.h"
#include "ui/model/completion.h"

namespace tav {

namespace {
constexpr int kHistorySize = 20;
bool g_gave_up = false;  // the last read ended on Ctrl-C

// Reads one character, but gives up on Ctrl-C: poll is interrupted by the
// signal even where read would be restarted. Multibyte input is decoded with
// the terminal's character set; a byte that does not decode stands for itself.
int read_char(EditLine* el, wchar_t* out) {
  std::mbstate_t state{};
  for (;;) {
    if (take_interrupt()) {
      g_gave_up = true;
      errno = EINTR;
      return -1;
    }
    if (take_resize()) el_resize(el);
    pollfd p{STDIN_FILENO, POLLIN, 0};
    if (poll(&p, 1, -1) < 0) continue;
    char c;
    ssize_t n = ::read(STDIN_FILENO, &c, 1);
    if (n == 0) return 0;
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return -1;
    }
    wchar_t wc;
    std::size_t r = std::mbrtowc(&wc, &c, 1, &state);
    if (r == static_cast<std::size_t>(-2)) continue;  // more bytes to come
    if (r == static_cast<std::size_t>(-1)) {
      state = {};
      wc = static_cast<unsigned char>(c);
    }
    *out = wc;
    return 1;
  }
}

LineEditor* editor_of(EditLine* el) {
  void* data = nullptr;
  el_get(el, EL_CLIENTDATA, &data);
  return static_cast<LineEditor*>(data);
}
}  // namespace

const char* LineEditor::prompt_of(EditLine* el) { return editor_of(el)->prompt_.c_str(); }

// Tab: the word grows by what all choices share; with no growth and several
// choices they are listed below the line.
unsigned char LineEditor::on_tab(EditLine* el, int) {
  LineEditor* self = editor_of(el);
  if (!self->completer_) return CC_ERROR;
  const LineInfo* info = el_line(el);
  const std::string before(info->buffer, info->cursor);
  std::size_t start = before.size();
  const std::vector<std::string> choices = self->completer_(before, start);
  if (choices.empty() || start > before.size()) return CC_ERROR;
  const std::string typed = before.substr(start);
  std::string shared = choices.size() == 1 ? choices.front() : common_prefix(choices);
  if (choices.size() == 1 && !shared.empty() && shared.back() != '/') shared += ' ';
  if (shared.size() > typed.size() && shared.compare(0, typed.size(), typed) == 0) {
    el_insertstr(el, shared.c_str() + typed.size());
    return CC_REFRESH;
  }
  if (choices.size() == 1) return CC_REFRESH;
  std::fputs("\n", stdout);
  std::size_t column = 0;
  for (const std::string& c : choices) {
    if (column + c.size() + 2 > 78 && column > 0) {
      std::fputs("\n", stdout);
      column = 0;
    }
    std::fputs((c + "  ").c_str(), stdout);
    column += c.size() + 2;
  }
  std::fputs("\n", stdout);
  std::fflush(stdout);
  return CC_REDISPLAY;
}

LineEditor::LineEditor(const char* prompt) : prompt_(prompt) {
  el_ = el_init("tav", stdin, stdout, stderr);
  hist_ = history_init();
  HistEvent ev;
  history(hist_, &ev, H_SETSIZE, kHistorySize);
  el_set(el_, EL_CLIENTDATA, this);
  el_set(el_, EL_PROMPT, prompt_of);
  el_set(el_, EL_EDITOR, "emacs");
  el_set(el_, EL_HIST, history, hist_);
  el_set(el_, EL_GETCFN, read_char);
  el_set(el_, EL_ADDFN, "tav-complete", "complete a command, file or symbol name", on_tab);
  el_set(el_, EL_BIND, "^I", "tav-complete", nullptr);
  el_source(el_, nullptr);  // the user's ~/.editrc, when there is one
}

LineEditor::~LineEditor() {
  el_end(el_);
  history_end(hist_);
}

LineEditor::Result LineEditor::read(std::string& line) {
  take_interrupt();  // a Ctrl-C that ended a command is not meant for the new line
  g_gave_up = false;
  int count = 0;
  const char* text = el_gets(el_, &count);
  if (!text) return g_gave_up ? Result::Interrupted : Result::End;
  line.assign(text, static_cast<std::size_t>(count));
  return Result::Line;
}

void LineEditor::remember(const std::string& line) {
  HistEvent ev;
  history(hist_, &ev, H_ENTER, line.c_str());
}

}  // namespace tav
