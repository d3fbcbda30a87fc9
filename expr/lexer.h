// Tokens of C expressions: operators with their binary precedence, constants,
// identifiers with their scope forms, and the characters that end an
// expression. One token can be pushed back.
#pragma once
#include <cstdint>
#include <string>

namespace tav {

enum class Tok : std::uint8_t {
  End,    // end of text, '"', ',', ';', '?', '{' (not consumed)
  Other,  // a character that cannot continue an expression (not consumed)
  Error,  // an unterminated character constant
  Int,
  Float,
  Ident,   // a name, "$name" or "@digits"
  Scoped,  // scope ':' name or scope ':' line
  Star, Slash, Percent, Plus, Minus, Shl, Shr, Lt, Le, Gt, Ge, Eq, Ne,
  Amp, Caret, Pipe, AndAnd, OrOr, Assign,
  Not, Tilde,
  LParen, RParen, LBracket, RBracket, Dot, Arrow, Hash,
};

struct Token {
  Tok kind = Tok::End;
  const char* start = nullptr;  // first character (blanks skipped)
  const char* end = nullptr;    // one past the last character
  const char* before = nullptr; // where the lexer stood before skipping blanks
  std::int32_t ival = 0;
  double dval = 0;
  std::string text;   // identifier, or the name of a scoped form
  std::string scope;  // scoped form: the text before ':'
  bool scoped_line = false;  // scoped form names a line (ival)
};

// Binary precedence of a token (0: not a binary operator).
int binary_precedence(Tok t);

class Lexer {
 public:
  explicit Lexer(const char* text);

  Token next();
  // Pushes `t` back; the next call of next() returns it again. A second
  // push-back before that is refused (returns false).
  bool unget(const Token& t);

  const char* position() const { return pending_ ? pushed_.before : p_; }
  // Character-level look-ahead for the forms "name()" and "():".
  const char* raw() const { return position(); }
  void skip_to(const char* p) {
    pending_ = false;
    p_ = p;
  }

  static bool ident_start(char c);
  static bool ident_char(char c);

 private:
  Token scan();
  void scan_number(Token& t);
  void scan_identifier(Token& t);

  const char* p_;
  const char* text_end_;
  Token pushed_;
  bool pending_ = false;
};

}  // namespace tav
