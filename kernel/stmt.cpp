// The statement layer. Keywords are recognised by a case-sensitive compare of
// their first characters; conditions are C expressions over the program,
// true when their integer value is not 0. Loop conditions and bodies are
// copied when the loop starts so that they can run again.
#include "kernel/stmt.h"

#include <cstring>
#include <string>
#include <string_view>

#include "expr/xexpr.h"
#include "kernel/debugger.h"
#include "support/messages.h"

namespace tav {

namespace {

// Nested statements deeper than this are refused: a line of a thousand "if"s
// must not exhaust the stack.
constexpr int kMaxNesting = 64;

bool keyword(const char* p, std::string_view word) { return std::strncmp(p, word.data(), word.size()) == 0; }

// Past a quoted text or character constant starting at `p` (backslashes escape).
const char* skip_quoted(const char* p) {
  const char quote = *p++;
  while (*p && *p != quote) {
    if (*p == '\\' && p[1]) ++p;
    ++p;
  }
  return *p ? p + 1 : p;
}

// The bracket that closes the one at `p`, counting nested ones and skipping
// quoted texts; null when the text ends first.
const char* matching(const char* p) {
  const char open = *p;
  const char close = open == '(' ? ')' : '}';
  int depth = 0;
  while (*p) {
    if (*p == '"' || *p == '\'') {
      p = skip_quoted(p);
      continue;
    }
    if (*p == open) ++depth;
    if (*p == close && --depth == 0) return p;
    ++p;
  }
  return nullptr;
}

// Past the next ";" outside quotes, or the end of the text.
const char* past_semicolon(const char* p) {
  while (*p && *p != ';') p = (*p == '"' || *p == '\'') ? skip_quoted(p) : p + 1;
  return *p ? p + 1 : p;
}

// The body of a do statement that is a plain command ends at ";" or at a
// following word "while": `do step while (i != 0);` needs no ";" after step.
std::string::size_type plain_body_end(const std::string& text) {
  const char* start = text.c_str();
  const char* p = start;
  while (*p && *p != ';') {
    if (*p == '"' || *p == '\'') {
      p = skip_quoted(p);
      continue;
    }
    if (*p == '(' || *p == '{') {
      const char* close = matching(p);
      p = close ? close + 1 : p + std::strlen(p);
      continue;
    }
    if (p > start && blankchar(p[-1]) && keyword(p, "while")) break;
    ++p;
  }
  return static_cast<std::string::size_type>(p - start);
}

class StatementRunner {
 public:
  StatementRunner(Debugger& d, int mode) : d_(d), mode_(mode) {}

  const char* statement(const char* text);
  const char* sequence(const char* text);
  const char* skip(const char* text);

 private:
  const char* if_statement(const char* p);
  const char* while_statement(const char* p);
  const char* do_statement(const char* p);
  const char* plain(const char* p);
  const char* body(const char* text);
  const char* group(const char* p);
  // Evaluates "(expression)" at `p`: 1 true, 0 false, -1 not a condition.
  int condition(const char* p);
  void syntax(std::string_view prefix) { errout(d_, {prefix, msgtext(msg::syntax_error), "\n"}); }
  // Loops end early when the user asks to stop or the debugger is ending. A
  // loop whose body runs no command still lets the host see its stop key.
  bool interrupted() {
    if (++polls_ % 256 == 0 && d_.host.pump_events()) d_.kernel.close_requested = true;
    return d_.run.stop_requested() || d_.kernel.ending();
  }
  bool starts_statement(const char* p) const {
    return keyword(p, "if") || keyword(p, "while") || keyword(p, "do") || keyword(p, "return");
  }

  Debugger& d_;
  int mode_;
  int depth_ = 0;
  unsigned polls_ = 0;
};

struct Nest {
  explicit Nest(int& depth) : depth_(depth) { ++depth_; }
  ~Nest() { --depth_; }
  int& depth_;
};

const char* StatementRunner::sequence(const char* text) {
  const char* p = text;
  for (;;) {
    while (*p == ';' || blankchar(*p)) ++p;
    if (*p == '\0') return p;
    const char* next = statement(p);
    if (!next) return nullptr;
    if (next == p) return p;  // no progress: stop rather than loop
    p = next;
  }
}

const char* StatementRunner::statement(const char* text) {
  const char* p = skipblanks(text);
  if (keyword(p, "if")) return if_statement(p);
  if (keyword(p, "while")) return while_statement(p);
  if (keyword(p, "do")) return do_statement(p);
  if (keyword(p, "return")) return nullptr;  // ends the line at command level
  return plain(p);
}

const char* StatementRunner::plain(const char* p) {
  p = skipblanks(execcmd(d_, p, mode_));
  if (*p == '\0' || *p == '}') return p;
  if (*p == ';') return p + 1;
  // Something follows that the command did not take: say so, and let the
  // caller run it as the next command.
  errout(d_, {msgtext(msg::missing), "';': ", p, "\n"});
  return p;
}

// The statement after if, else, while or do: it may also be a group.
const char* StatementRunner::body(const char* text) {
  const char* p = skipblanks(text);
  if (depth_ >= kMaxNesting) {
    syntax("{}: ");
    return nullptr;
  }
  Nest nest(depth_);
  if (*p == '{') return group(p);
  return statement(p);
}

const char* StatementRunner::group(const char* p) {
  const char* close = matching(p);
  if (!close) {
    syntax("{}: ");
    return nullptr;
  }
  const std::string inner(p + 1, close);
  const char* q = inner.c_str();
  for (;;) {
    while (*q == ';' || blankchar(*q)) ++q;
    if (*q == '\0') break;
    const char* next = body(q);
    if (!next) return nullptr;
    if (next == q) break;
    q = next;
  }
  return close + 1;
}

int StatementRunner::condition(const char* p) {
  if (*p != '(') return -1;
  const char* close = matching(p);
  if (!close) return -1;
  const std::string inner(p + 1, close);
  const char* cursor = inner.c_str();
  int status = 0;
  const Value v = d_.evaluator.xexpr(cursor, status, 1);
  if (status != 0 || *skipblanks(cursor) != '\0' || skipblanks(inner.c_str())[0] == '\0') return -1;
  return as_int(v) != 0 ? 1 : 0;
}

const char* StatementRunner::if_statement(const char* text) {
  const char* p = skipblanks(text + 2);
  if (*p != '(') {
    syntax("if: ");
    return skip(p);  // the rest of the broken statement does not run
  }
  const int truth = condition(p);
  if (truth < 0) {
    syntax("if: ");
    return nullptr;
  }
  const char* after = matching(p) + 1;
  if (*skipblanks(after) == '\0' || *skipblanks(after) == ';') {
    syntax("if: ");
    return nullptr;
  }
  const char* r = truth ? body(after) : skip(after);
  if (!r) return nullptr;
  const char* q = skipblanks(r);
  if (!keyword(q, "else")) return r;
  q = skipblanks(q + 4);
  if (*q == '\0' || *q == ';') {
    syntax("else: ");
    return q;
  }
  return truth ? skip(q) : body(q);
}

const char* StatementRunner::while_statement(const char* text) {
  const char* p = skipblanks(text + 5);
  const char* close = *p == '(' ? matching(p) : nullptr;
  if (!close) {
    syntax("while: ");
    return *p == '(' ? nullptr : skip(p);
  }
  const std::string cond(p, close + 1);
  const std::string rest(close + 1);
  const char* first = skipblanks(rest.c_str());
  if (*first == '\0' || *first == ';') {
    syntax("while: ");
    return nullptr;
  }
  for (;;) {
    const int truth = condition(cond.c_str());
    if (truth < 0) {
      syntax("while: ");
      return nullptr;
    }
    if (!truth) break;
    if (!body(rest.c_str())) return nullptr;
    if (interrupted()) break;
  }
  return skip(close + 1);
}

const char* StatementRunner::do_statement(const char* text) {
  const char* start = skipblanks(text + 2);
  if (*start == '\0' || *start == ';' || keyword(start, "while")) {
    syntax("do: ");
    return *start == ';' ? start + 1 : start;
  }
  // The body: a group or statement as written, a plain command up to its
  // ";" or the word "while".
  std::string copy(start);
  const bool plain_body = *start != '{' && !starts_statement(start);
  if (plain_body) copy.resize(plain_body_end(copy));
  const char* r = body(copy.c_str());
  if (!r) return nullptr;
  const char* pos = skipblanks(start + (plain_body ? copy.size() : static_cast<std::size_t>(r - copy.c_str())));
  if (*pos == ';') pos = skipblanks(pos + 1);
  if (!keyword(pos, "while")) {
    syntax("do: ");
    return pos;
  }
  const char* p = skipblanks(pos + 5);
  const char* close = *p == '(' ? matching(p) : nullptr;
  if (!close) {
    syntax("do while: ");
    return *p == '(' ? nullptr : skip(p);
  }
  const std::string cond(p, close + 1);
  for (;;) {
    const int truth = condition(cond.c_str());
    if (truth < 0) {
      syntax("do while: ");
      return nullptr;
    }
    if (!truth || interrupted()) break;
    if (!body(copy.c_str())) return nullptr;
  }
  const char* after = skipblanks(close + 1);
  if (*after != ';') {
    syntax("do while: ");
    return after;
  }
  return after + 1;
}

const char* StatementRunner::skip(const char* text) {
  const char* p = skipblanks(text);
  if (depth_ >= kMaxNesting) return p + std::strlen(p);
  Nest nest(depth_);
  if (*p == '{') {
    const char* close = matching(p);
    if (!close) {
      syntax("if: ");
      return p + std::strlen(p);
    }
    return close + 1;
  }
  // A condition in parentheses after a keyword, or the end of the text.
  auto past_condition = [](const char* q) {
    q = skipblanks(q);
    if (*q != '(') return q;
    const char* close = matching(q);
    return close ? close + 1 : q + std::strlen(q);
  };
  if (keyword(p, "if")) {
    const char* r = skip(past_condition(p + 2));
    const char* q = skipblanks(r);
    return keyword(q, "else") ? skip(q + 4) : r;
  }
  if (keyword(p, "while")) return skip(past_condition(p + 5));
  if (keyword(p, "do")) {
    const char* r = skip(p + 2);
    const char* q = skipblanks(r);
    if (!keyword(q, "while")) return r;
    return past_semicolon(past_condition(q + 5));
  }
  return past_semicolon(p);
}

}  // namespace

const char* stmt(Debugger& d, const char* text, int mode) { return StatementRunner(d, mode).statement(text); }

const char* stmts(Debugger& d, const char* text, int mode) { return StatementRunner(d, mode).sequence(text); }

const char* skipstmt(Debugger& d, const char* text) { return StatementRunner(d, 1).skip(text); }

}  // namespace tav
