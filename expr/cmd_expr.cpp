#include "expr/cmd_expr.h"

#include <cstring>

#include "image/debug_tables.h"
#include "image/symbol_table.h"
#include "sim/memory.h"
#include "sim/registers.h"
#include "support/messages.h"
#include "support/numconv.h"

namespace tav {

namespace {

constexpr int kMaxDepth = 200;

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
// A leading '~' is the complement operator; inside a name it is a letter.
bool name_start(char c) { return is_letter(c) || c == '_' || c == '.' || c == '$'; }
bool name_char(char c) { return name_start(c) || is_digit(c) || c == '~'; }

class OperandParser {
 public:
  OperandParser(CmdExprEnv& env, const char* text, bool execute) : env_(env), p_(text), execute_(execute) {}

  std::uint32_t top();
  const char* position() const { return p_; }
  int error() const { return error_; }

 private:
  void fail(int code) {
    if (error_ == 0) error_ = code;
  }
  // Skips blanks and tells whether `text` follows; the blanks stay when it does not.
  bool at(const char* text) {
    const char* q = p_;
    while (is_blank(*q)) ++q;
    const std::size_t n = std::strlen(text);
    if (std::strncmp(q, text, n) != 0) return false;
    p_ = q;
    return true;
  }
  std::uint32_t rel();
  std::uint32_t add();
  std::uint32_t mul();
  std::uint32_t prim();
  std::uint32_t name();
  std::uint32_t line_address();
  std::uint32_t macro_argument();
  std::uint32_t input_line();

  CmdExprEnv& env_;
  const char* p_;
  bool execute_;
  int error_ = 0;
  int depth_ = 0;
};

std::uint32_t OperandParser::top() {
  if (++depth_ > kMaxDepth) {
    fail(msg::syntax_error);
    --depth_;
    return 0;
  }
  std::uint32_t v = rel();
  for (;;) {
    if (at("&&")) {
      p_ += 2;
      const std::uint32_t r = rel();
      v = (v != 0 && r != 0) ? 1 : 0;
    } else if (at("||")) {
      p_ += 2;
      const std::uint32_t r = rel();
      v = (v != 0 || r != 0) ? 1 : 0;
    } else {
      break;
    }
  }
  --depth_;
  return v;
}

std::uint32_t OperandParser::rel() {
  std::uint32_t v = add();
  for (;;) {
    int op = 0;
    if (at("<=")) op = 1;
    else if (at(">=")) op = 2;
    else if (at("==")) op = 3;
    else if (at("!=")) op = 4;
    else if (at("<")) op = 5;
    else if (at(">")) op = 6;
    if (op == 0) return v;
    p_ += op <= 4 ? 2 : 1;
    const std::int32_t a = static_cast<std::int32_t>(v), b = static_cast<std::int32_t>(add());
    bool r = false;
    switch (op) {
      case 1: r = a <= b; break;
      case 2: r = a >= b; break;
      case 3: r = a == b; break;
      case 4: r = a != b; break;
      case 5: r = a < b; break;
      default: r = a > b; break;
    }
    v = r ? 1 : 0;
  }
}

std::uint32_t OperandParser::add() {
  std::uint32_t v;
  if (at("-")) {
    ++p_;
    v = 0u - mul();
  } else {
    if (at("+")) ++p_;
    v = mul();
  }
  for (;;) {
    if (at("+")) {
      ++p_;
      v += mul();
    } else if (at("-")) {
      ++p_;
      v -= mul();
    } else if (at("|") && !at("||")) {
      ++p_;
      v |= mul();
    } else if (at("^")) {
      ++p_;
      v ^= mul();
    } else if (at(":")) {
      ++p_;
      v = 2 * v + mul();
    } else {
      return v;
    }
  }
}

std::uint32_t OperandParser::mul() {
  std::uint32_t v = prim();
  for (;;) {
    if (at("<<")) {
      p_ += 2;
      v <<= (prim() & 31u);
    } else if (at(">>")) {
      p_ += 2;
      v >>= (prim() & 31u);
    } else if (at("*")) {
      ++p_;
      v *= prim();
    } else if (at("/") || at("%")) {
      const bool divide = *p_ == '/';
      ++p_;
      const std::int32_t b = static_cast<std::int32_t>(prim());
      const std::int32_t a = static_cast<std::int32_t>(v);
      if (b == 0) {
        if (execute_) fail(msg::zero_divide);
      } else if (b == -1) {
        v = divide ? 0u - v : 0u;
      } else {
        v = static_cast<std::uint32_t>(divide ? a / b : a % b);
      }
    } else if (at("&") && !at("&&")) {
      ++p_;
      v &= prim();
    } else {
      return v;
    }
  }
}

std::uint32_t OperandParser::prim() {
  if (++depth_ > kMaxDepth) {
    fail(msg::syntax_error);
    --depth_;
    return 0;
  }
  struct Leave {
    int& d;
    ~Leave() { --d; }
  } leave{depth_};
  while (is_blank(*p_)) ++p_;
  const char c = *p_;
  if (c == '!') {
    ++p_;
    return prim() == 0 ? 1 : 0;
  }
  if (c == '~') {
    ++p_;
    return ~prim();
  }
  if (is_digit(c)) {
    std::uint32_t v = 0;
    const int used = numscan32(p_, static_cast<int>(std::strlen(p_)), &v, 1);
    p_ += used > 0 ? used : 1;
    return v;
  }
  if (c == '\'') {
    const char* q = p_ + 1;
    std::uint32_t v = 0;
    while (*q && *q != '\'') v = v << 8 | static_cast<std::uint8_t>(*q++);
    if (*q != '\'') {
      fail(msg::syntax_error);
      p_ = q;
      return 0;
    }
    p_ = q + 1;
    return v;
  }
  if (c == '(') {
    ++p_;
    const std::uint32_t v = top();
    if (at(")"))
      ++p_;
    else
      fail(msg::syntax_error);
    return v;
  }
  if (c == '[') {
    ++p_;
    const std::uint32_t address = top();
    if (at("]")) {
      ++p_;
    } else {
      fail(msg::syntax_error);
      return 0;
    }
    char size = 'b';
    if (*p_ == '.') {
      size = p_[1];
      if (size == 'b' || size == 'w' || size == 'l' || size == 'B' || size == 'W' || size == 'L') {
        p_ += 2;
      } else {
        fail(msg::incorrect_size_modifier);
        ++p_;
        return 0;
      }
    }
    if (!execute_) return 0;
    switch (size | 0x20) {
      case 'w': return env_.memory.ReadWord(address);
      case 'l': return env_.memory.ReadLong(address);
      default: return env_.memory.ReadByte(address);
    }
  }
  if (c == '@') {
    ++p_;
    return line_address();
  }
  if (c == '?') {
    ++p_;
    return input_line();
  }
  if (c == '\\') {
    ++p_;
    return macro_argument();
  }
  if (name_start(c)) return name();
  fail(msg::syntax_error);
  return 0;
}

std::uint32_t OperandParser::name() {
  const char* s = p_;
  while (name_char(*p_)) ++p_;
  const std::size_t length = static_cast<std::size_t>(p_ - s);
  if (length > static_cast<std::size_t>(kCmdNameMax)) {
    fail(msg::name_too_long);
    return 0;
  }
  const std::string text(s, length);
  if (text[0] == '$' && length > 1) {
    const int code = Registers::GetRegisterCode(text.substr(1));
    if (code == 0) {
      if (execute_) fail(msg::unknown_register);
      return 0;
    }
    return execute_ ? env_.registers.ReadRegister(code) : 0;
  }
  if (const ProgramSymbol* sym = env_.symbols.rensym(text)) return sym->value();
  if (env_.unknown_is_minus_one) return 0xFFFFFFFFu;
  if (execute_) fail(msg::symbol_not_found);
  return 0;
}

std::uint32_t OperandParser::line_address() {
  // [file ':'] line ['.' column]
  const FileEntry* file = nullptr;
  if (!is_digit(*p_)) {
    const char* s = p_;
    while (*p_ && *p_ != ':' && !is_blank(*p_) && *p_ != ',' && *p_ != ';') ++p_;
    const std::string name(s, p_);
    if (*p_ != ':' || name.empty()) {
      fail(msg::syntax_error);
      return 0;
    }
    ++p_;
    file = env_.tables ? env_.tables->find_file(name) : nullptr;
    if (!file && execute_) fail(msg::file_not_found);
  } else if (env_.current_file) {
    file = env_.current_file();
  }
  if (!is_digit(*p_)) {
    fail(msg::syntax_error);
    return 0;
  }
  std::uint32_t line = 0, column = 0;
  bool has_column = false;
  while (is_digit(*p_)) line = line * 10 + static_cast<std::uint32_t>(*p_++ - '0');
  if (*p_ == '.' && is_digit(p_[1])) {
    ++p_;
    has_column = true;
    while (is_digit(*p_)) column = column * 10 + static_cast<std::uint32_t>(*p_++ - '0');
  }
  if (!execute_) return 0;
  if (!file || !env_.tables) {
    fail(msg::no_code_at_location);
    return 0;
  }
  if (!has_column) {
    if (const DebugRecord* r = env_.tables->line_address(file, line)) return r->value;
  } else {
    for (const DebugRecord& r : env_.tables->records())
      if ((r.is_line() || r.is_start()) && r.name == file->name && r.line == line && r.column == column) return r.value;
  }
  fail(msg::no_code_at_location);
  return 0;
}

std::uint32_t OperandParser::macro_argument() {
  int number = 0;
  std::uint32_t index = 0;
  if (is_digit(*p_)) {
    number = *p_++ - '0';
  } else if (*p_ == '(') {
    ++p_;
    index = top();
    if (at(")"))
      ++p_;
    else
      fail(msg::syntax_error);
    number = index > 0x7FFF ? 0x7FFF : static_cast<int>(index);
  } else {
    fail(msg::syntax_error);
    return 0;
  }
  if (!execute_) return 0;
  std::uint32_t value = 0;
  if (!env_.macro || !env_.macro->argument(number, value)) {
    fail(msg::incorrect_argument);
    return 0;
  }
  return value;
}

std::uint32_t OperandParser::input_line() {
  if (!execute_) return 0;
  std::string line;
  if (!env_.input || !env_.input->read_line(line)) {
    fail(msg::syntax_error);
    return 0;
  }
  if (depth_ > kMaxDepth / 2) {
    fail(msg::syntax_error);
    return 0;
  }
  OperandParser nested(env_, line.c_str(), execute_);
  nested.depth_ = depth_;
  const std::uint32_t v = nested.top();
  if (nested.error()) fail(nested.error());
  return v;
}

}  // namespace

std::uint32_t cmd_expr(CmdExprEnv& env, const char*& cursor, int& error, bool execute) {
  OperandParser parser(env, cursor ? cursor : "", execute);
  const std::uint32_t v = parser.top();
  error = parser.error();
  cursor = parser.position();
  return v;
}

}  // namespace tav
