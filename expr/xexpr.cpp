// The C expression grammar: precedence climbing over the lexer's tokens,
// evaluating as it parses. After the first error parsing goes on to the end
// of the expression, so that the cursor ends in a sensible place.
#include "expr/xexpr.h"

#include "expr/eval_context.h"
#include "expr/lexer.h"
#include "expr/type_names.h"
#include "support/messages.h"

namespace tav {

namespace {

constexpr int kMaxDepth = 200;  // nesting of operators and parentheses

bool is_blank(char c) { return c == ' ' || c == '\t'; }
const char* skip_blanks(const char* p) {
  while (is_blank(*p)) ++p;
  return p;
}

int operator_code(Tok t) {
  switch (t) {
    case Tok::Star: return '*';
    case Tok::Slash: return '/';
    case Tok::Percent: return '%';
    case Tok::Plus: return '+';
    case Tok::Minus: return '-';
    case Tok::Shl: return kOpShl;
    case Tok::Shr: return kOpShr;
    case Tok::Lt: return '<';
    case Tok::Le: return kOpLe;
    case Tok::Gt: return '>';
    case Tok::Ge: return kOpGe;
    case Tok::Eq: return kOpEq;
    case Tok::Ne: return kOpNe;
    case Tok::Amp: return '&';
    case Tok::Caret: return '^';
    case Tok::Pipe: return '|';
    case Tok::AndAnd: return kOpAndAnd;
    case Tok::OrOr: return kOpOrOr;
    case Tok::Not: return '!';
    case Tok::Tilde: return '~';
    default: return 0;
  }
}

Value invalid() {
  Value v;
  v.valid = false;
  refresh_size(v);
  return v;
}

Value int_constant(std::int32_t value) {
  Value v;
  make_computed(v, kInt);
  v.ival = value;
  return v;
}

class Parser {
 public:
  Parser(EvalContext& cx, const char* text, bool assignments)
      : cx_(cx), lex_(text), assignments_(assignments), last_end_(text) {}

  Value parse() { return binary(0); }
  const char* end() const { return last_end_; }

 private:
  Token next() {
    Token t = lex_.next();
    prev_end_ = last_end_;
    if (t.kind != Tok::End && t.kind != Tok::Other) last_end_ = t.end;
    return t;
  }
  void unget(const Token& t) {
    if (!lex_.unget(t)) {
      cx_.fail(msg::internal_error);
      return;
    }
    last_end_ = prev_end_;
  }
  // Consumes raw text up to `p` (the look-ahead forms "name()" and "():").
  void take_to(const char* p) {
    lex_.skip_to(p);
    last_end_ = p;
  }
  bool expect(Tok kind) {
    Token t = next();
    if (t.kind == kind) return true;
    cx_.fail(msg::syntax_error);
    unget(t);
    return false;
  }

  Value binary(int level);
  Value unary();
  Value postfix(Value v);
  Value primary();
  Value parenthesis();
  Value identifier(const Token& t);
  Value sizeof_form();
  Value scoped_after_colon(const std::string& scope, const char* colon);
  Value bracket(Value v);
  bool starts_type(const Token& t) const;
  bool type_name(Token t, Value& out);

  EvalContext& cx_;
  Lexer lex_;
  bool assignments_;
  const char* last_end_;
  const char* prev_end_ = nullptr;
  int depth_ = 0;
};

Value Parser::binary(int level) {
  if (++depth_ > kMaxDepth) {
    cx_.fail(msg::syntax_error);
    --depth_;
    return invalid();
  }
  Value lhs = unary();
  for (;;) {
    Token t = next();
    int prec = binary_precedence(t.kind);
    if (t.kind == Tok::Assign && !assignments_) prec = 0;
    if (prec == 0 || prec <= level) {
      unget(t);
      break;
    }
    // The right side of && and || is not evaluated once the left decides.
    const bool decided = lhs.valid && cx_.live() &&
                         ((t.kind == Tok::AndAnd && !(is_floating(lhs) ? lhs.dval != 0 : lhs.ival != 0)) ||
                          (t.kind == Tok::OrOr && (is_floating(lhs) ? lhs.dval != 0 : lhs.ival != 0)));
    if (decided) ++cx_.quiet;
    Value rhs = binary(prec);
    if (decided) --cx_.quiet;
    if (t.kind == Tok::Assign)
      lhs = assign_op(cx_, std::move(lhs), rhs);
    else
      lhs = binary_op(cx_, operator_code(t.kind), std::move(lhs), std::move(rhs));
  }
  --depth_;
  return lhs;
}

Value Parser::unary() {
  if (++depth_ > kMaxDepth) {
    cx_.fail(msg::syntax_error);
    --depth_;
    return invalid();
  }
  Token t = next();
  Value v;
  switch (t.kind) {
    case Tok::Not:
    case Tok::Tilde:
    case Tok::Star:
    case Tok::Plus:
    case Tok::Minus:
    case Tok::Amp: {
      const int op = t.kind == Tok::Star ? '*' : t.kind == Tok::Plus ? '+' : t.kind == Tok::Minus ? '-'
                     : t.kind == Tok::Amp ? '&' : operator_code(t.kind);
      v = unary_op(cx_, op, unary());
      break;
    }
    default:
      unget(t);
      v = postfix(primary());
      break;
  }
  --depth_;
  return v;
}

Value Parser::postfix(Value v) {
  for (;;) {
    Token t = next();
    if (t.kind == Tok::Dot || t.kind == Tok::Arrow) {
      Token n = next();
      if (n.kind != Tok::Ident) {
        cx_.fail(msg::syntax_error);
        unget(n);
        return invalid();
      }
      v = member_op(cx_, std::move(v), n.text, t.kind == Tok::Arrow);
    } else if (t.kind == Tok::LBracket) {
      v = bracket(std::move(v));
    } else {
      unget(t);
      return v;
    }
  }
}

Value Parser::bracket(Value v) {
  Token t = next();
  if (t.kind == Tok::Hash) {  // [#]: the whole array
    expect(Tok::RBracket);
    if (!v.valid) return v;
    if (!is_array(v)) {
      cx_.fail(msg::illegal_type);
      return invalid();
    }
    const std::uint32_t n = v.words.empty() ? 0 : v.words.front();
    Value element = index_op(cx_, std::move(v), int_constant(0));
    element.count = n;
    return element;
  }
  unget(t);
  Value index = binary(0);
  Token u = next();
  bool has_count = false;
  Value count;
  if (u.kind == Tok::Hash) {
    count = binary(0);
    has_count = true;
    u = next();
  }
  if (u.kind != Tok::RBracket) {
    cx_.fail(msg::syntax_error);
    unget(u);
    return invalid();
  }
  Value element = index_op(cx_, std::move(v), index);
  if (has_count && element.valid && count.valid) {
    // A count is a number of elements: an integer, not below 0.
    if (!is_integral(count) || count.ival < 0) {
      cx_.fail(msg::illegal_type);
      return invalid();
    }
    element.count = static_cast<std::uint32_t>(count.ival);
  }
  return element;
}

Value Parser::primary() {
  Token t = next();
  switch (t.kind) {
    case Tok::Int: return int_constant(t.ival);
    case Tok::Float: {
      Value v;
      make_computed(v, kDouble);
      v.dval = t.dval;
      return v;
    }
    case Tok::LParen: return parenthesis();
    case Tok::Dot: {
      Token n = next();
      if (n.kind != Tok::Ident || n.text[0] == '$' || n.text[0] == '@') {
        cx_.fail(msg::incorrect_variable);
        unget(n);
        return invalid();
      }
      return debugger_variable(cx_, n.text);
    }
    case Tok::Ident: return identifier(t);
    case Tok::Scoped:
      if (!t.scoped_line && t.text.empty()) {
        cx_.fail(msg::syntax_error);
        return invalid();
      }
      return resolve_scoped(cx_, t.scope, false, t.text, t.scoped_line, static_cast<std::uint32_t>(t.ival));
    case Tok::Error: cx_.fail(msg::syntax_error); return invalid();
    default:
      cx_.fail(msg::syntax_error);
      unget(t);
      return invalid();
  }
}

// After "func()" or "()": ':' and a name or a line number.
Value Parser::scoped_after_colon(const std::string& scope, const char* colon) {
  const char* q = colon + 1;
  if (*q >= '0' && *q <= '9') {
    std::uint32_t line = 0;
    while (*q >= '0' && *q <= '9') line = line * 10 + static_cast<std::uint32_t>(*q++ - '0');
    take_to(q);
    return resolve_scoped(cx_, scope, true, {}, true, line);
  }
  const char* n = q;
  while (Lexer::ident_char(*q)) ++q;
  take_to(q);
  if (q == n) {
    cx_.fail(msg::syntax_error);
    return invalid();
  }
  return resolve_scoped(cx_, scope, true, std::string(n, q), false, 0);
}

Value Parser::identifier(const Token& t) {
  if (t.text == "sizeof") return sizeof_form();
  const char* p = skip_blanks(lex_.raw());
  if (*p == '(' && t.text[0] != '$' && t.text[0] != '@') {
    const char* q = skip_blanks(p + 1);
    if (*q == ')') {
      ++q;
      if (*q == ':') return scoped_after_colon(t.text, q);
      take_to(q);
      if (const FunctionBlock* f = cx_.env.tables.find_function(t.text)) return function_value(*f);
      cx_.fail(msg::function_not_found, t.text + "()");
      return invalid();
    }
  }
  if (is_type_keyword(t.text)) {
    cx_.fail(msg::syntax_error);
    return invalid();
  }
  return resolve_name(cx_, t.text);
}

Value Parser::parenthesis() {
  const char* p = skip_blanks(lex_.raw());
  if (*p == ')') {  // "()": the current frame's function, or "():" a scope
    if (p[1] == ':') return scoped_after_colon({}, p + 1);
    take_to(p + 1);
    const Frame* f = current_frame(cx_);
    if (!f || !f->function) {
      cx_.fail(msg::no_frame);
      return invalid();
    }
    return function_value(*f->function);
  }
  Token t = next();
  if (starts_type(t)) {
    Value type;
    if (!type_name(t, type)) return invalid();
    if (!expect(Tok::RParen)) return invalid();
    return cast_op(cx_, type, unary());
  }
  unget(t);
  Value v = binary(0);
  expect(Tok::RParen);
  return v;
}

Value Parser::sizeof_form() {
  Token t = next();
  std::uint32_t size = 0;
  if (t.kind == Tok::LParen) {
    Token u = next();
    if (starts_type(u)) {
      Value type;
      if (type_name(u, type)) size = type.size;
    } else {
      unget(u);
      ++cx_.quiet;
      size = binary(0).size;
      --cx_.quiet;
    }
    expect(Tok::RParen);
  } else {
    unget(t);
    ++cx_.quiet;
    size = unary().size;
    --cx_.quiet;
  }
  return int_constant(static_cast<std::int32_t>(size));
}

bool Parser::starts_type(const Token& t) const {
  if (t.kind != Tok::Ident) return false;
  if (is_type_keyword(t.text)) return true;
  const Frame* f = current_frame(cx_);
  return find_typedef(cx_.env.tables, f ? f->function : nullptr, t.text) != nullptr;
}

bool Parser::type_name(Token t, Value& out) {
  std::vector<std::string> words;
  const SymbolEntry* typedef_entry = nullptr;
  const AggregateRecord* aggregate = nullptr;
  std::uint8_t tag_code = 0;
  const Frame* frame = current_frame(cx_);
  for (;;) {
    if (t.kind == Tok::Ident && is_type_keyword(t.text)) {
      if (t.text == "struct" || t.text == "union" || t.text == "enum") {
        Token tag = next();
        if (tag.kind != Tok::Ident) {
          cx_.fail(msg::syntax_error);
          unget(tag);
          return false;
        }
        aggregate = find_tag(cx_.env.tables, t.text, tag.text, &tag_code);
        if (!aggregate) {
          cx_.fail(msg::illegal_type);
          return false;
        }
      } else {
        words.push_back(t.text);
      }
    } else if (t.kind == Tok::Ident && words.empty() && !aggregate && !typedef_entry &&
               (typedef_entry = find_typedef(cx_.env.tables, frame ? frame->function : nullptr, t.text))) {
      // a typedef name of the program
    } else {
      break;
    }
    t = next();
  }
  unget(t);

  out = Value{};
  if (typedef_entry) {
    if (!words.empty() || aggregate) {
      cx_.fail(msg::syntax_error);
      return false;
    }
    out = typed_like(*typedef_entry);
  } else if (aggregate) {
    if (!words.empty()) {
      cx_.fail(msg::syntax_error);
      return false;
    }
    out.type = tag_code;
    out.aggregate = aggregate;
  } else {
    const std::uint8_t code = base_from_keywords(words);
    if (code == 0) {
      cx_.fail(msg::syntax_error);
      return false;
    }
    out.type = code;
  }
  out.kind = kValueComputed;
  out.operand = 0;
  out.home = Home::None;
  refresh_size(out);
  for (;;) {
    Token s = next();
    if (s.kind != Tok::Star) {
      unget(s);
      break;
    }
    add_pointer(out, 0);
  }
  return true;
}

}  // namespace

Value ExprEvaluator::xexpr(const char*& cursor, int& status, int mode) {
  EvalContext cx{env_, mode};
  const char* start = skip_blanks(cursor ? cursor : "");
  if (*start == ':') start = skip_blanks(start + 1);  // a leading ':' is not part of the expression
  Parser parser(cx, start, assignments_);
  Value v = parser.parse();
  const char* end = parser.end();
  if (end < start) end = start;
  v.name.assign(start, end);
  if (cx.status != 0) v.valid = false;
  status = cx.status;
  detail_ = cx.detail;
  cursor = end;
  return v;
}

int ExprEvaluator::Expression(int mode, const char*& cursor, int& is_floating_out, std::int32_t& integer,
                              double& floating) {
  int status = 0;
  Value v = xexpr(cursor, status, mode);
  if (status != 0) return status;
  if (*skip_blanks(cursor) != '\0') return msg::illegal_extension;
  if (is_floating(v)) {
    is_floating_out = 1;
    floating = v.dval;
  } else {
    is_floating_out = 0;
    integer = v.ival;
  }
  return 0;
}

int ExprEvaluator::assign(Value& target, const Value& source) {
  EvalContext cx{env_, 1};
  Value result = assign_op(cx, target, source);
  if (cx.status != 0) return cx.status;
  target.ival = result.ival;
  target.dval = result.dval;
  return 0;
}

void ExprEvaluator::reload(Value& v) {
  if (v.valid) load_value(env_, v);
}

Value ExprEvaluator::variable(const SymbolEntry& entry, const Frame* frame, bool load) {
  return entry_value(env_, entry, frame, load);
}

std::string expr_error_text(int status, const std::string& detail) {
  std::string text = msgtext(status);
  if (!detail.empty()) text += ": " + detail;
  return text;
}

}  // namespace tav
