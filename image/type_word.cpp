#include "image/type_word.h"

#include <array>

namespace tav {

namespace {

constexpr std::array<BaseTypeInfo, 30> kBaseTypes = {{
    {kBool, "_Bool", 1, 0},
    {kSignedChar, "signed char", 1, 1},
    {kChar, "char", 1, 2},
    {kUnsignedChar, "unsigned char", 1, 3},
    {kCharBitField, "char bit-field", 1, 4},
    {kShort, "short", 2, 5},
    {kUnsignedShort, "unsigned short", 2, 6},
    {kShortBitField, "", 2, 7},
    {kInt, "int", 2, 8},
    {kBitField, "bit-field", 2, 9},
    {kUnsignedInt, "unsigned int", 2, 10},
    {kLong, "long", 4, 11},
    {kUnsignedLong, "unsigned long", 4, 12},
    {kLongBitField, "", 4, 13},
    {kFloat, "float", 4, 14},
    {kDouble, "double", 8, 15},
    {kLongDouble, "long double", 8, 16},
    {kShortFract, "short _Fract", 2, 17},
    {kLongFract, "long _Fract", 4, 18},
    {kPointerTo, "pointer to", 2, 19},
    {kArrayOf, "array", 0, 20},
    {kStruct, "struct", 0, 21},
    {kUnion, "union", 0, 22},
    {kEnum, "enum", 2, 23},
    {kCharEnum, "(char) enum ", 1, 24},
    {kShortEnum, "(short) enum ", 2, 25},
    {kIntEnum, "(int) enum", 2, 26},
    {kLongEnum, "(long) enum", 4, 27},
    {kVoid, "void", 0, 28},
    {kLabelType, "label ", 0, 29},
}};

// Direct index by code for the lookups the loader does per entry.
struct CodeIndex {
  std::array<std::int8_t, 256> row{};
  constexpr CodeIndex() {
    for (auto& r : row) r = -1;
    for (std::size_t i = 0; i < kBaseTypes.size(); ++i) row[kBaseTypes[i].code] = static_cast<std::int8_t>(i);
  }
};
constexpr CodeIndex kIndex{};

constexpr std::string_view kClassWords[25] = {
    "",                  // 0
    "static ",           // 1
    "argument ",         // 2
    "auto ",             // 3
    "register ",         // 4
    "register ",         // 5
    "extern ",           // 6
    "argument ",         // 7
    "absolute ",         // 8
    "", "", "",          // 9, 10, 11
    "enum member ",      // 12
    "",                  // 13
    "static argument ",  // 14
    "static argument ",  // 15
    "static auto ",      // 16
    "typedef ",          // 17
    "local ",            // 18
    "global ",           // 19
    "argument ", "argument ", "argument ", "argument ", "argument ",  // 20..24
};

}  // namespace

int derivation_count(std::uint32_t type) {
  int n = 0;
  for (; n < 12 && top_derivation(type) != Derivation::None; ++n) type = strip_derivation(type);
  return n;
}

int pointer_count(std::uint32_t type) {
  int n = 0;
  for (int i = 0; i < 12 && top_derivation(type) != Derivation::None; ++i, type = strip_derivation(type))
    if (top_derivation(type) == Derivation::Pointer) ++n;
  return n;
}

int derivation_word_count(std::uint32_t type) {
  int n = 0;
  for (int i = 0; i < 12 && top_derivation(type) != Derivation::None; ++i, type = strip_derivation(type))
    if (top_derivation(type) != Derivation::Function) ++n;
  return n;
}

std::span<const BaseTypeInfo> base_types() { return kBaseTypes; }

const BaseTypeInfo* find_base_type(std::uint8_t code) {
  const int row = kIndex.row[code];
  return row < 0 ? nullptr : &kBaseTypes[static_cast<std::size_t>(row)];
}

std::string_view storage_class_word(std::uint8_t cls) { return cls < 25 ? kClassWords[cls] : std::string_view(); }

bool is_argument_class(std::uint8_t cls) {
  return cls == 2 || cls == 5 || cls == 7 || cls == 14 || cls == 15 || (cls >= 20 && cls <= 24);
}

bool is_register_class(std::uint8_t cls) { return cls == 4 || cls == 5 || (cls >= 20 && cls <= 22); }

std::uint32_t pointer_reach(std::uint16_t attribute) {
  constexpr std::uint32_t kFar = 0x7FFFFF;  // the S12X global address space
  if (attribute & 0x40u) return kFar;
  switch ((attribute >> 12) & 3u) {
    case 1:
      return 0xFF;
    case 3:
      return kFar;
    default:
      return 0xFFFF;
  }
}

std::uint32_t pointer_size(std::uint16_t attribute) {
  const std::uint32_t reach = pointer_reach(attribute);
  if (reach <= 0xFF) return 1;
  if (reach <= 0xFFFF) return 2;
  if (reach <= 0xFFFFFF) return 3;
  return 4;
}

std::uint16_t translate_pointer_attribute(std::uint16_t stored, std::span<const std::uint32_t, 16> table) {
  // Bits 12..13: 10 becomes 00, 11 becomes 10 before the table is applied.
  if ((stored & 0x3000u) == 0x2000u)
    stored = static_cast<std::uint16_t>(stored & ~0x2000u);
  else if ((stored & 0x3000u) == 0x3000u)
    stored = static_cast<std::uint16_t>(stored & ~0x1000u);
  std::uint32_t out = 0x8000u;
  for (int k = 0; k < 16; ++k)
    if (stored & (1u << (15 - k))) out |= table[static_cast<std::size_t>(k)] & 0xFFFFu;
  return static_cast<std::uint16_t>(out);
}

}  // namespace tav
