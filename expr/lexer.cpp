#include "expr/lexer.h"

#include <algorithm>
#include <cstring>

#include "support/numconv.h"

namespace tav {

namespace {

constexpr int kIntMax = 20;    // characters of an integer constant
constexpr int kFloatMax = 24;  // characters of a floating constant

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Characters that end the text before a scope's ':' (a file name may hold
// anything else, such as "main.c" or "src/io.c").
bool ends_scope_run(char c) {
  return c == '\0' || is_blank(c) || std::strchr("()[],;=\"{}'#?:", c) != nullptr;
}

}  // namespace

int binary_precedence(Tok t) {
  switch (t) {
    case Tok::Star:
    case Tok::Slash:
    case Tok::Percent: return 14;
    case Tok::Plus:
    case Tok::Minus: return 13;
    case Tok::Shl:
    case Tok::Shr: return 12;
    case Tok::Lt:
    case Tok::Le:
    case Tok::Gt:
    case Tok::Ge: return 11;
    case Tok::Eq:
    case Tok::Ne: return 10;
    case Tok::Amp: return 9;
    case Tok::Caret: return 8;
    case Tok::Pipe: return 7;
    case Tok::AndAnd: return 6;
    case Tok::OrOr: return 5;
    case Tok::Assign: return 1;
    default: return 0;
  }
}

bool Lexer::ident_start(char c) { return is_letter(c) || c == '_' || c == '@' || c == '$'; }
bool Lexer::ident_char(char c) { return ident_start(c) || is_digit(c); }

Lexer::Lexer(const char* text) : p_(text ? text : ""), text_end_(p_ + std::strlen(p_)) {}

bool Lexer::unget(const Token& t) {
  if (pending_) return false;
  pushed_ = t;
  pending_ = true;
  return true;
}

Token Lexer::next() {
  if (pending_) {
    pending_ = false;
    p_ = pushed_.end;
    return pushed_;
  }
  Token t = scan();
  return t;
}

void Lexer::scan_number(Token& t) {
  const char* s = p_;
  const int left = static_cast<int>(text_end_ - s);
  const bool prefixed = s[0] == '0' && (s[1] == 'x' || s[1] == 'X' || s[1] == 'b' || s[1] == 'B');
  const char* run = s;
  while (is_digit(*run)) ++run;
  if (!prefixed && (*run == '.' || *run == 'e' || *run == 'E')) {
    double d = 0;
    const int used = dblscan(s, std::min(left, kFloatMax), &d);
    t.kind = Tok::Float;
    t.dval = d;
    p_ = s + std::max(used, 1);
    return;
  }
  std::uint32_t v = 0;
  const int used = numscan32(s, std::min(left, kIntMax), &v, 1);
  t.kind = Tok::Int;
  t.ival = static_cast<std::int32_t>(v);
  p_ = s + std::max(used, 1);
}

void Lexer::scan_identifier(Token& t) {
  const char* s = p_;
  // A ':' separates a scope when it is followed by the end, a blank or a
  // digit, or when it is not the second character ("c:name" stays whole).
  const char* sep = nullptr;
  for (const char* q = s; !ends_scope_run(*q) || *q == ':'; ++q) {
    if (*q != ':') continue;
    const char after = q[1];
    if (after == '\0' || is_blank(after) || is_digit(after) || q - s != 1) {
      sep = q;
      break;
    }
  }
  if (sep) {
    t.kind = Tok::Scoped;
    t.scope.assign(s, sep);
    const char* q = sep + 1;
    if (is_digit(*q)) {
      std::uint32_t line = 0;
      while (is_digit(*q)) line = line * 10 + static_cast<std::uint32_t>(*q++ - '0');
      t.scoped_line = true;
      t.ival = static_cast<std::int32_t>(line);
    } else {
      const char* n = q;
      while (ident_char(*q)) ++q;
      t.text.assign(n, q);
    }
    p_ = q;
    return;
  }
  const char* q = s;
  while (ident_char(*q)) ++q;
  // A one-letter scope followed by a letter belongs to the name ("c:x").
  if (q - s == 1 && q[0] == ':' && ident_start(q[1])) {
    q += 1;
    while (ident_char(*q)) ++q;
  }
  t.kind = Tok::Ident;
  t.text.assign(s, q);
  p_ = q;
}

Token Lexer::scan() {
  Token t;
  t.before = p_;
  while (is_blank(*p_)) ++p_;
  t.start = p_;
  const char c = *p_;
  auto one = [&](Tok k) {
    t.kind = k;
    ++p_;
  };
  auto two = [&](Tok k) {
    t.kind = k;
    p_ += 2;
  };
  if (c == '\0' || c == '"' || c == ',' || c == ';' || c == '?' || c == '{') {
    t.kind = Tok::End;
  } else if (is_digit(c)) {
    scan_number(t);
  } else if (ident_start(c)) {
    scan_identifier(t);
  } else if (c == '\'') {
    const char* q = p_ + 1;
    std::uint32_t v = 0;
    while (*q && *q != '\'') v = v << 8 | static_cast<std::uint8_t>(*q++);
    if (*q != '\'') {
      t.kind = Tok::Error;
      p_ = q;
    } else {
      t.kind = Tok::Int;
      t.ival = static_cast<std::int32_t>(v);
      p_ = q + 1;
    }
  } else {
    const char d = p_[1];
    switch (c) {
      case '*': one(Tok::Star); break;
      case '/': one(Tok::Slash); break;
      case '%': one(Tok::Percent); break;
      case '+': one(Tok::Plus); break;
      case '-': d == '>' ? two(Tok::Arrow) : one(Tok::Minus); break;
      case '<': d == '<' ? two(Tok::Shl) : d == '=' ? two(Tok::Le) : one(Tok::Lt); break;
      case '>': d == '>' ? two(Tok::Shr) : d == '=' ? two(Tok::Ge) : one(Tok::Gt); break;
      case '=': d == '=' ? two(Tok::Eq) : one(Tok::Assign); break;
      case '!': d == '=' ? two(Tok::Ne) : one(Tok::Not); break;
      case '&': d == '&' ? two(Tok::AndAnd) : one(Tok::Amp); break;
      case '|': d == '|' ? two(Tok::OrOr) : one(Tok::Pipe); break;
      case '^': one(Tok::Caret); break;
      case '~': one(Tok::Tilde); break;
      case '(': one(Tok::LParen); break;
      case ')': one(Tok::RParen); break;
      case '[': one(Tok::LBracket); break;
      case ']': one(Tok::RBracket); break;
      case '.': one(Tok::Dot); break;
      case '#': one(Tok::Hash); break;
      default: t.kind = Tok::Other; break;
    }
  }
  t.end = p_;
  // End and Other are not consumed.
  if (t.kind == Tok::End || t.kind == Tok::Other) p_ = t.start;
  return t;
}

}  // namespace tav
