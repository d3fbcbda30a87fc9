#include "expr/type_names.h"

#include <array>

namespace tav {

namespace {

constexpr std::array<std::string_view, 16> kKeywords = {
    "void", "_Bool", "char", "short", "int",    "long",     "signed", "unsigned",
    "float", "double", "_Fract", "struct", "union", "enum", "const", "volatile",
};

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::string base_text(std::uint8_t code, const AggregateRecord* aggregate) {
  const BaseTypeInfo* info = find_base_type(code);
  std::string out = info ? std::string(trimmed(info->name)) : std::string("?");
  if (out.empty()) out = "bit-field";
  if (is_aggregate_code(code) && aggregate && !aggregate->tag.empty()) {
    out += ' ';
    out.append(aggregate->tag);
  }
  return out;
}

// The declarator around `name` for the derivations of `type`, top first.
std::string declarator(std::uint32_t type, std::span<const std::uint32_t> words, std::string decl) {
  std::size_t w = 0;
  for (int i = 0; i < 12; ++i) {
    const Derivation d = top_derivation(type);
    if (d == Derivation::None) break;
    if (d == Derivation::Pointer) {
      decl = "*" + decl;
      ++w;
    } else {
      if (!decl.empty() && decl.front() == '*') decl = "(" + decl + ")";
      if (d == Derivation::Array) {
        decl += "[" + std::to_string(w < words.size() ? words[w] : 0) + "]";
        ++w;
      } else {
        decl += "()";
      }
    }
    type = strip_derivation(type);
  }
  return decl;
}

bool referenced_as(const std::vector<SymbolEntry>& entries, const AggregateRecord* a, std::uint8_t* code, int depth);

bool referenced_in_function(const FunctionBlock* f, const AggregateRecord* a, std::uint8_t* code) {
  if (f->result.aggregate == a) {
    *code = base_code(f->result.type);
    return true;
  }
  return referenced_as(f->locals, a, code, 0);
}

bool referenced_as(const std::vector<SymbolEntry>& entries, const AggregateRecord* a, std::uint8_t* code, int depth) {
  for (const SymbolEntry& e : entries) {
    if (!e.aggregate) continue;
    if (e.aggregate == a) {
      *code = base_code(e.type);
      return true;
    }
    if (depth < 8 && e.aggregate != a && referenced_as(e.aggregate->members, a, code, depth + 1)) return true;
  }
  return false;
}

// The base code that entries of an aggregate carry; 0 when none refers to it.
std::uint8_t code_of(const DebugTables& tables, const AggregateRecord* a) {
  std::uint8_t code = 0;
  for (const FileEntry* f : tables.files())
    for (const FunctionBlock* fn : f->functions)
      if (referenced_in_function(fn, a, &code)) return code;
  return 0;
}

}  // namespace

bool is_type_keyword(std::string_view word) {
  for (std::string_view k : kKeywords)
    if (k == word) return true;
  return false;
}

std::uint8_t base_from_keywords(const std::vector<std::string>& words) {
  int is_signed = 0, is_unsigned = 0, n_char = 0, n_short = 0, n_int = 0, n_long = 0;
  int n_float = 0, n_double = 0, n_void = 0, n_bool = 0, n_fract = 0;
  for (const std::string& w : words) {
    if (w == "signed") ++is_signed;
    else if (w == "unsigned") ++is_unsigned;
    else if (w == "char") ++n_char;
    else if (w == "short") ++n_short;
    else if (w == "int") ++n_int;
    else if (w == "long") ++n_long;
    else if (w == "float") ++n_float;
    else if (w == "double") ++n_double;
    else if (w == "void") ++n_void;
    else if (w == "_Bool") ++n_bool;
    else if (w == "_Fract") ++n_fract;
    else if (w == "const" || w == "volatile") continue;
    else return 0;
  }
  const int sign = is_signed + is_unsigned;
  const int kinds = n_char + n_float + n_double + n_void + n_bool + n_fract;
  if ((is_signed && is_unsigned) || n_char > 1 || n_short > 1 || n_int > 1 || n_long > 2 || kinds > 1) return 0;
  if (n_short && n_long) return 0;
  if (n_void) return (sign || n_short || n_int || n_long) ? 0 : kVoid;
  if (n_bool) return (sign || n_short || n_int || n_long) ? 0 : kBool;
  if (n_float) return (sign || n_short || n_int || n_long) ? 0 : kFloat;
  if (n_double) return (sign || n_short || n_int || n_long > 1) ? 0 : (n_long ? kLongDouble : kDouble);
  if (n_fract) return (sign || n_int || n_long > 1) ? 0 : (n_long ? kLongFract : kShortFract);
  if (n_char) return (n_short || n_int || n_long) ? 0 : (is_unsigned ? kUnsignedChar : is_signed ? kSignedChar : kChar);
  if (n_short) return is_unsigned ? kUnsignedShort : kShort;
  if (n_long) return is_unsigned ? kUnsignedLong : kLong;
  if (n_int || sign) return is_unsigned ? kUnsignedInt : kInt;
  return 0;
}

const SymbolEntry* find_typedef(const DebugTables& tables, const FunctionBlock* scope, std::string_view name) {
  if (scope)
    for (const SymbolEntry& e : scope->locals)
      if (e.storage_class == kClassTypedef && e.name == name) return &e;
  for (const FileEntry* f : tables.files())
    if (const FunctionBlock* top = f->file_block())
      for (const SymbolEntry& e : top->locals)
        if (e.storage_class == kClassTypedef && e.name == name) return &e;
  return nullptr;
}

const AggregateRecord* find_tag(const DebugTables& tables, std::string_view keyword, std::string_view tag,
                                std::uint8_t* code) {
  for (const auto& a : tables.aggregates()) {
    if (a->tag != tag) continue;
    std::uint8_t c = code_of(tables, a.get());
    if (c == 0) {
      // Nothing refers to it: enumerator lists tell enums apart.
      const bool enum_like = !a->members.empty() && a->members.front().storage_class == kClassEnumMember;
      c = enum_like ? kEnum : keyword == "union" ? kUnion : kStruct;
    }
    const bool match = keyword == "struct" ? c == kStruct : keyword == "union" ? c == kUnion : is_enum_code(c);
    if (match) {
      *code = c;
      return a.get();
    }
  }
  return nullptr;
}

std::string type_text(std::uint32_t type, const AggregateRecord* aggregate) {
  std::string decl = declarator(type, {}, "");
  std::string out = base_text(base_code(type), aggregate);
  if (!decl.empty()) out += " " + decl;
  return out;
}

std::string declaration_text(const SymbolEntry& e) {
  return base_text(base_code(e.type), e.aggregate) + " " + declarator(e.type, e.derivation_words(), std::string(e.name));
}

}  // namespace tav
