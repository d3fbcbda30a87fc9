#include "expr/putresult.h"

#include <algorithm>
#include <cstdlib>

#include "expr/access.h"
#include "expr/type_names.h"
#include "sim/memory.h"
#include "sim/registers.h"

namespace tav {

namespace {

constexpr int kMaxNesting = 16;  // members of members shown as text

bool is_short_code(std::uint8_t c) { return c == kShort || c == kUnsignedShort || c == kShortBitField; }
bool is_word_code(std::uint8_t c) {
  return c == kInt || c == kBitField || c == kUnsignedInt || c == kLong || c == kUnsignedLong || c == kLongBitField;
}

bool needs_mask(std::string_view format) { return !format.empty() && (format[0] == '0' || (format.size() > 1 && format[1] == 'u')); }

// A pointer to, or an array of, a character type: one derivation over a code below 0x0B.
bool is_char_string(const Value& v) {
  return (is_pointer(v) || is_array(v)) && derivation_count(v.type) == 1 && v.code() < kCharBitField;
}

std::uint32_t bits_of(const Value& v) { return static_cast<std::uint32_t>(as_int(v)); }

void print_int(const TextSink& out, const char* format, const Value& v) {
  std::uint32_t raw = bits_of(v);
  if (needs_mask(format)) raw = masked_value(v, raw);
  out.fmt(format, raw);
}

const char* binary_format(std::uint8_t c) {
  if (is_char_code(c)) return "0b%+08z";
  if (is_short_code(c)) return "0b%+016z";
  if (is_word_code(c)) return "0b%+032z";
  return "0b%z";
}

const char* hex_format(std::uint8_t c, bool prefix) {
  if (is_char_code(c)) return prefix ? "0x%+02h" : "%+02h";
  if (is_short_code(c)) return prefix ? "0x%+04h" : "%+04h";
  if (is_word_code(c)) return prefix ? "0x%+08hL" : "%+08hL";
  return prefix ? "0x%hl" : "%hl";
}

std::string fract_text(const Value& v) {
  if (v.code() == kShortFract) {
    const double d = static_cast<double>(static_cast<std::int16_t>(v.ival)) / 32768.0;
    return fmtstr("%1.5f", d);
  }
  return fmtstr("%1.9f", static_cast<double>(v.ival) / 2147483648.0);
}

bool is_fract(const Value& v) { return !has_derivation(v) && (v.code() == kShortFract || v.code() == kLongFract); }

}  // namespace

std::string escape_char(std::uint8_t c) {
  if (c >= 32 && c <= 126) return std::string(1, static_cast<char>(c));
  switch (c) {
    case '\a': return "\\a";
    case '\b': return "\\b";
    case '\f': return "\\f";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    case '\v': return "\\v";
    default: return fmtstr("\\%oc", c);
  }
}

std::string float_text(double d) {
  const std::string e10 = fmtstr("%.10d", d);
  const std::size_t epos = e10.find('e');
  const std::size_t point = e10.find('.');
  if (epos == std::string::npos || point == std::string::npos || point > epos) return e10;  // nan, inf
  const bool negative = e10[0] == '-';
  const std::string lead = e10.substr(negative ? 1 : 0, point - (negative ? 1 : 0));
  std::string decimals = e10.substr(point + 1, std::min<std::size_t>(9, epos - point - 1));
  while (decimals.size() > 1 && decimals.back() == '0') decimals.pop_back();
  const std::string exponent = e10.substr(epos);
  const int e = std::atoi(exponent.c_str() + 1);
  const std::string sign = negative ? "-" : "";
  if (e < 0 && -e <= 4) {
    std::string digits = lead + decimals;
    if (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    return sign + "0." + std::string(static_cast<std::size_t>(-e - 1), '0') + digits;
  }
  if (e >= 0 && e <= 6) {
    std::string digits = lead + decimals;
    if (digits.size() < static_cast<std::size_t>(e) + 1) digits.append(static_cast<std::size_t>(e) + 1 - digits.size(), '0');
    std::string whole = digits.substr(0, static_cast<std::size_t>(e) + 1);
    std::string rest = digits.substr(static_cast<std::size_t>(e) + 1);
    if (rest.empty()) rest = "0";
    return sign + whole + "." + rest;
  }
  return sign + lead + "." + decimals + exponent;
}

const char* default_format(std::uint8_t code, int dif) {
  const int column = dif == 1 ? 1 : dif == 2 ? 2 : dif == 4 ? 3 : 0;
  static const char* const kCharRow[4] = {"%c", "0%oc", "0x%hc", "0b%zc"};
  static const char* const kUChar[4] = {"%uc", "0%oc", "0x%hc", "0b%zc"};
  static const char* const kShortRow[4] = {"%s", "0%os", "0x%hs", "0b%zs"};
  static const char* const kUShort[4] = {"%us", "0%os", "0x%hs", "0b%zs"};
  static const char* const kLongRow[4] = {"%l", "0%ol", "0x%hl", "0b%zl"};
  static const char* const kULong[4] = {"%ul", "0%ol", "0x%hl", "0b%zl"};
  switch (code) {
    case kChar:
    case kSignedChar: return kCharRow[column];
    case kUnsignedChar: return kUChar[column];
    case kShort:
    case kInt: return kShortRow[column];
    case kUnsignedShort:
    case kUnsignedInt: return kUShort[column];
    case kLong: return kLongRow[column];
    case kUnsignedLong: return kULong[column];
    case kBool:
    case kEnum:
    case kShortEnum:
    case kIntEnum:
    case kBitField:
    case kShortBitField: return "%s";
    case kCharEnum:
    case kCharBitField: return "%c";
    case kLongEnum:
    case kLongBitField: return "%l";
    case kFloat:
    case kDouble:
    case kLongDouble: return "%d";
    case kShortFract: return "%1.5f";
    case kLongFract: return "%1.9f";
    default: return nullptr;
  }
}

std::uint32_t masked_value(const Value& v, std::uint32_t raw) {
  if (is_pointer(v)) return raw & pointer_reach_of(v);
  if (has_derivation(v)) return raw;
  const std::uint8_t c = v.code();
  if (is_char_code(c) || c == kCharEnum) return raw & 0xFFu;
  if (is_short_code(c) || c == kShortEnum) return raw & 0xFFFFu;
  return raw;
}

const char* view_pointer_format(const Value& v) {
  const std::uint32_t attr = v.words.empty() ? 0 : v.words.front();
  if (attr & 0x8000u) return (attr & 0x40u) ? "0x%hl" : "0x%hs";
  switch ((attr >> 12) & 3u) {
    case 1: return "0x%hc";
    case 3: return "0x%hl";
    default: return "0x%hs";
  }
}

Value ValueFormatter::member(const Value& aggregate, const SymbolEntry& m) {
  Value r = typed_like(m);
  r.kind = kValueObject;
  r.operand = kValueObject;
  r.owner = aggregate.owner;
  r.coprocessor = aggregate.coprocessor;
  r.home = Home::Memory;
  r.address = (aggregate.address + m.value) & 0xFFFFFFu;
  if (m.storage_class == kClassEnumMember) {
    r.home = Home::None;
    r.ival = static_cast<std::int32_t>(m.value);
  } else {
    load_value(env_, r);
  }
  return r;
}

Value ValueFormatter::element(const Value& array, std::uint32_t index) {
  Value e = array;
  strip_top(e);
  e.kind = kValueObject;
  e.operand = kValueObject;
  e.count = 0;
  e.home = Home::Memory;
  e.address = (array.address + index * e.size) & 0xFFFFFFu;
  load_value(env_, e);
  return e;
}

void ValueFormatter::string_at(const Value& v, const TextSink& out) {
  std::uint32_t address;
  if (is_pointer(v)) {
    if (v.ival == 0) {
      out.put("NULL");
      return;
    }
    address = pointer_target(env_, v);
  } else {
    address = v.address;
  }
  std::string text = "\"";
  std::uint32_t taken = 0;
  bool done = false;
  while (!done && taken < kStringMax) {
    std::uint8_t chunk[kStringChunk];
    env_.memory.ReadMemory(chunk, address, static_cast<std::int16_t>(kStringChunk));
    for (std::uint32_t i = 0; i < kStringChunk && !done; ++i) {
      if (chunk[i] == 0 || taken == kStringMax) {
        done = true;
        break;
      }
      text += escape_char(chunk[i]);
      ++taken;
    }
    address += kStringChunk;
  }
  text += '"';
  out.put(text);
}

void ValueFormatter::pointer(const Value& v, const TextSink& out) {
  Value target = v;
  strip_top(target);
  if (is_function(target) && v.ival != 0) {
    const std::uint32_t value = static_cast<std::uint32_t>(v.ival);
    std::uint32_t candidates[2] = {value, value};
    if (value <= 0xFFFFu)
      candidates[1] = v.coprocessor ? env_.registers.xgate_to_global(value) : env_.memory.LocalToGlobal(static_cast<std::uint16_t>(value));
    for (std::uint32_t address : candidates) {
      const FunctionBlock* f = env_.tables.function_at(address);
      if (f && f->start && f->start->value == address) {
        out.fmt("(%p)", std::string(f->name));
        return;
      }
    }
  }
  if (v.ival == 0) {
    out.put("NULL");
    return;
  }
  print_int(out, "0x%hl", v);
}

void ValueFormatter::structure(const Value& v, char letter, const TextSink& out, int depth) {
  out.put("{");
  if (v.aggregate && depth < kMaxNesting) {
    bool first = true;
    for (const SymbolEntry& m : v.aggregate->members) {
      if (!spend()) break;
      if (!first) out.put(", ");
      first = false;
      const Value e = member(v, m);
      out.put(m.name);
      out.put("=");
      if (is_struct_or_union(e))
        structure(e, letter, out, depth + 1);
      else
        scalar(e, letter, out);
    }
  }
  out.put("}");
}

void ValueFormatter::putresult(const Value& v, char letter, const TextSink& out) {
  if (!v.valid) return;
  budget_ = kShownMax;
  if (v.count == 0) {
    scalar(v, letter, out);
    return;
  }
  out.put("{");
  Value e = v;
  e.count = 0;
  const std::uint32_t n = std::min(v.count, kCountMax);
  for (std::uint32_t i = 0; i < n; ++i) {
    if (i > 0) {
      out.put(", ");
      if (e.home == Home::Memory) {
        e.address = (v.address + i * v.size) & 0xFFFFFFu;
        load_value(env_, e);
      }
    }
    scalar(e, letter, out);
  }
  out.put("}");
}

void ValueFormatter::scalar(const Value& v, char letter, const TextSink& out) {
  if (letter == 'C') {
    out.fmt("'%p'", escape_char(static_cast<std::uint8_t>(bits_of(v))));
    return;
  }
  if ((letter == 's' || letter == 'S') && is_char_string(v)) {
    string_at(v, out);
    return;
  }
  const bool aggregate = is_aggregate(v) || is_function(v);
  if (!aggregate) {
    const std::uint8_t c = has_derivation(v) ? std::uint8_t{kPointerTo} : v.code();
    switch (letter) {
      case 'c': out.fmt("%ac", bits_of(v)); return;
      case 'd': print_int(out, "%l", v); return;
      case 'u': print_int(out, "%ul", v); return;
      case 'o': print_int(out, "0%ol", v); return;
      case 'b': print_int(out, binary_format(c), v); return;
      case 'x': print_int(out, hex_format(c, true), v); return;
      case 'h': print_int(out, hex_format(c, false), v); return;
      default: break;
    }
  }
  if (is_array(v)) {
    if (!settings_.text_mode && settings_.open_aggregate) {
      if (!settings_.open_aggregate(v)) out.put("Can't create window for Aggregate Evaluation");
      return;
    }
    out.fmt("@0x%hl", v.address);
    return;
  }
  if (is_struct_or_union(v)) {
    if (!settings_.text_mode && settings_.open_aggregate) {
      if (!settings_.open_aggregate(v)) out.put("Can't create window for Aggregate Evaluation");
      return;
    }
    structure(v, letter, out, 0);
    return;
  }
  if (is_pointer(v)) {
    pointer(v, out);
    return;
  }
  if (is_function(v)) {
    out.fmt("0x%hl", bits_of(v));
    return;
  }
  if (is_fract(v)) {
    out.put(fract_text(v));
    return;
  }
  if (is_enum(v)) {
    const std::string_view name = DebugTables::enumerator_name(v.aggregate, v.ival);
    if (name != kEnumOutOfBounds)
      out.fmt("%p", std::string(name));
    else
      out.fmt("%l (unknown enum value)", bits_of(v));
    return;
  }
  if (is_floating(v)) {
    out.put(float_text(v.dval));
    return;
  }
  if (v.kind == kValueRegisterName || v.code() == kLabelType) {
    out.fmt("0x%hl", bits_of(v));
    return;
  }
  if (v.kind == kValueCycleCounter) {
    out.fmt("%ul", bits_of(v));
    return;
  }
  const char* format = default_format(v.code(), settings_.default_int_format);
  if (!format) {
    out.put("(no format)");
    return;
  }
  print_int(out, format, v);
}

void ValueFormatter::print_line(const Value& v, char letter, const TextSink& out) {
  if (!v.valid) return;
  const bool aggregate = is_aggregate(v) && v.count == 0;
  if (!aggregate) {
    out.put("    ");
    out.put(v.name);
    out.put(" = ");
  }
  putresult(v, letter, out);
  if (!aggregate || settings_.text_mode) out.put("\n");
}

std::string ValueFormatter::text(const Value& v, char letter) {
  StringSink s;
  putresult(v, letter, s.sink());
  return s.take();
}

void ValueFormatter::expanded_value(const Value& v, const TextSink& out, int depth) {
  if (is_array(v)) {
    const std::uint32_t n = std::min(v.words.empty() ? 0u : v.words.front(), kCountMax);
    for (std::uint32_t i = 0; i < n && spend(); ++i) {
      out.put(" ");
      expanded_value(element(v, i), out, depth + 1);
    }
    out.put("\n");
    return;
  }
  if (is_struct_or_union(v)) {
    out.put(" {\n");
    if (v.aggregate && depth < kMaxNesting)
      for (const SymbolEntry& m : v.aggregate->members) {
        if (!spend()) break;
        const Value e = member(v, m);
        out.put(declaration_text(m));
        out.put(" = ");
        out.fmt("        at 0x%hl (offset %l) ", e.address, m.value);
        expanded_value(e, out, depth + 1);
        if (!is_aggregate(e)) out.put("\n");
      }
    out.put("        }\n");
    return;
  }
  if (is_enum(v)) {
    const std::string_view name = DebugTables::enumerator_name(v.aggregate, v.ival);
    if (name != kEnumOutOfBounds) {
      out.put(name);
      return;
    }
  }
  if (is_pointer(v)) {
    if (v.ival == 0)
      out.put(" NULL");
    else
      print_int(out, view_pointer_format(v), v);
    return;
  }
  if (is_fract(v)) {
    out.put(fract_text(v));
    return;
  }
  if (is_floating(v)) {
    out.put(float_text(v.dval));
    return;
  }
  const char* format = has_derivation(v) ? nullptr : default_format(v.code(), settings_.default_int_format);
  if (!format) {
    out.put("(no format)");
    return;
  }
  print_int(out, format, v);
}

void ValueFormatter::put_expanded(const Value& v, const TextSink& out) {
  if (!v.valid) return;
  Value top = v;
  top.count = 0;
  budget_ = kShownMax;
  expanded_value(top, out, 0);
}

void ValueFormatter::compact_value(const Value& v, const TextSink& out, int depth) {
  if (is_array(v)) {
    const std::uint32_t n = std::min(v.words.empty() ? 0u : v.words.front(), kCountMax);
    for (std::uint32_t i = 0; i < n && spend(); ++i) {
      if (i > 0) out.put(" ");
      compact_value(element(v, i), out, depth + 1);
    }
    return;
  }
  if (is_struct_or_union(v)) {
    out.put(" {");
    if (v.aggregate && depth < kMaxNesting)
      for (const SymbolEntry& m : v.aggregate->members) {
        if (!spend()) break;
        out.put(m.name);
        out.put("=");
        compact_value(member(v, m), out, depth + 1);
        out.put(",");
      }
    out.put("}");
    return;
  }
  expanded_value(v, out, depth);
}

void ValueFormatter::put_compact(const Value& v, const TextSink& out) {
  if (!v.valid) return;
  out.put(v.name);
  out.put("=");
  Value top = v;
  top.count = 0;
  budget_ = kShownMax;
  compact_value(top, out, 0);
}

}  // namespace tav
