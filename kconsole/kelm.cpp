// The kernel console's input, its statement layer (assignments, if/else,
// while, return, shift, macro calls, groups) and the command-letter dispatch.
#include "kconsole/kelm.h"

#include <cstdio>

#include "kconsole/kelm_breaks.h"
#include "kernel/debugger.h"
#include "kconsole/kelm_text.h"
#include "support/messages.h"

namespace tav {

using namespace kelm_text;

namespace {

// Entries of the control stack (if, while, macro call) that may nest.
constexpr int kControlStackSize = 29;
// Groups do not count on the control stack; this keeps "{{{{...}}}}" from
// exhausting the real one.
constexpr int kMaxNesting = 200;
constexpr std::size_t kConsoleLine = 80;
constexpr int kMacroArguments = 9;
// A busy "while" lets the host see the stop key this often.
constexpr unsigned kPollEvery = 256;

bool read_file_line(std::FILE* f, std::string& line) {
  line.clear();
  int c;
  bool any = false;
  while ((c = std::fgetc(f)) != EOF) {
    any = true;
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

}  // namespace

const Kelm::Letter Kelm::kLetters[] = {
    {'a', &Kelm::cmd_a},       {'b', &Kelm::cmd_b},       {'c', &Kelm::cmd_c},       {'d', &Kelm::cmd_d},
    {'e', &Kelm::cmd_e},       {'h', &Kelm::cmd_h},       {'k', &Kelm::cmd_k},       {'l', &Kelm::cmd_l},
    {'m', &Kelm::cmd_m},       {'p', &Kelm::cmd_p},       {'q', &Kelm::cmd_q},       {'r', &Kelm::cmd_r},
    {'v', &Kelm::cmd_v},       {'w', &Kelm::cmd_w},       {'x', &Kelm::cmd_x},       {'z', &Kelm::cmd_z},
    {'$', &Kelm::cmd_register}, {'"', &Kelm::cmd_quote},  {'<', &Kelm::cmd_input},   {'>', &Kelm::cmd_output},
    {'*', &Kelm::cmd_comment}, {'!', &Kelm::cmd_nothing},
};

Kelm::Kelm(Debugger& d) : d_(d) {
  d_.low_breaks.set_exec([this](const char* text) { kelm_exec(text, 1); });
  d_.low_breaks.set_output([this](std::string_view text) { print(text); });
}

Kelm::~Kelm() {
  // The breakpoint list outlives the console by a few members.
  d_.low_breaks.set_exec(nullptr);
  d_.low_breaks.set_output([&d = d_](std::string_view text) { putout(d, text); });
}

// ------------------------------------------------------------ input and output

void Kelm::print(std::string_view text) {
  if (log_) {
    std::fwrite(text.data(), 1, text.size(), log_.get());
    std::fflush(log_.get());
  }
  if (redirect_) {
    std::fwrite(text.data(), 1, text.size(), redirect_.get());
    std::fflush(redirect_.get());
  } else {
    putout(d_, text);
  }
}

bool Kelm::read_line(std::string_view prompt, std::string& line, std::size_t max) {
  while (!inputs_.empty()) {
    if (read_file_line(inputs_.back().get(), line)) return true;
    inputs_.pop_back();  // that file is done: the one below goes on
  }
  if (!d_.host.read_input(prompt, line, max)) return false;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (log_) {
    std::fprintf(log_.get(), "%.*s%s\n", static_cast<int>(prompt.size()), prompt.data(), line.c_str());
    std::fflush(log_.get());
  }
  return true;
}

bool Kelm::read_line(std::string& line) { return read_line("?> ", line, kConsoleLine); }

// One command line; a group left open goes on over the following lines.
bool Kelm::read_command(std::string& line) {
  // One character more than allowed is asked for: a longer command line is
  // refused as a whole rather than cut, which could lose a closing brace and
  // make the group swallow every following line.
  // (Lines of "<" files have no such limit.)
  const auto too_long = [this](const std::string& text) {
    if (!inputs_.empty() || text.size() <= kConsoleLine) return false;
    print("line too long (more than " + std::to_string(kConsoleLine) + " characters): ignored\n");
    return true;
  };
  for (;;) {
    if (!read_line("-> ", line, kConsoleLine + 1)) return false;
    if (too_long(line)) continue;
    std::string more;
    bool refused = false;
    while (open_braces(line) > 0 && read_line("-> ", more, kConsoleLine + 1)) {
      if ((refused = too_long(more))) break;
      line += "\n" + more;
    }
    if (!refused) return true;
  }
}

void Kelm::kelm_exec(const char* text, int execute) {
  if (!text) {
    console();
    return;
  }
  const Flow outer = flow_;
  flow_ = Flow::Normal;
  const std::size_t depth = inputs_.size();
  run_string(text, execute != 0);
  if (!session_) drain_files(depth);
  flow_ = outer;
}

void Kelm::console() {
  if (session_) return;
  session_ = true;
  while (!d_.kernel.ending()) {
    std::string line;
    if (!read_command(line)) break;
    CommandScope scope(d_.run);
    flow_ = Flow::Normal;
    if (*skip_blanks(line.c_str()) == '\0') {
      // An empty line goes on with the last d or e from where it stopped.
      if (repeat_ == 'd') run_string("d", true);
      if (repeat_ == 'e') run_string("e", true);
      continue;
    }
    repeat_ = 0;
    run_string(line.c_str(), true);
    if (flow_ == Flow::Quit) break;
  }
  flow_ = Flow::Normal;
  inputs_.clear();
  session_ = false;
}

// Commands that "<" files opened while a command string ran outside the
// console: they run before the string's caller goes on.
void Kelm::drain_files(std::size_t depth) {
  std::string line;
  while (inputs_.size() > depth) {
    if (!read_file_line(inputs_.back().get(), line)) {
      inputs_.pop_back();
      continue;
    }
    std::string more;
    while (open_braces(line) > 0 && inputs_.size() > depth && read_file_line(inputs_.back().get(), more))
      line += "\n" + more;
    flow_ = Flow::Normal;
    run_string(line.c_str(), true);
    if (flow_ == Flow::Quit) break;
  }
  while (inputs_.size() > depth) inputs_.pop_back();
}

// ------------------------------------------------------------ statement layer

const char* Kelm::fail(int message) {
  print(msgtext(message) + "\n");
  flow_ = Flow::Abort;
  return nullptr;
}

CmdExprEnv Kelm::expr_env() {
  CmdExprEnv env{d_.memory, d_.registers, d_.program.symbols(), &d_.program.tables(), this, this, {}, false};
  return env;
}

bool Kelm::operand(const char*& p, std::uint32_t& value, bool execute) {
  CmdExprEnv env = expr_env();
  int error = 0;
  value = cmd_expr(env, p, error, execute);
  if (error) {
    fail(error);
    return false;
  }
  return true;
}

bool Kelm::argument(int number, std::uint32_t& value) {
  if (frames_.empty() || number < 0) return false;
  const Frame& f = frames_.back();
  if (number == 0) {
    value = static_cast<std::uint32_t>(f.count);
    return true;
  }
  if (number > f.count) return false;
  value = f.args[number - 1];
  return true;
}

bool Kelm::push_control() {
  if (control_depth_ >= kControlStackSize) {
    fail(msg::stack_overflow);
    return false;
  }
  ++control_depth_;
  return true;
}

Kelm::Macro* Kelm::find_macro(std::string_view name) {
  for (Macro& m : macros_)
    if (m.name == name) return &m;
  return nullptr;
}

void Kelm::define_macro(std::string_view name, std::string body) {
  const std::size_t first = body.find_first_not_of(" \t\r\n");
  const std::size_t last = body.find_last_not_of(" \t\r\n");
  body = first == std::string::npos ? std::string() : body.substr(first, last - first + 1);
  Macro* m = find_macro(name);
  if (body.empty()) {
    if (m) macros_.erase(macros_.begin() + (m - macros_.data()));
  } else if (m) {
    m->body = std::move(body);
  } else {
    macros_.push_back({std::string(name), std::move(body)});
  }
  panel_flag_ = find_macro(".panel") != nullptr;
  timing_flag_ = find_macro(".ftime") != nullptr;
}

// The stop key ends a busy loop; the host sees it only when it is asked now and then.
bool Kelm::stopped() {
  if (++loop_polls_ % kPollEvery == 0 && d_.host.pump_events()) d_.kernel.close_requested = true;
  return d_.run.stop_requested() || d_.kernel.ending();
}

void Kelm::run_string(const char* text, bool execute) {
  const char* p = sequence(text, execute);
  if (flow_ == Flow::Normal && *p != '\0') fail(msg::syntax_error);  // a "}" that closes nothing
}

// Commands up to the end of the text or an unmatched "}".
const char* Kelm::sequence(const char* p, bool execute) {
  for (;;) {
    p = skip_separators(p);
    if (*p == '\0' || *p == '}') return p;
    const char* next = command(p, execute);
    if (!next || flow_ != Flow::Normal) {
      if (flow_ == Flow::Normal) flow_ = Flow::Abort;
      return next ? next : p;
    }
    if (next == p) return fail(msg::syntax_error);
    // Whatever follows a command must be a separator ("z q" is no "z"),
    // except after a group, which ends itself.
    const char* after = skip_blanks(next);
    if (next[-1] != '}' && *after != '\0' && *after != ';' && *after != '\n' && *after != '}')
      return fail(msg::syntax_error);
    p = next;
  }
}

const char* Kelm::command(const char* p, bool execute) {
  p = skip_blanks(p);
  if (nesting_ >= kMaxNesting) return fail(msg::stack_overflow);
  struct Nest {
    int& n;
    explicit Nest(int& depth) : n(depth) { ++n; }
    ~Nest() { --n; }
  } nest(nesting_);

  if (*p == '{') {
    const char* q = sequence(p + 1, execute);
    if (flow_ != Flow::Normal) return q;
    return *q == '}' ? q + 1 : q;
  }
  if (name_start(*p)) {
    const char* end = name_end(p);
    const char* q = skip_blanks(end);
    if (*q == '=' && q[1] != '=') return assign(p, end, q + 1, execute);
    const std::string_view word(p, static_cast<std::size_t>(end - p));
    if (word == "if") return if_statement(end, execute);
    if (word == "while") return while_statement(end, execute);
    if (word == "return") {
      if (execute) flow_ = Flow::Return;
      return end;
    }
    if (word == "shift") return shift_statement(end, execute);
    if (const Macro* m = find_macro(word)) return macro_call(*m, end, execute);
  }
  if (!execute) return skip_command(p);
  return letter_command(p);
}

const char* Kelm::letter_command(const char* p) {
  if (at_end(p)) return skip_blanks(p);  // an empty command ("if 1" with nothing after it)
  for (const Letter& l : kLetters)
    if (l.letter == *p) return (this->*l.handler)(p + 1);
  return fail(msg::unknown_command);
}

const char* Kelm::if_statement(const char* p, bool execute) {
  if (!push_control()) return nullptr;
  std::uint32_t condition = 0;
  if (!operand(p, condition, execute)) {
    pop_control();
    return nullptr;
  }
  p = command(p, execute && condition != 0);
  if (flow_ == Flow::Normal) {
    // "else" may follow the first command directly, or after one ";" or line end.
    const char* q = skip_blanks(p);
    if (*q == ';' || *q == '\n') q = skip_blanks(q + 1);
    while (*q == '\n') q = skip_blanks(q + 1);
    if (keyword(q, "else")) p = command(q + 4, execute && condition == 0);
  }
  pop_control();
  return p;
}

const char* Kelm::while_statement(const char* p, bool execute) {
  if (!push_control()) return nullptr;
  const char* condition_at = p;
  for (;;) {
    const char* q = condition_at;
    std::uint32_t condition = 0;
    if (!operand(q, condition, execute)) break;
    const bool run = execute && condition != 0;
    p = command(q, run);
    if (!run || flow_ != Flow::Normal) break;
    if (stopped()) {
      flow_ = Flow::Abort;
      break;
    }
  }
  pop_control();
  return p;
}

const char* Kelm::shift_statement(const char* p, bool execute) {
  std::uint32_t n = 1;
  if (!at_end(p) && !operand(p, n, execute)) return nullptr;
  if (!execute) return p;
  if (frames_.empty() || n < 1 || n > 8) return fail(msg::incorrect_argument);
  Frame& f = frames_.back();
  const int at = static_cast<int>(n);
  if (at <= f.count) {
    for (int i = at; i < f.count; ++i) f.args[i - 1] = f.args[i];
    f.args[--f.count] = 0;
  }
  return p;
}

const char* Kelm::macro_call(const Macro& macro, const char* p, bool execute) {
  Frame frame;
  if (!at_end(p)) {
    for (;;) {
      if (frame.count == kMacroArguments) return fail(msg::too_many_arguments);
      std::uint32_t value = 0;
      if (!operand(p, value, execute)) return nullptr;
      frame.args[frame.count++] = value;
      p = skip_blanks(p);
      if (*p != ',') break;
      ++p;
    }
  }
  if (!execute) return p;
  if (!push_control()) return nullptr;
  // The body is copied: the macro may redefine or delete itself while it runs.
  const std::string body = macro.body;
  frames_.push_back(frame);
  const char* q = sequence(body.c_str(), true);
  if (flow_ == Flow::Normal && *q != '\0') fail(msg::syntax_error);
  frames_.pop_back();
  pop_control();
  if (flow_ == Flow::Return) flow_ = Flow::Normal;
  return p;
}

}  // namespace tav
