// Formatted messages and the I/O channel commands: "mess", "fopen",
// "fclose", "rewind", "fwrite" and "fread".
#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>

#include "expr/putresult.h"
#include "expr/xexpr.h"
#include "kernel/debugger.h"
#include "commands/handlers.h"
#include "kernel/files.h"
#include "kernel/options.h"
#include "support/messages.h"
#include "support/numconv.h"

namespace tav {

namespace {

// Widths beyond this would only fill the file with blanks.
constexpr int kWidthMax = 4096;
constexpr int kExpPrecisionMax = 17;
constexpr int kFixedPrecisionMax = 21;

// A format in double quotes: `body` is its text between the quotes (escapes
// still encoded), `after` the position after the closing quote.
struct Format {
  std::string body;
  const char* after = nullptr;
  bool closed = false;
};

// The format runs to the next double quote that no backslash precedes.
Format read_format(const char* p) {
  Format f;
  const char* q = p + 1;
  while (*q && !(*q == '"' && q[-1] != '\\')) ++q;
  f.body.assign(p + 1, q);
  f.closed = *q == '"';
  f.after = f.closed ? q + 1 : q;
  return f;
}

// Decodes the escape at `p` (on the backslash) and leaves `p` on its last character.
char escape(const char*& p) {
  if (p[1] == '\0') return '\\';
  ++p;
  return static_cast<char>(escdecode(&p, nullptr));
}

// The next ","-separated argument of a format command, evaluated.
bool next_argument(Debugger& d, const char*& a, Value& v, int& status) {
  const char* p = skipblanks(a);
  status = 0;
  if (*p != ',') return false;
  ++p;
  v = d.evaluator.xexpr(p, status, 1);
  if (status != 0) return false;
  a = p;
  return true;
}

// The channel number of "/c:<n>", or false.
bool channel_number(const OptionSet& options, std::int32_t& number) {
  if (!options.has('c')) return false;
  const std::string_view v = options.value('c');
  std::uint32_t n = 0;
  if (v.empty() || numscan32(v.data(), static_cast<int>(v.size()), &n, 10) != static_cast<int>(v.size()))
    return false;
  number = static_cast<std::int32_t>(n);
  return true;
}

OptionSpec channel_spec(std::string_view letters) {
  OptionSpec spec;
  spec.letters = letters;
  return spec;
}

// The channel a fwrite or fread names, or null after reporting why not.
Channel* open_channel(Debugger& d, const OptionSet& options) {
  std::int32_t number = 0;
  if (!channel_number(options, number)) {
    errout(d, {" Missing channel ", "\n"});
    return nullptr;
  }
  Channel* c = d.channels.find(number);
  if (!c) errout(d, {" Unknown Channel: ", std::to_string(number), "\n"});
  return c;
}

// The format of a fwrite or fread, or false after reporting why not.
bool channel_format(Debugger& d, const char* p, Format& f) {
  if (*p != '"') {
    errout(d, {"Missing Format ", p, "\n"});
    return false;
  }
  f = read_format(p);
  if (!f.closed) {
    errout(d, {"Invalid Format: ", p, "\n"});
    return false;
  }
  return true;
}

bool too_many(Debugger& d, const char* a) {
  a = skipblanks(a);
  if (*a == '\0' || *a == ';') return false;
  errout(d, {"Too many arguments: ", a, "\n"});
  return true;
}

// One printf conversion of fwrite, already split into its parts.
struct Conversion {
  std::string flags;
  int width = -1;
  int precision = -1;
  char length = 0;
  char letter = 0;
};

std::string printf_text(const Conversion& c, const Value& v) {
  std::string spec = "%" + c.flags;
  if (c.width >= 0) spec += std::to_string(c.width);
  if (c.precision >= 0) spec += "." + std::to_string(c.precision);
  const double dv = is_floating(v) ? v.dval : static_cast<double>(v.ival);
  const std::int32_t iv = is_floating(v) ? static_cast<std::int32_t>(std::isfinite(v.dval) ? v.dval : 0) : v.ival;
  std::string out(static_cast<std::size_t>(kWidthMax + 512), '\0');
  int n = 0;
  switch (c.letter) {
    case 'd':
    case 'i':
      spec += 'd';
      n = std::snprintf(out.data(), out.size(), spec.c_str(), c.length == 'h' ? static_cast<short>(iv) : iv);
      break;
    case 'u':
    case 'o':
    case 'x':
    case 'X': {
      spec += c.letter;
      const auto u = static_cast<std::uint32_t>(iv);
      n = std::snprintf(out.data(), out.size(), spec.c_str(),
                        c.length == 'h' ? static_cast<unsigned>(static_cast<std::uint16_t>(u)) : u);
      break;
    }
    case 'c':
      spec += 'c';
      n = std::snprintf(out.data(), out.size(), spec.c_str(), static_cast<unsigned char>(iv));
      break;
    case 'p': {
      // The value in decimal, or "0x" and hexadecimal with "#".
      const bool alt = c.flags.find('#') != std::string::npos;
      std::string f = "%";
      for (char ch : c.flags)
        if (ch == '-' || ch == '0') f += ch;
      if (c.width >= 0) f += std::to_string(c.width);
      if (alt) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "0x%x", static_cast<unsigned>(iv));
        f += 's';
        n = std::snprintf(out.data(), out.size(), f.c_str(), digits);
      } else {
        f += 'd';
        n = std::snprintf(out.data(), out.size(), f.c_str(), iv);
      }
      break;
    }
    default:  // e, E, f with a double
      spec += c.letter;
      n = std::snprintf(out.data(), out.size(), spec.c_str(), dv);
      break;
  }
  if (n < 0) return {};
  out.resize(std::min<std::size_t>(static_cast<std::size_t>(n), out.size() - 1));
  return out;
}

// Field text of fread quoted for the update command: `"text"` with escapes.
std::string quoted(const std::string& field) {
  std::string q = "\"";
  for (unsigned char c : field) {
    if (c == '"' || c == '\\') {
      q += '\\';
      q += static_cast<char>(c);
    } else if (c < 32 || c >= 127) {
      char oct[8];
      std::snprintf(oct, sizeof oct, "\\%03o", c);
      q += oct;
    } else {
      q += static_cast<char>(c);
    }
  }
  return q + "\"";
}

// Reads fields from a channel's file with one character of look-back.
class FieldReader {
 public:
  explicit FieldReader(std::FILE* f) : f_(f) {}
  int get() { return std::fgetc(f_); }
  void unget(int c) {
    if (c != EOF) std::ungetc(c, f_);
  }
  int peek() {
    const int c = get();
    unget(c);
    return c;
  }
  void skip_space() {
    int c;
    while ((c = get()) != EOF && std::isspace(c)) {
    }
    unget(c);
  }
  // Characters while `accept` says yes, at most `width`.
  template <class F>
  std::string take(int width, F accept) {
    std::string s;
    int c;
    while (static_cast<int>(s.size()) < width && (c = get()) != EOF) {
      if (!accept(c, s)) {
        unget(c);
        break;
      }
      s += static_cast<char>(c);
    }
    return s;
  }

 private:
  std::FILE* f_;
};

bool is_digit_in(int c, int base) {
  if (base == 16) return std::isxdigit(c) != 0;
  if (base == 8) return c >= '0' && c <= '7';
  return c >= '0' && c <= '9';
}

// A "[...]" set at `p` (after "["): fills `in` and returns the position after "]".
const char* scan_set(const char* p, bool in[256]) {
  bool negate = false;
  if (*p == '^') {
    negate = true;
    ++p;
  }
  bool mark[256] = {};
  bool first = true;
  for (; *p && (first || *p != ']'); ++p, first = false) {
    const auto lo = static_cast<unsigned char>(*p);
    if (p[1] == '-' && p[2] && p[2] != ']') {
      const auto hi = static_cast<unsigned char>(p[2]);
      for (unsigned c = lo; c <= hi; ++c) mark[c] = true;
      p += 2;
    } else {
      mark[lo] = true;
    }
  }
  for (int c = 0; c < 256; ++c) in[c] = negate ? !mark[c] : mark[c];
  return *p == ']' ? p + 1 : p;
}

}  // namespace

const char* cmd_mess(Debugger& d, const char* args, int) {
  const char* p = skipblanks(args);
  if (*p != '"') {
    errout(d, {"Missing \" ", p, "\n"});
    return endof(args);
  }
  const Format f = read_format(p);
  const char* a = f.after;
  std::string text;
  for (const char* q = f.body.c_str(); *q; ++q) {
    if (*q == '\\') {
      text += escape(q);
      continue;
    }
    if (*q != '%') {
      text += *q;
      continue;
    }
    const char letter = *++q;
    if (letter == '\0') {
      text += '%';
      break;
    }
    if (!std::strchr("bcdhosux", letter)) {
      text += letter;  // "%%" and unknown letters print the letter alone
      continue;
    }
    Value v;
    int status = 0;
    if (!next_argument(d, a, v, status)) {
      putout(d, text);
      errout(d, {msgtext(status ? status : msg::syntax_error), "\n"});
      return endof(args);
    }
    text += d.formatter.text(v, letter);
  }
  putout(d, text);
  return skipblanks(a);
}

const char* cmd_fopen(Debugger& d, const char* args, int) {
  OptionSpec spec = channel_spec("ac:");
  spec.path_args = true;  // "/dir/file" is the file, not options
  OptionSet options;
  const char* p = parse_options(d, args, spec, options);
  if (!p) return endof(args);
  std::int32_t number = 0;
  if (!options.has('c')) {
    errout(d, {"fopen needs a channel number: fopen [/a] /c:<n> <file>\n"});
    return endof(args);
  }
  if (!channel_number(options, number)) {
    errout(d, {"Wrong option ", options.value('c').data(), "\n"});
    return endof(args);
  }
  if (d.channels.find(number)) {
    errout(d, {"Channel ", std::to_string(number), " already used\n"});
    return endof(args);
  }
  // The name: quoted, or up to the end of the command.
  std::string name;
  if (*p == '"') {
    const char* q = std::strchr(p + 1, '"');
    const char* e = q ? q : endof(p);
    name.assign(p + 1, e);
    p = q ? q + 1 : e;
  } else {
    const char* start = p;
    while (*p && *p != ';') ++p;
    name.assign(start, p);
    while (!name.empty() && blankchar(name.back())) name.pop_back();
  }
  if (name.empty() || !d.channels.open(number, name, options.has('a'))) {
    errout(d, {"Can't Open:", name, "\n"});
    return endof(args);
  }
  return skipblanks(p);
}

namespace {
// fclose and rewind: "/c:<n>" must name an open channel.
Channel* named_channel(Debugger& d, const char*& p, const char* args) {
  OptionSpec spec = channel_spec("c:");
  OptionSet options;
  p = parse_options(d, args, spec, options);
  if (!p) return nullptr;
  std::int32_t number = 0;
  if (!channel_number(options, number)) {
    errout(d, {"Wrong option ", args, "\n"});
    return nullptr;
  }
  Channel* c = d.channels.find(number);
  if (!c) errout(d, {"Unknown Channel:", std::to_string(number), "\n"});
  return c;
}
}  // namespace

const char* cmd_fclose(Debugger& d, const char* args, int) {
  const char* p = nullptr;
  Channel* c = named_channel(d, p, args);
  if (!c) return endof(args);
  d.channels.close(c->number);
  return p;
}

const char* cmd_rewind(Debugger& d, const char* args, int) {
  const char* p = nullptr;
  Channel* c = named_channel(d, p, args);
  if (!c) return endof(args);
  std::rewind(c->file.get());
  return p;
}

const char* cmd_fwrite(Debugger& d, const char* args, int) {
  OptionSet options;
  const OptionSpec spec = channel_spec("c:");
  const char* p = parse_options(d, args, spec, options);
  if (!p) return endof(args);
  Channel* channel = open_channel(d, options);
  if (!channel) return endof(args);
  Format f;
  if (!channel_format(d, p, f)) return endof(args);

  const char* a = f.after;
  std::string out;
  auto fail = [&](const char* at) {
    std::fwrite(out.data(), 1, out.size(), channel->file.get());
    std::fflush(channel->file.get());
    errout(d, {"Format Error (or missing args) at: ", at, "\n"});
    return endof(args);
  };
  for (const char* q = f.body.c_str(); *q; ++q) {
    if (*q == '\\') {
      out += escape(q);
      continue;
    }
    if (*q != '%') {
      out += *q;
      continue;
    }
    const char* at = q;
    Conversion c;
    ++q;
    while (*q && std::strchr("-+ #0", *q)) c.flags += *q++;
    Value v;
    int status = 0;
    if (*q == '*') {
      if (!next_argument(d, a, v, status)) return fail(at);
      const std::int32_t w = as_int(v);
      if (w < 0) c.flags += '-';
      c.width = static_cast<int>(std::min<std::int64_t>(std::abs(static_cast<std::int64_t>(w)), kWidthMax));
      ++q;
    } else if (*q >= '0' && *q <= '9') {
      int w = 0;
      while (*q >= '0' && *q <= '9') w = std::min(w * 10 + (*q++ - '0'), kWidthMax);
      c.width = w;
    }
    if (*q == '.') {
      ++q;
      if (*q == '*') {
        if (!next_argument(d, a, v, status)) return fail(at);
        c.precision = std::max(0, static_cast<int>(std::min(as_int(v), kWidthMax)));
        ++q;
      } else {
        int pr = 0;
        while (*q >= '0' && *q <= '9') pr = std::min(pr * 10 + (*q++ - '0'), kWidthMax);
        c.precision = pr;
      }
    }
    if (*q == 'h' || *q == 'l' || *q == 'L') c.length = *q++;
    c.letter = *q;
    if (c.letter == '\0') break;
    if (!std::strchr("diuoxXceEfpgG", c.letter)) {
      out += c.letter;  // "%%" and any other character print as they are
      continue;
    }
    if (!next_argument(d, a, v, status)) return fail(at);
    if (c.letter == 'g' || c.letter == 'G') continue;  // print nothing
    if (c.letter == 'e' || c.letter == 'E')
      c.precision = std::min(c.precision < 0 ? 6 : c.precision, kExpPrecisionMax);
    if (c.letter == 'f') c.precision = std::min(c.precision < 0 ? 6 : c.precision, kFixedPrecisionMax);
    out += printf_text(c, v);
  }
  std::fwrite(out.data(), 1, out.size(), channel->file.get());
  if (!stream_ok(channel->file.get())) {
    errout(d, {"write error: channel file: ", std::strerror(errno), "\n"});
    std::clearerr(channel->file.get());
    return endof(args);
  }
  if (too_many(d, a)) return endof(args);
  return skipblanks(a);
}

// Each field read is assigned by the command line "updat <target> = <field>";
// texts (%s, %[...]) go as quoted texts, %c as the character's code.
const char* cmd_fread(Debugger& d, const char* args, int) {
  OptionSet options;
  const OptionSpec spec = channel_spec("c:");
  const char* p = parse_options(d, args, spec, options);
  if (!p) return endof(args);
  Channel* channel = open_channel(d, options);
  if (!channel) return endof(args);
  Format f;
  if (!channel_format(d, p, f)) return endof(args);

  FieldReader in(channel->file.get());
  const char* a = f.after;
  auto fail = [&](const char* at) {
    errout(d, {"Format Error (or missing args) at: ", at, "\n"});
    return endof(args);
  };
  // The next target's text, up to its "," or the end of the command.
  auto next_target = [&](std::string& target) {
    const char* t = skipblanks(a);
    if (*t != ',') return false;
    ++t;
    int status = 0;
    const bool assignments = d.evaluator.assignments();
    d.evaluator.set_assignments(false);
    const char* e = t;
    d.evaluator.xexpr(e, status, 0);
    d.evaluator.set_assignments(assignments);
    if (status != 0 || e == skipblanks(t)) return false;
    target.assign(skipblanks(t), e);
    a = e;
    return true;
  };

  for (const char* q = f.body.c_str(); *q; ++q) {
    if (blankchar(*q)) {
      in.skip_space();
      continue;
    }
    if (*q == '\\' || *q != '%' || q[1] == '%') {
      const char* at = q;
      char want = *q;
      if (*q == '\\') want = escape(q);
      else if (*q == '%') ++q;
      if (std::isspace(static_cast<unsigned char>(want))) {
        in.skip_space();
        continue;
      }
      const int c = in.get();
      if (c != static_cast<unsigned char>(want)) {
        in.unget(c);
        return fail(at);
      }
      continue;
    }
    const char* at = q++;
    const bool skip = *q == '*';
    if (skip) ++q;
    int width = 0;
    while (*q >= '0' && *q <= '9') width = std::min(width * 10 + (*q++ - '0'), kWidthMax);
    if (width == 0) width = kWidthMax;
    if (*q == 'h' || *q == 'l' || *q == 'L') ++q;
    const char letter = *q;
    if (letter == '\0') break;
    std::string field, value;
    switch (letter) {
      case 'd': case 'i': case 'u': case 'o': case 'x': case 'X': case 'p': {
        const int base = (letter == 'o') ? 8 : (letter == 'x' || letter == 'X' || letter == 'p') ? 16 : 10;
        in.skip_space();
        field = in.take(width, [&](int c, const std::string& s) {
          if (s.empty() && (c == '-' || c == '+')) return true;
          const std::size_t digits = s.size() - ((!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0);
          if (base == 16 && digits == 1 && s.back() == '0' && (c == 'x' || c == 'X')) return true;
          return is_digit_in(c, base);
        });
        const std::size_t sign = (!field.empty() && (field[0] == '-' || field[0] == '+')) ? 1 : 0;
        std::string digits = field.substr(sign);
        if (base == 16 && digits.size() >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
          digits = digits.substr(2);
        if (digits.empty()) return fail(at);
        value = field.substr(0, sign) + (base == 16 ? "0x" : base == 8 ? "0" : "") + digits;
        break;
      }
      case 'e': case 'E': case 'f': case 'g': case 'G': {
        in.skip_space();
        field = in.take(width, [](int c, const std::string& s) {
          if (c == '-' || c == '+') return s.empty() || s.back() == 'e' || s.back() == 'E';
          if (c == '.') return s.find('.') == std::string::npos && s.find_first_of("eE") == std::string::npos;
          if (c == 'e' || c == 'E') return s.find_first_of("0123456789") != std::string::npos &&
                                           s.find_first_of("eE") == std::string::npos;
          return c >= '0' && c <= '9';
        });
        if (field.find_first_of("0123456789") == std::string::npos) return fail(at);
        value = field;
        break;
      }
      case 'c': {
        const int c = in.get();
        if (c == EOF) return fail(at);
        value = std::to_string(c);
        break;
      }
      case 's': {
        in.skip_space();
        field = in.take(width, [](int c, const std::string&) { return !std::isspace(c); });
        if (field.empty()) return fail(at);
        value = quoted(field);
        break;
      }
      case '[': {
        bool set[256];
        const char* end = scan_set(q + 1, set);
        q = end - 1;
        field = in.take(width, [&](int c, const std::string&) { return set[static_cast<unsigned char>(c)]; });
        if (field.empty()) return fail(at);
        value = quoted(field);
        break;
      }
      default: {
        const int c = in.get();
        if (c != static_cast<unsigned char>(letter)) {
          in.unget(c);
          return fail(at);
        }
        continue;
      }
    }
    if (skip) continue;
    std::string target;
    if (!next_target(target)) return fail(at);
    const std::string line = "updat " + target + " = " + value;
    docmd(d, line.c_str(), 0);
  }
  if (too_many(d, a)) return endof(args);
  return skipblanks(a);
}

}  // namespace tav
