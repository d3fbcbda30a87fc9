#include "image/elf/type_system.h"

#include <cctype>
#include <cstdlib>

namespace tav::elf {

namespace b = x12::base;
using x12::Derivation;
using x12::Derive;

namespace {

struct BaseName {
  const char* name;
  std::uint8_t code;
};
constexpr BaseName kBaseNames[] = {
    {"_Bool", b::kBool},          {"signed char", b::kSignedChar},    {"char", b::kChar},
    {"unsigned char", b::kUnsignedChar},
    {"short", b::kShort},         {"short int", b::kShort},           {"signed short", b::kShort},
    {"unsigned short", b::kUnsignedShort},
    {"int", b::kInt},             {"signed int", b::kInt},            {"signed", b::kInt},
    {"unsigned int", b::kUnsignedInt}, {"unsigned", b::kUnsignedInt},
    {"long", b::kLong},           {"long int", b::kLong},             {"signed long", b::kLong},
    {"unsigned long", b::kUnsignedLong},
    {"float", b::kFloat},         {"double", b::kDouble},             {"long double", b::kLongDouble},
    {"short _Fract", b::kShortFract}, {"long _Fract", b::kLongFract},
    {"void", b::kVoid},           {"label", b::kLabel},
};

struct Parsed {
  std::vector<Derive> derivations;
  std::string base;
};

std::string normalise(const std::string& s) {
  std::string out;
  bool space = false;
  for (char c : s) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      space = !out.empty();
      continue;
    }
    if (space) out.push_back(' ');
    space = false;
    out.push_back(c);
  }
  return out;
}

std::uint32_t parse_number(const std::string& text, std::size_t& at, const std::string& whole) {
  const char* begin = text.c_str() + at;
  char* end = nullptr;
  unsigned long v = std::strtoul(begin, &end, 0);
  if (end == begin) throw SideError("bad number in type \"" + whole + "\"");
  at += static_cast<std::size_t>(end - begin);
  return static_cast<std::uint32_t>(v);
}

Parsed parse(const std::string& text) {
  Parsed p;
  std::size_t at = 0;
  auto skip = [&] { while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at; };
  for (skip(); at < text.size(); skip()) {
    char c = text[at];
    if (c == '*') {
      ++at;
      std::uint32_t attr = 0;
      if (at < text.size() && text[at] == '@') {
        ++at;
        attr = parse_number(text, at, text);
      }
      p.derivations.push_back({Derivation::kPointer, attr});
    } else if (c == '(') {
      skip();
      if (text.compare(at, 2, "()") != 0) throw SideError("expected \"()\" in type \"" + text + "\"");
      at += 2;
      p.derivations.push_back({Derivation::kFunction, 0});
    } else if (c == '[') {
      ++at;
      std::uint32_t n = parse_number(text, at, text);
      if (at >= text.size() || text[at] != ']') throw SideError("expected \"]\" in type \"" + text + "\"");
      ++at;
      p.derivations.push_back({Derivation::kArray, n});
    } else {
      break;
    }
  }
  p.base = normalise(text.substr(at));
  if (p.base.empty()) throw SideError("type \"" + text + "\" has no base type");
  return p;
}

std::uint8_t enum_code(const std::string& variant) {
  if (variant == "char") return b::kCharEnum;
  if (variant == "short") return b::kShortEnum;
  if (variant == "int") return b::kIntEnum;
  if (variant == "long") return b::kLongEnum;
  return b::kEnum;
}

std::uint8_t bit_field_code(std::uint8_t declared) {
  switch (declared) {
    case b::kSignedChar: case b::kChar: case b::kUnsignedChar: return b::kCharBitField;
    case b::kShort: case b::kUnsignedShort: return b::kShortBitField;
    case b::kInt: case b::kUnsignedInt: return b::kIntBitField;
    case b::kLong: case b::kUnsignedLong: return b::kLongBitField;
    default: return 0;
  }
}

}  // namespace

TypeText parse_type_text(const std::string& text) {
  Parsed p = parse(text);
  return {p.derivations, p.base};
}

std::uint32_t TypeSystem::base_size(std::uint8_t code) {
  switch (code) {
    case b::kBool: case b::kSignedChar: case b::kChar: case b::kUnsignedChar:
    case b::kCharBitField: case b::kCharEnum:
      return 1;
    case b::kShort: case b::kUnsignedShort: case b::kShortBitField: case b::kInt:
    case b::kIntBitField: case b::kUnsignedInt: case b::kShortFract: case b::kEnum:
    case b::kShortEnum: case b::kIntEnum:
      return 2;
    case b::kLong: case b::kUnsignedLong: case b::kLongBitField: case b::kFloat:
    case b::kLongFract: case b::kLongEnum:
      return 4;
    case b::kDouble: case b::kLongDouble:
      return 8;
    default:
      return 0;
  }
}

// Near pointers (16-bit local addresses) unless bit 6 marks a far pointer,
// which holds a 24-bit global address.
std::uint32_t TypeSystem::pointer_size(std::uint32_t attribute) { return (attribute & 0x40u) ? 3 : 2; }

TypeSystem::TypeSystem(const SideProgram& program) {
  for (const SideFile& f : program.files)
    for (const SideEntry& t : f.typedefs) {
      auto [it, fresh] = typedefs_.emplace(t.name, t.type);
      if (!fresh && normalise(it->second) != normalise(t.type))
        throw SideError("typedef " + t.name + " is defined twice with different types");
    }
  for (const SideAggregate& a : program.aggregates) {
    std::string key = normalise(a.key);
    if (!index_.emplace(key, aggregates_.size()).second) throw SideError("aggregate " + key + " is declared twice");
    x12::Aggregate agg;
    agg.tag = a.tag;
    aggregates_.push_back(agg);
    keys_.push_back(key);
    kinds_.push_back(a.kind);
    sides_.push_back(a);
    state_.push_back(0);
  }
  for (std::size_t i = 0; i < aggregates_.size(); ++i) lay_out(i, 0);
}

std::uint32_t TypeSystem::aggregate_size(std::size_t index, int depth) {
  if (state_[index] == 1) throw SideError(keys_[index] + " contains itself");
  if (state_[index] == 0) lay_out(index, depth + 1);
  return aggregates_[index].size;
}

Type TypeSystem::resolve(const std::string& text) { return resolve_depth(text, 0); }

Type TypeSystem::resolve_entry(const SideEntry& e) {
  Type t = resolve(e.type.empty() ? "int" : e.type);
  if (t.base_code == b::kBool && e.bit) {
    // The bit word is the first descriptor word of a _Bool.
    t.ref.descriptor.front() = x12::bool_word(*e.bit);
  }
  return t;
}

Type TypeSystem::resolve_depth(const std::string& text, int depth) {
  if (depth > 32) throw SideError("typedefs nest too deeply at \"" + text + "\"");
  Parsed p = parse(text);
  // Typedef names expand in place; their derivations go inside ours.
  if (auto td = typedefs_.find(p.base); td != typedefs_.end()) {
    std::string expanded;
    for (const Derive& d : p.derivations) {
      if (d.kind == Derivation::kPointer) expanded += "*@" + std::to_string(d.word) + " ";
      if (d.kind == Derivation::kFunction) expanded += "() ";
      if (d.kind == Derivation::kArray) expanded += "[" + std::to_string(d.word) + "] ";
    }
    return resolve_depth(expanded + td->second, depth + 1);
  }

  Type t;
  t.declared_base = p.base;
  int aggregate = -1;
  if (auto it = index_.find(p.base); it != index_.end()) {
    aggregate = static_cast<int>(it->second);
    t.base_code = kinds_[it->second] == "struct"  ? b::kStruct
                  : kinds_[it->second] == "union" ? b::kUnion
                                                   : enum_code(sides_[it->second].variant);
  } else {
    for (const BaseName& n : kBaseNames)
      if (p.base == n.name) t.base_code = n.code;
    if (t.base_code == 0) throw SideError("unknown type \"" + p.base + "\"");
  }
  if (p.derivations.size() > 12) throw SideError("type \"" + text + "\" has more than 12 derivations");
  std::optional<std::uint32_t> bit_word;
  if (t.base_code == b::kBool) bit_word = x12::bool_word(0);
  t.ref = x12::make_type(t.base_code, p.derivations, bit_word, aggregate);

  // Size from the outside in: a pointer ends the walk, arrays multiply.
  std::uint32_t factor = 1;
  bool done = false;
  for (const Derive& d : p.derivations) {
    if (d.kind == Derivation::kPointer) { t.size = factor * pointer_size(d.word); done = true; break; }
    if (d.kind == Derivation::kFunction) { t.size = 0; done = true; break; }
    factor *= d.word;
  }
  if (!done)
    t.size = factor * (aggregate >= 0 ? aggregate_size(static_cast<std::size_t>(aggregate), depth)
                                      : base_size(t.base_code));
  return t;
}

void TypeSystem::lay_out(std::size_t index, int depth) {
  if (state_[index] == 2) return;
  if (depth > 64) throw SideError("aggregates nest too deeply at " + keys_[index]);
  state_[index] = 1;
  const SideAggregate& a = sides_[index];
  x12::Aggregate out;
  out.tag = a.tag;
  std::string where = keys_[index];

  if (a.kind == "enum") {
    std::int64_t next = 0;
    for (const SideEntry& m : a.members) {
      std::int64_t v = m.value.value_or(next);
      next = v + 1;
      x12::Entry e;
      e.name = m.name;
      e.storage_class = m.storage_class.value_or(x12::sclass::kEnumMember);
      e.value = static_cast<std::uint32_t>(v);
      e.type = x12::make_type(b::kInt);
      out.members.push_back(e);
    }
    out.size = a.size.value_or(base_size(enum_code(a.variant)));
  } else {
    bool is_union = a.kind == "union";
    std::uint32_t end = 0;  // first free byte (struct) / largest member (union)
    struct Unit { std::uint32_t offset = 0, used = 0; std::uint8_t code = 0; bool open = false; } unit;
    for (const SideEntry& m : a.members) {
      Type t = resolve_entry(m);
      x12::Entry e;
      e.name = m.name;
      e.storage_class = m.storage_class.value_or(is_union ? 10 : 9);
      if (m.bits) {
        std::uint8_t code = bit_field_code(static_cast<std::uint8_t>(t.ref.type_word));
        if (code == 0 || (t.ref.type_word & 0xFFFFFF00u))
          throw SideError(where + "." + m.name + ": bit-fields need a plain integer type");
        unsigned width = *m.bits, unit_bits = t.size * 8;
        if (width > unit_bits) throw SideError(where + "." + m.name + ": bit-field wider than its type");
        if (m.offset && m.bit_offset) {  // placed by the compiler
          if (*m.bit_offset + width > unit_bits) throw SideError(where + "." + m.name + ": bit-field outside its unit");
          e.value = *m.offset;
          e.type = x12::make_type(code, {}, x12::bit_field_word(*m.bit_offset, width));
          end = is_union ? std::max(end, t.size) : std::max(end, *m.offset + t.size);
          unit.open = false;
          if (width) out.members.push_back(e);
          continue;
        }
        if (is_union) unit = {};
        // A unit holds bit-fields of one declared type only.
        if (!unit.open || unit.code != code || unit.used + width > unit_bits || width == 0) {
          unit.offset = is_union ? 0 : end;
          unit.code = code;
          unit.used = 0;
          unit.open = width != 0;
          end = is_union ? std::max(end, t.size) : end + t.size;
        }
        e.value = unit.offset;
        e.type = x12::make_type(code, {}, x12::bit_field_word(unit.used, width));
        unit.used += width;
        if (width == 0) continue;  // an unnamed zero-width field only closes the unit
      } else {
        unit.open = false;
        std::uint32_t offset = is_union ? 0 : m.offset.value_or(end);
        e.value = offset;
        e.type = t.ref;
        end = is_union ? std::max(end, t.size) : std::max(end, offset + t.size);
      }
      out.members.push_back(e);
    }
    out.size = a.size.value_or(end);
  }
  aggregates_[index] = std::move(out);
  state_[index] = 2;
}

}  // namespace tav::elf
