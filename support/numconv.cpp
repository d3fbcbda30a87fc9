// Integer and floating conversions between binary values and text.
#include "support/numconv.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <system_error>

namespace tav {
namespace {

constexpr char kDigitChars[] = "0123456789abcdefghijklmnopqrstuvwxyz";

// Digits kept from a double; later positions print as "0".
constexpr int kSignificant = 17;

bool is_blank(unsigned char c) { return c <= 32 || c == 127; }

int normalize_base(int base, bool* is_signed) {
  *is_signed = base < 0;
  int magnitude = base < 0 ? -base : base;
  if (magnitude == 0) magnitude = 10;
  if (magnitude < 2 || magnitude > 36) magnitude = 10;
  return magnitude;
}

int put_unsigned(char* out, std::uint32_t value, unsigned base) {
  char tmp[32];
  int n = 0;
  do {
    tmp[n++] = kDigitChars[value % base];
    value /= base;
  } while (value != 0);
  for (int i = 0; i < n; ++i) out[i] = tmp[n - 1 - i];
  return n;
}

// The double nearest to 0.digits × 10^exponent (digits without leading
// zeros), rounded once; beyond the double range: infinity or zero.
double nearest_double(const std::string& digits, long exponent) {
  if (digits.empty()) return 0.0;
  const long scale = exponent - static_cast<long>(digits.size());
  if (scale > 400) return HUGE_VAL;
  if (scale < -400 - static_cast<long>(digits.size())) return 0.0;
  const std::string text = digits + "e" + std::to_string(scale);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) return scale > 0 ? HUGE_VAL : 0.0;
  return value;
}

// The significant decimal digits of a magnitude.
struct Decimal {
  char digit[kSignificant];  // numeric 0..9
  int exponent;              // value = 0.d1 d2 ... × 10^exponent
  bool zero;

  // Digit at position j (0 = first significant digit); zeros outside.
  int at(int j) const { return (j >= 0 && j < kSignificant && !zero) ? digit[j] : 0; }
};

// Reads "d.ddd...e+XX" as written by std::to_chars in scientific form;
// false when a digit other than 0 follows the 17th.
bool read_scientific(const char* text, const char* end, Decimal* d) {
  int n = 0;
  bool tail_zero = true;
  const char* p = text;
  for (; p < end && *p != 'e'; ++p) {
    if (*p == '.') continue;
    if (n < kSignificant) d->digit[n] = static_cast<char>(*p - '0');
    else if (*p != '0') tail_zero = false;
    ++n;
  }
  for (int i = n; i < kSignificant; ++i) d->digit[i] = 0;
  int exponent = 0;
  bool negative = false;
  if (p < end) ++p;  // 'e'
  if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  for (; p < end; ++p) exponent = exponent * 10 + (*p - '0');
  d->exponent = (negative ? -exponent : exponent) + 1;  // the point goes before the first digit
  return tail_zero;
}

// The digits of a finite magnitude. A value whose exact decimal expansion has
// at most 17 significant digits gets exactly those; any other value gets the
// shortest digit string that reads back as the same double, so that a typed
// 0.29 shows as 0.29 and not as the 0.28999999999999998 the double really holds.
Decimal decompose(double magnitude) {
  Decimal d{};
  if (magnitude == 0.0) {
    d.zero = true;
    return d;
  }
  char text[64];
  // 41 significant digits show whether anything follows the 17th.
  auto r = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 40);
  if (!read_scientific(text, r.ptr, &d)) {
    r = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific);
    read_scientific(text, r.ptr, &d);
  }
  return d;
}

int put_special(char* out, double value) {
  const char* text = std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
  int n = static_cast<int>(std::strlen(text));
  std::memcpy(out, text, n);
  return n;
}

int clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Length-bounded reader; a negative length reads to the terminating NUL.
struct Reader {
  const char* text;
  int length;
  int pos = 0;

  bool more() const { return length < 0 ? text[pos] != '\0' : pos < length; }
  unsigned char peek(int ahead = 0) const {
    int p = pos + ahead;
    if (length < 0) {
      for (int i = pos; i < p; ++i)
        if (text[i] == '\0') return 0;
      return static_cast<unsigned char>(text[p]);
    }
    return p < length ? static_cast<unsigned char>(text[p]) : 0;
  }
  void skip_blanks() {
    while (more() && is_blank(peek())) ++pos;
  }
};

int digit_value(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

int numscan(const char* text, int length, std::uint32_t* result, int base) {
  *result = 0;
  if (text == nullptr) return 0;
  Reader r{text, length};
  r.skip_blanks();
  bool negative = false;
  if (r.more() && (r.peek() == '-' || r.peek() == '+')) {
    negative = r.peek() == '-';
    ++r.pos;
  }
  bool prefix = false;
  if (base == 1) {
    base = 10;
    if (r.more() && r.peek() == '0') {
      const unsigned char next = r.peek(1);
      if (next == 'x' || next == 'X') {
        base = 16;
        prefix = true;
      } else if (next == 'b' || next == 'B') {
        base = 2;
        prefix = true;
      } else {
        base = 8;
      }
    }
  } else if (base == 16 && r.peek() == '0' && (r.peek(1) == 'x' || r.peek(1) == 'X')) {
    prefix = true;
  }
  if (prefix) r.pos += 2;

  std::uint32_t value = 0;
  bool any_digit = false;
  while (r.more()) {
    const int d = digit_value(r.peek());
    if (d >= base) break;
    value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(d);
    any_digit = true;
    ++r.pos;
  }
  if (!any_digit && !prefix) return 0;
  if (r.more() && (r.peek() == 'l' || r.peek() == 'L')) ++r.pos;
  *result = negative ? 0u - value : value;
  return r.pos;
}

}  // namespace

int numtext32(char* buffer, std::uint32_t value, int base) {
  bool is_signed = false;
  const unsigned b = static_cast<unsigned>(normalize_base(base, &is_signed));
  if (is_signed && static_cast<std::int32_t>(value) < 0) {
    buffer[0] = '-';
    return 1 + put_unsigned(buffer + 1, 0u - value, b);
  }
  return put_unsigned(buffer, value, b);
}

int numtext16(char* buffer, std::uint16_t value, int base) {
  bool is_signed = false;
  normalize_base(base, &is_signed);
  // Widen so that the 32-bit conversion sees the same sign and magnitude.
  const std::uint32_t wide =
      is_signed ? static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int16_t>(value))) : value;
  return numtext32(buffer, wide, base);
}

int dblfixed(char* buffer, double value, int intdigits, int decimals) {
  if (!std::isfinite(value)) return put_special(buffer, value);
  intdigits = clamp(intdigits, 1, kDblFixedDigitsMax);
  decimals = clamp(decimals, 0, kDblFixedDigitsMax);
  char* out = buffer;
  if (value < 0) *out++ = '-';
  const Decimal d = decompose(std::fabs(value));
  const int exponent = d.zero ? 0 : d.exponent;
  if (exponent <= 0) {
    *out++ = '0';
  } else {
    const int first = exponent > intdigits ? exponent - intdigits : 0;
    for (int j = first; j < exponent; ++j) *out++ = static_cast<char>('0' + d.at(j));
  }
  if (decimals > 0) {
    *out++ = '.';
    for (int j = exponent; j < exponent + decimals; ++j) *out++ = static_cast<char>('0' + d.at(j));
  }
  return static_cast<int>(out - buffer);
}

int dblexp(char* buffer, double value, int before, int decimals) {
  if (!std::isfinite(value)) return put_special(buffer, value);
  before = clamp(before, 1, kDblFixedDigitsMax);
  decimals = clamp(decimals, 0, kDblExpDecimalsMax);
  char* out = buffer;
  if (value < 0) *out++ = '-';
  const Decimal d = decompose(std::fabs(value));
  int j = 0;
  for (; j < before; ++j) *out++ = static_cast<char>('0' + d.at(j));
  if (decimals > 0) {
    *out++ = '.';
    for (int k = 0; k < decimals; ++k, ++j) *out++ = static_cast<char>('0' + d.at(j));
  }
  int exponent = d.zero ? 0 : d.exponent - before;
  *out++ = 'e';
  *out++ = exponent < 0 ? '-' : '+';
  if (exponent < 0) exponent = -exponent;
  if (exponent >= 100) *out++ = static_cast<char>('0' + exponent / 100 % 10);
  *out++ = static_cast<char>('0' + exponent / 10 % 10);
  *out++ = static_cast<char>('0' + exponent % 10);
  return static_cast<int>(out - buffer);
}

int numscan32(const char* text, int length, std::uint32_t* result, int base) {
  return numscan(text, length, result, base);
}

int numscan16(const char* text, int length, std::uint16_t* result, int base) {
  std::uint32_t wide = 0;
  const int used = numscan(text, length, &wide, base);
  *result = static_cast<std::uint16_t>(wide);
  return used;
}

int dblscan(const char* text, int length, double* result) {
  *result = 0.0;
  if (text == nullptr) return 0;
  Reader r{text, length};
  r.skip_blanks();
  bool negative = false;
  if (r.more() && (r.peek() == '-' || r.peek() == '+')) {
    negative = r.peek() == '-';
    ++r.pos;
  }
  // The digits are kept as text and converted once at the end, so that the
  // result is the double nearest to the decimal value.
  std::string digits;
  long exponent = 0;  // value = 0.digits × 10^exponent
  bool any_digit = false;
  while (r.more() && r.peek() >= '0' && r.peek() <= '9') {
    if (!digits.empty() || r.peek() != '0') digits += static_cast<char>(r.peek());
    if (!digits.empty()) ++exponent;
    any_digit = true;
    ++r.pos;
  }
  if (r.more() && r.peek() == '.') {
    ++r.pos;
    while (r.more() && r.peek() >= '0' && r.peek() <= '9') {
      if (!digits.empty() || r.peek() != '0')
        digits += static_cast<char>(r.peek());
      else
        --exponent;
      any_digit = true;
      ++r.pos;
    }
  }
  if (!any_digit) return 0;
  if (r.more() && (r.peek() == 'e' || r.peek() == 'E')) {
    std::uint16_t scaled = 0;
    const int rest = r.length < 0 ? -1 : r.length - r.pos - 1;
    const int used = numscan16(r.text + r.pos + 1, rest, &scaled, 10);
    if (used > 0) {
      r.pos += 1 + used;
      exponent += static_cast<std::int16_t>(scaled);
    }
  }
  const double magnitude = nearest_double(digits, exponent);
  *result = negative ? -magnitude : magnitude;
  return r.pos;
}

int escdecode(const char** cursor, const char* specials) {
  const char* p = *cursor;
  if (*p >= '0' && *p <= '7') {
    int code = 0;
    for (int i = 0; i < 3 && *p >= '0' && *p <= '7'; ++i, ++p) code = code * 8 + (*p - '0');
    *cursor = p - 1;
    return code;
  }
  switch (*p) {
    case 'b': case 'B': return '\b';
    case 'f': case 'F': return '\f';
    case 'n': case 'N': return '\n';
    case 'r': case 'R': return '\r';
    case 't': case 'T': return '\t';
    case 'v': case 'V': return '\v';
    default: break;
  }
  if (specials != nullptr && *p != '\0') {
    const char* hit = std::strchr(specials, *p);
    if (hit != nullptr) return ~static_cast<int>(hit - specials);
  }
  return static_cast<unsigned char>(*p);
}

}  // namespace tav
