#include "kconsole/kelm_breaks.h"

#include "expr/cmd_expr.h"
#include "kernel/debugger.h"
#include "kconsole/kelm_text.h"
#include "support/fmt.h"
#include "support/messages.h"

namespace tav {

namespace {

using kelm_text::blank;
const char* skip(const char* p) { return kelm_text::skip_blanks(p); }
bool ends_command(char c) { return c == '\0' || c == ';' || c == '}' || c == '\n'; }

// The end of a `{...}` group starting at `p`: just past its closing brace,
// or null when it is not closed.
const char* group_end(const char* p) {
  const char* close = kelm_text::matching_brace(p);
  return close ? close + 1 : nullptr;
}

// The end of the commands after `?`: the end of the text, or the brace that
// closes a group the breakpoint command itself stands in.
const char* rest_end(const char* p) {
  int depth = 0;
  while (*p) {
    if (*p == '"' || *p == '\'') {
      p = kelm_text::skip_quoted(p);
      continue;
    }
    if (*p == '{') ++depth;
    if (*p == '}' && depth-- == 0) break;
    ++p;
  }
  return p;
}

std::string trimmed(const char* begin, const char* end) {
  begin = skip(begin);
  while (end > begin && blank(end[-1])) --end;
  return std::string(begin, end);
}

// Attached lines as one line: a separator where a line did not end in one.
std::string one_line(const std::string& lines) {
  std::string text;
  for (const char c : lines) {
    if (c != '\n') {
      text += c;
      continue;
    }
    while (!text.empty() && blank(text.back())) text.pop_back();
    text += text.empty() || text.back() == ';' || text.back() == '{' ? " " : "; ";
  }
  return text;
}

// "0x" and 6 hex digits, or 8 when the value needs them.
std::string hex_address(std::uint32_t a) { return fmtstr("0x%+0nhl ", a > 0xFFFFFF ? 8 : 6, a); }

const char* access_word(int access) {
  switch (access) {
    case LowBreaks::kAccessRead: return "read";
    case LowBreaks::kAccessWrite: return "write";
    default: return "instruction";
  }
}

}  // namespace

LowBreaks::LowBreaks(Debugger& d) : d_(d) {
  output_ = [this](std::string_view text) { putout(d_, text); };
}

// ------------------------------------------------------------ the check

// The break time is a pseudo-breakpoint in front of the list: when `.btime`
// is not 0, the run stops after the instruction during which the cycle
// counter `.time` reaches it (wrap-around aware: a break time less than 2^31
// cycles in the past counts as reached). It is used up by the stop: `.btime`
// goes back to 0, so that the next run is not stopped at once.
void LowBreaks::begin_instruction(std::uint32_t global_pc) {
  hit_ = timer_hit_ = false;
  hit_number_ = 0;
  in_run_ = true;
  if (!list_.empty()) {
    d_.memory.set_raw_watcher(this);
    watching_ = true;
    lbrk_check(global_pc, kAccessFetch);
  }
}

bool LowBreaks::end_instruction() {
  if (!in_run_) return false;  // no instruction began: a hit left from an earlier run stays unseen
  in_run_ = false;
  if (watching_) {
    d_.memory.set_raw_watcher(nullptr);
    watching_ = false;
  }
  std::uint32_t& btime = d_.cpu.counters.btime;
  if (btime != 0 && !hit_ && static_cast<std::int32_t>(d_.cpu.counters.time - btime) >= 0) {
    hit_ = timer_hit_ = true;
    hit_number_ = 0;
    hit_time_ = btime;
    btime = 0;
  }
  return hit_;
}

void LowBreaks::report_stop() {
  if (!hit_) return;
  if (timer_hit_) {
    putfmt(d_, "***** kernel break time: %ul cycles\n", hit_time_);
    return;
  }
  putfmt(d_, "***** kernel breakpoint (%i): %p at 0x%+0nhl\n", hit_number_, access_word(hit_access_),
         hit_address_ > 0xFFFFFF ? 8 : 6, hit_address_);
}

int LowBreaks::lbrk_check(std::uint32_t address, int access) {
  if (hit_ || checking_) return hit_number_;
  if (!(access & kinds_)) return 0;  // no breakpoint watches this kind of access
  checking_ = true;
  // Attached commands may add breakpoints (the list's nodes stay put) or
  // delete them (only marked until the walk ends).
  for (LowBreak& b : list_) {
    if (!(b.flags & access) || (b.flags & LowBreak::kDeleted)) continue;
    if (!(b.flags & LowBreak::kEvery) && (address < b.first || address > b.last)) continue;
    set_variable(".abrk", address);
    set_variable(".nbrk", b.number);
    set_variable(".tbrk", static_cast<std::uint32_t>(access & 3));
    if (!run_commands(b)) continue;
    hit_ = true;
    hit_number_ = b.number;
    hit_address_ = address;
    hit_access_ = access;
    break;
  }
  if (deleted_) remove_deleted();
  checking_ = false;
  return hit_number_;
}

// Whether a matching breakpoint is hit, running its commands when it is.
// Commands run only while an instruction of a run is executing: the console
// interpreter is then free, and what they do cannot upset a command that is
// itself accessing memory. Elsewhere a match is a plain hit.
bool LowBreaks::run_commands(const LowBreak& b) {
  if (b.commands.empty() || !in_run_) return true;
  // A copy: the commands may replace or delete their own breakpoint.
  const std::string text = one_line(b.commands);
  const char* p = skip(text.c_str());
  if (*p != '{') {
    CmdExprEnv env = expr_env();
    int error = 0;
    const std::uint32_t condition = cmd_expr(env, p, error, true);
    if (error) {
      // A condition that cannot be worked out stops the run, so the user sees why.
      errout(d_, {msgtext(error), "\n"});
      return true;
    }
    if (condition == 0) return false;
    p = skip(p);
  }
  if (*p && exec_) exec_(p);
  return true;
}

CmdExprEnv LowBreaks::expr_env() {
  return CmdExprEnv{d_.memory, d_.registers, d_.program.symbols(), &d_.program.tables(), nullptr, nullptr, {}, false};
}

void LowBreaks::set_variable(std::string_view name, std::uint32_t value) {
  d_.program.symbols().define_symbol(name, value);
}

// ------------------------------------------------------------ the list

LowBreak* LowBreaks::find(int number) {
  for (LowBreak& b : list_)
    if (b.number == number && !(b.flags & LowBreak::kDeleted)) return &b;
  return nullptr;
}

// A new breakpoint takes the lowest number not in use, so that numbers stay
// small after deletions; the list stays in ascending number order.
int LowBreaks::add(std::uint16_t flags, std::uint32_t first, std::uint32_t last, std::string commands) {
  int number = 1;
  auto it = list_.begin();
  for (; it != list_.end() && it->number == number; ++it) ++number;
  if (number > 0xFFFF) return msg::too_many_arguments;
  LowBreak b;
  b.flags = flags;
  b.number = static_cast<std::uint16_t>(number);
  b.first = first;
  b.last = last;
  b.commands = std::move(commands);
  list_.insert(it, std::move(b));
  update_armed();
  set_variable(".lbrk", static_cast<std::uint32_t>(number));
  return 0;
}

int LowBreaks::remove(int number) {
  for (auto it = list_.begin(); it != list_.end(); ++it) {
    if (it->number != number || (it->flags & LowBreak::kDeleted)) continue;
    if (checking_) {
      it->flags |= LowBreak::kDeleted;
      deleted_ = true;
    } else {
      list_.erase(it);
      update_armed();
    }
    return 0;
  }
  return msg::breakpoint_not_found;
}

void LowBreaks::remove_deleted() {
  list_.remove_if([](const LowBreak& b) { return (b.flags & LowBreak::kDeleted) != 0; });
  deleted_ = false;
  update_armed();
}

void LowBreaks::update_armed() {
  armed_ = !list_.empty();
  kinds_ = 0;
  for (const LowBreak& b : list_)
    if (!(b.flags & LowBreak::kDeleted)) kinds_ |= b.flags;
}

void LowBreaks::clear() {
  if (!checking_) {
    list_.clear();
    update_armed();
    return;
  }
  for (LowBreak& b : list_) b.flags |= LowBreak::kDeleted;
  deleted_ = !list_.empty();
}

bool LowBreaks::attach(int number, std::string commands) {
  LowBreak* b = find(number);
  if (!b) return false;
  b->commands = trimmed(commands.c_str(), commands.c_str() + commands.size());
  return true;
}

bool LowBreaks::at(std::uint32_t address) const {
  for (const LowBreak& b : list_)
    if (!(b.flags & (LowBreak::kDeleted | LowBreak::kEvery)) && b.first == address) return true;
  return false;
}

// ------------------------------------------------------------ the command letters

int LowBreaks::command(const char*& cursor, bool execute) {
  const char* p = cursor;
  CmdExprEnv env = expr_env();
  int error = 0;

  if (*p == 'k') {  // bk n[ n...]
    ++p;
    bool any = false;
    for (;;) {
      while (blank(*p) || *p == ',') ++p;
      if (ends_command(*p)) break;
      const char* start = p;
      const std::uint32_t number = cmd_expr(env, p, error, execute);
      if (!error && p == start) error = msg::syntax_error;
      if (error) break;
      any = true;
      if (execute) {
        error = number > 0xFFFF ? msg::breakpoint_not_found : remove(static_cast<int>(number));
        if (error) break;
      }
    }
    if (!error && !any) error = msg::syntax_error;
    cursor = p;
    return error;
  }

  std::uint16_t access = 0;
  for (; *p == 'r' || *p == 'w'; ++p) access |= *p == 'r' ? LowBreak::kRead : LowBreak::kWrite;
  p = skip(p);
  if (ends_command(*p)) {  // a bare `b` lists
    cursor = p;
    if (access) return msg::syntax_error;
    if (execute) output_(listing());
    return 0;
  }

  std::uint16_t flags = LowBreak::kEvery;
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  if (*p != '?' && *p != '{') {
    flags = access ? access : LowBreak::kRead | LowBreak::kWrite;
    const char* start = p;
    first = last = cmd_expr(env, p, error, execute);
    if (!error && p == start) error = msg::syntax_error;
    p = skip(p);
    if (!error && *p == ',') {
      ++p;
      start = p;
      last = cmd_expr(env, p, error, execute);
      if (!error && p == start) error = msg::syntax_error;
      p = skip(p);
    }
    if (!error && execute && last < first) error = msg::incorrect_argument;
  }

  std::string commands;
  if (!error) {
    if (*p == '?') {
      const char* end = rest_end(p + 1);
      commands = trimmed(p + 1, end);
      p = end;
    } else if (*p == '{') {
      const char* end = group_end(p);
      if (end) {
        commands.assign(p, end);
        p = end;
      } else {
        error = msg::syntax_error;
      }
    } else if (!ends_command(*p)) {
      error = msg::syntax_error;
    }
  }
  cursor = p;
  if (error || !execute) return error;
  return add(flags, first, last, std::move(commands));
}

// ------------------------------------------------------------ texts

std::string LowBreaks::listing() const {
  std::string text;
  for (const LowBreak& b : list_) {
    if (b.flags & LowBreak::kDeleted) continue;
    text += fmtstr("(%i) ", b.number);
    if (b.flags & LowBreak::kEvery) {
      text += "... ";
    } else if (b.first != b.last) {
      text += fmtstr("0x%+0nhl , 0x%+0nhl ", b.first > 0xFFFFFF ? 8 : 6, b.first, b.last > 0xFFFFFF ? 8 : 6, b.last);
    } else if (const ProgramSymbol* s = d_.program.symbols().find_symbol_by_value(b.first)) {
      if (s->value() == b.first)
        text += fmtstr("%p ", s->name);
      else
        text += fmtstr("%p+%l ", s->name, b.first - s->value());
    } else {
      text += hex_address(b.first);
    }
    const int rw = b.flags & (LowBreak::kRead | LowBreak::kWrite);
    if (rw == LowBreak::kRead || rw == LowBreak::kWrite) text += fmtstr("(%ac) ", rw == LowBreak::kRead ? 'r' : 'w');
    if (!b.commands.empty()) {
      std::size_t start = 0;
      for (bool firstline = true; start <= b.commands.size(); firstline = false) {
        std::size_t nl = b.commands.find('\n', start);
        if (nl == std::string::npos) nl = b.commands.size();
        text += fmtstr(firstline ? "? %p" : "\n\t\t%p", b.commands.substr(start, nl - start));
        start = nl + 1;
      }
    }
    text += "\n";
  }
  return text;
}

// One `b` command per breakpoint, in number order, so that reading the file
// back into an empty list gives the same numbers when none were missing.
std::string LowBreaks::state_text() const {
  std::string text;
  for (const LowBreak& b : list_) {
    if (b.flags & LowBreak::kDeleted) continue;
    text += "b";
    if (b.flags & LowBreak::kEvery) {
      text += " ?";
    } else {
      const int rw = b.flags & (LowBreak::kRead | LowBreak::kWrite);
      if (rw == LowBreak::kRead) text += "r";
      if (rw == LowBreak::kWrite) text += "w";
      text += fmtstr(" 0x%hl", b.first);
      if (b.last != b.first) text += fmtstr(", 0x%hl", b.last);
      if (!b.commands.empty()) text += " ?";
    }
    if (!b.commands.empty()) text += " " + one_line(b.commands);
    text += "\n";
  }
  return text;
}

}  // namespace tav
