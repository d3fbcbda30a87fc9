// The kernel console over symbols and values: "name = expr", x, l, k and the
// formatted print.
#include <string>

#include "kernel/debugger.h"
#include "kconsole/kelm.h"
#include "kconsole/kelm_text.h"
#include "support/messages.h"
#include "support/numconv.h"

namespace tav {

using namespace kelm_text;

namespace {

constexpr int kListWidth = 78;
constexpr int kColumnMax = 64;
constexpr std::size_t kPrintedStringMax = 1024;

// Names against a pattern anchored at both ends: "*" stands for any run of
// characters, "?" for any one.
bool matches(const char* pattern, const char* name) {
  // Only the last "*" needs to be retried: whatever an earlier one took, a
  // later one can take as well.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern && (*pattern == '?' || *pattern == *name)) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return !*pattern;
}

}  // namespace

std::string Kelm::value_text(std::uint32_t value, char base) const {
  switch (base) {
    case 'd': return fmtstr("%l", value);
    case 'o': return fmtstr("0%ol", value);
    case 's':
      if (const ProgramSymbol* s = d_.program.symbols().find_symbol_by_value(value)) {
        if (s->value() == value) return fmtstr("%p", s->name);
        return fmtstr("%p+%l", s->name, value - s->value());
      }
      break;
    default: break;
  }
  return fmtstr("0x%hl", value);
}

// name = expr: defines or changes a program symbol or kernel variable.
const char* Kelm::assign(const char* name, const char* name_end, const char* p, bool execute) {
  std::uint32_t value = 0;
  if (!operand(p, value, execute)) return nullptr;
  if (execute) {
    const std::string_view text(name, static_cast<std::size_t>(name_end - name));
    if (text.size() > static_cast<std::size_t>(kCmdNameMax)) return fail(msg::name_too_long);
    d_.program.symbols().define_symbol(text, value);
  }
  return p;
}

// x[d|h|o|s] expr[, expr...]; D, H and O change the default base too.
const char* Kelm::cmd_x(const char* p) {
  std::string options;
  p = option_letters(p, "dhosDHO", options);
  if (!p) return fail(msg::unknown_command);
  char base = x_base_;
  if (!options.empty()) {
    const char o = options.back();
    base = static_cast<char>(o | 0x20);
    if (o >= 'A' && o <= 'Z') x_base_ = base;
  }
  for (;;) {
    std::uint32_t value = 0;
    if (!operand(p, value)) return nullptr;
    print(value_text(value, base) + "\n");
    p = skip_blanks(p);
    if (*p != ',') return p;
    ++p;
  }
}

// l[s|p|f|i][n] [pattern]: symbols, kernel variables, both, or macros in n columns.
const char* Kelm::cmd_l(const char* p) {
  std::string options;
  p = option_letters(p, "spfi", options);
  if (!p) return fail(msg::unknown_command);
  const char kind = options.empty() ? 's' : options.back();
  int columns = 1;
  if (digit(*p)) {
    columns = *p++ - '0';
    if (columns < 1 || columns > 5 || digit(*p)) return fail(msg::incorrect_argument);
  }
  std::string pattern;
  p = skip_blanks(p);
  while (*p && !blank(*p) && *p != ';' && *p != '}' && *p != '\n') pattern += *p++;
  const int width = kListWidth / columns < kColumnMax ? kListWidth / columns : kColumnMax;

  int in_line = 0;
  auto entry = [&](const std::string& text) {
    print(text);
    if (++in_line == columns) {
      print("\n");
      in_line = 0;
    }
  };
  auto wanted = [&](const std::string& name) { return pattern.empty() || matches(pattern.c_str(), name.c_str()); };
  auto symbol = [&](const ProgramSymbol& s) {
    if (!wanted(s.name)) return;
    const std::uint32_t value = s.value();
    const int digits = value > 0xFFFFFF ? 8 : 6;
    entry(fmtstr("0x%+0nhl: %- np", digits, value, width - digits - 4, s.name));
  };
  const SymbolTable& symbols = d_.program.symbols();
  if (kind == 'f') {
    for (const Macro& m : macros_)
      if (wanted(m.name)) entry(fmtstr("%- np", width, m.name));
  } else {
    if (kind == 's' || kind == 'i')
      for (const auto& s : symbols.by_value()) symbol(*s);
    if (kind == 'p' || kind == 'i')
      for (const auto& s : symbols.kernel_variables()) symbol(*s);
  }
  if (in_line) print("\n");
  return p;
}

// k name[, name...]: removes symbols.
const char* Kelm::cmd_k(const char* p) {
  std::string none;
  p = option_letters(p, "", none);
  if (!p) return fail(msg::unknown_command);
  for (;;) {
    p = skip_blanks(p);
    const char* end = name_end(p);
    if (end == p) return fail(msg::syntax_error);
    if (!d_.program.symbols().remove_symbol(std::string_view(p, static_cast<std::size_t>(end - p))))
      return fail(msg::symbol_not_found);
    p = skip_blanks(end);
    if (*p != ',') return p;
    ++p;
  }
}

// "text", operands: the text with its escapes decoded and its directives
// replaced by the operands in turn.
const char* Kelm::cmd_quote(const char* p) {
  const char* text = p;
  const char* close = p;
  while (*close && *close != '"') close += (*close == '\\' && close[1]) ? 2 : 1;
  if (*close != '"') return fail(msg::syntax_error);
  const char* ops = close + 1;

  auto next = [&](std::uint32_t& value) {
    ops = skip_blanks(ops);
    if (*ops != ',') {
      fail(msg::incorrect_argument);
      return false;
    }
    ++ops;
    return operand(ops, value);
  };

  Memory& m = d_.memory;
  std::string out;
  for (const char* c = text; c < close; ++c) {
    if (*c == '\\' && c + 1 < close) {
      ++c;
      out += static_cast<char>(escdecode(&c, nullptr));
      continue;
    }
    if (*c != '%' || c + 1 >= close) {
      out += *c;
      continue;
    }
    const char directive = *++c;
    std::uint32_t value = 0, count = 0;
    switch (directive) {
      case '%': out += '%'; continue;
      case 'd':
      case 'h':
      case 'o':
        if (!next(value)) return nullptr;
        out += value_text(value, directive);
        continue;
      case 'c':
        if (!next(value)) return nullptr;
        out += static_cast<char>(value);
        continue;
      case 'l':
        if (!next(value)) return nullptr;
        out += value_text(value, 's');
        continue;
      case 's':
        if (!next(value)) return nullptr;
        for (std::size_t i = 0; i < kPrintedStringMax; ++i) {
          const char b = static_cast<char>(m.ReadByte(value + static_cast<std::uint32_t>(i)));
          if (!b) break;
          out += b;
        }
        continue;
      case 'b':
        if (!next(value) || !next(count)) return nullptr;
        for (std::uint32_t i = 0; i < count && i < 0xFFFF; ++i) out += static_cast<char>(m.ReadByte(value + i));
        continue;
      default:
        out += '%';
        out += directive;
        continue;
    }
  }
  // Operands beyond the directives are evaluated all the same.
  for (std::uint32_t ignored = 0; *skip_blanks(ops) == ',';)
    if (!next(ignored)) return nullptr;
  print(out);
  return ops;
}

}  // namespace tav
