// Turning value descriptors into text: the format letters, the per-type
// default formats, enums, characters, strings from target memory, pointers
// to functions, _Fract values, the floating display, aggregates as text, and
// the expanded and compact layouts of the variable views.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "expr/expr_env.h"
#include "expr/text_sink.h"
#include "expr/value.h"

namespace tav {

struct FormatSettings {
  // DefIntFormat: 1 octal, 2 hexadecimal, 4 binary, anything else decimal.
  int default_int_format = 0;
  // Aggregates print as text (the console host, and output captured for
  // extensions). Otherwise `open_aggregate` shows them in a window.
  bool text_mode = true;
  std::function<bool(const Value&)> open_aggregate;
};

inline constexpr std::uint32_t kStringMax = 1280;   // characters of a string read from the target
inline constexpr std::uint32_t kStringChunk = 20;   // bytes read at a time
inline constexpr std::uint32_t kCountMax = 65536;   // elements of a display count
inline constexpr std::uint32_t kShownMax = 1u << 18;  // elements and members one value shows at most

class ValueFormatter {
 public:
  ValueFormatter(ExprEnv& env, const FormatSettings& settings) : env_(env), settings_(settings) {}

  // Prints the value with the format letter (0: none); with a display count,
  // "{", the elements separated by ", ", "}".
  void putresult(const Value& v, char letter, const TextSink& out);
  // The print line: "    name = value\n" for scalars; aggregates alone.
  void print_line(const Value& v, char letter, const TextSink& out);
  // The variable views' layouts.
  void put_expanded(const Value& v, const TextSink& out);
  void put_compact(const Value& v, const TextSink& out);

  std::string text(const Value& v, char letter);  // putresult into a string

 private:
  void scalar(const Value& v, char letter, const TextSink& out);
  void structure(const Value& v, char letter, const TextSink& out, int depth);
  void string_at(const Value& v, const TextSink& out);
  void pointer(const Value& v, const TextSink& out);
  void expanded_value(const Value& v, const TextSink& out, int depth);
  void compact_value(const Value& v, const TextSink& out, int depth);
  Value member(const Value& aggregate, const SymbolEntry& m);
  Value element(const Value& array, std::uint32_t index);

  // Elements and members left to show of the value being printed: nested
  // aggregates of a damaged program must not print forever.
  bool spend() { return budget_ > 0 && budget_-- > 0; }

  ExprEnv& env_;
  const FormatSettings& settings_;
  std::uint32_t budget_ = kShownMax;
};

// "\n" for a line feed, "\101"-style octal for unprintable characters.
std::string escape_char(std::uint8_t c);
// The floating display: 150.0, 0.00012, 1.0e-05, 1.2345678e+07.
std::string float_text(double d);
// The per-type default format for a base type code (null: the type has none).
const char* default_format(std::uint8_t code, int default_int_format);
// Masks a value to the width of its type before an unsigned or prefixed format.
std::uint32_t masked_value(const Value& v, std::uint32_t raw);
// The pointer format of the variable views, from the pointer's attribute.
const char* view_pointer_format(const Value& v);

}  // namespace tav
