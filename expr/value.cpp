#include "expr/value.h"

#include <cfloat>
#include <limits>

namespace tav {

namespace {

std::int32_t sign_extend(std::uint32_t raw, int bits) {
  const std::uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u;
  const std::uint32_t sign = 1u << (bits - 1);
  raw &= mask;
  return static_cast<std::int32_t>((raw ^ sign) - sign);
}

std::uint32_t width_mask(std::uint32_t width) { return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1u; }

}  // namespace

bool has_derivation(const Value& v) { return top_derivation(v.type) != Derivation::None; }
bool is_pointer(const Value& v) { return is_pointer_type(v.type); }
bool is_array(const Value& v) { return is_array_type(v.type); }
bool is_function(const Value& v) { return is_function_type(v.type); }
bool is_struct_or_union(const Value& v) { return !has_derivation(v) && is_struct_or_union_code(v.code()); }
bool is_floating_code(std::uint8_t c) { return c == kFloat || c == kDouble || c == kLongDouble; }
bool is_floating(const Value& v) { return !has_derivation(v) && is_floating_code(v.code()); }
bool is_enum(const Value& v) { return !has_derivation(v) && is_enum_code(v.code()); }
bool is_char_code(std::uint8_t c) { return c == kChar || c == kSignedChar || c == kUnsignedChar || c == kCharBitField; }

bool is_integral(const Value& v) {
  if (has_derivation(v)) return false;
  const std::uint8_t c = v.code();
  return (c >= kBool && c <= kLongBitField) || c == kShortFract || c == kLongFract || is_enum_code(c) ||
         c == kLabelType;
}

bool is_arithmetic(const Value& v) { return is_integral(v) || is_floating(v); }
bool is_scalar(const Value& v) { return is_arithmetic(v) || is_pointer(v); }
bool is_aggregate(const Value& v) { return is_array(v) || is_struct_or_union(v); }

std::uint32_t value_type_size(std::uint32_t type, const std::vector<std::uint32_t>& words,
                              const AggregateRecord* aggregate) {
  return type_size(type, std::span<const std::uint32_t>(words.data(), words.size()), aggregate);
}

void refresh_size(Value& v) {
  v.size = value_type_size(v.type, v.words, v.aggregate);
  v.pointer_attr = is_pointer(v) && !v.words.empty() ? static_cast<std::uint16_t>(v.words.front()) : 0;
}

std::uint32_t pointer_reach_of(const Value& v) {
  return pointer_reach(is_pointer(v) && !v.words.empty() ? static_cast<std::uint16_t>(v.words.front()) : 0);
}

bool strip_top(Value& v) {
  const Derivation d = top_derivation(v.type);
  if (d == Derivation::None) return false;
  if (d != Derivation::Function && !v.words.empty()) v.words.erase(v.words.begin());
  v.type = strip_derivation(v.type);
  refresh_size(v);
  return true;
}

void add_pointer(Value& v, std::uint16_t attribute) {
  v.type = add_derivation(v.type, Derivation::Pointer);
  v.words.insert(v.words.begin(), attribute);
  refresh_size(v);
}

double as_double(const Value& v) {
  if (is_floating(v)) return v.dval;
  if (!has_derivation(v) && is_unsigned_code(v.code())) return static_cast<double>(static_cast<std::uint32_t>(v.ival));
  return static_cast<double>(v.ival);
}

std::int32_t as_int(const Value& v) {
  if (!is_floating(v)) return v.ival;
  const double d = v.dval;
  // Out-of-range conversions keep to the 32-bit pattern instead of trapping.
  if (!(d == d)) return 0;
  if (d >= 2147483648.0) return d < 4294967296.0 ? static_cast<std::int32_t>(static_cast<std::uint32_t>(d)) : INT32_MAX;
  if (d <= -2147483649.0) return INT32_MIN;
  return static_cast<std::int32_t>(d);
}

float to_float(double d) {
  if (d > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (d < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(d);
}

void set_number(Value& v, double d) {
  if (is_floating(v)) {
    v.dval = v.code() == kFloat ? static_cast<double>(to_float(d)) : d;
    v.ival = 0;
  } else {
    Value tmp;
    tmp.type = kDouble;
    tmp.dval = d;
    set_number(v, as_int(tmp));
  }
}

void set_number(Value& v, std::int32_t i) {
  if (is_floating(v)) {
    v.dval = static_cast<double>(i);
    v.ival = 0;
  } else {
    v.ival = has_derivation(v) ? i : normalize_int(v.type, v.special, static_cast<std::uint32_t>(i));
    v.dval = 0;
  }
}

void make_computed(Value& v, std::uint32_t type) {
  v.type = type;
  v.words.clear();
  v.aggregate = nullptr;
  v.special = 0;
  v.kind = kValueComputed;
  v.operand = 0;
  v.home = Home::None;
  v.address = 0;
  v.owner = nullptr;
  v.count = 0;
  v.symbol.clear();
  refresh_size(v);
}

std::int32_t normalize_int(std::uint32_t type, std::uint32_t special, std::uint32_t raw) {
  if (top_derivation(type) != Derivation::None) return static_cast<std::int32_t>(raw);
  switch (base_code(type)) {
    case kBool: return raw != 0 ? 1 : 0;
    case kChar:
    case kSignedChar: return sign_extend(raw, 8);
    case kUnsignedChar:
    case kCharEnum: return static_cast<std::int32_t>(raw & 0xFFu);
    case kShort:
    case kInt:
    case kShortFract:
    case kEnum:
    case kShortEnum:
    case kIntEnum: return sign_extend(raw, 16);
    case kUnsignedShort:
    case kUnsignedInt: return static_cast<std::int32_t>(raw & 0xFFFFu);
    case kCharBitField:
    case kShortBitField:
    case kBitField:
    case kLongBitField: return static_cast<std::int32_t>(raw & width_mask(special & 0xFFu));
    default: return static_cast<std::int32_t>(raw);
  }
}

Value typed_like(const SymbolEntry& e) {
  Value v;
  v.owner = e.owner;
  v.coprocessor = e.coprocessor;
  v.type = e.type;
  auto words = e.derivation_words();
  v.words.assign(words.begin(), words.end());
  v.special = e.special;
  v.aggregate = e.aggregate;
  v.secondary = e.secondary;
  v.name = std::string(e.name);
  v.operand = e.storage_class;
  v.kind = e.storage_class;
  refresh_size(v);
  return v;
}

}  // namespace tav
