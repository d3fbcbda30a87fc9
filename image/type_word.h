// C types as the debug information describes them: the 32-bit type word, the
// base type table, storage classes and pointer attributes.
//
// A type word keeps the base type code in its low 8 bits and up to twelve
// derivations in 2-bit groups above it, read from the top (bits 31..30 first)
// until a group of 00: 01 pointer to, 10 function returning, 11 array of.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

namespace tav {

enum BaseCode : std::uint8_t {
  kBool = 0x01,
  kSignedChar = 0x08,
  kChar = 0x09,
  kUnsignedChar = 0x0A,
  kCharBitField = 0x0B,
  kShort = 0x10,
  kUnsignedShort = 0x11,
  kShortBitField = 0x12,
  kInt = 0x18,
  kBitField = 0x19,
  kUnsignedInt = 0x1A,
  kLong = 0x20,
  kUnsignedLong = 0x21,
  kLongBitField = 0x22,
  kFloat = 0x28,
  kDouble = 0x29,
  kLongDouble = 0x2A,
  kShortFract = 0x2C,
  kLongFract = 0x2D,
  kPointerTo = 0x40,
  kArrayOf = 0x41,
  kStruct = 0x48,
  kUnion = 0x49,
  kEnum = 0x4A,
  kCharEnum = 0x4B,
  kShortEnum = 0x4C,
  kIntEnum = 0x4D,
  kLongEnum = 0x4E,
  kVoid = 0x50,
  kLabelType = 0x58,
};

enum class Derivation : std::uint8_t { None = 0, Pointer = 1, Function = 2, Array = 3 };

constexpr std::uint8_t base_code(std::uint32_t type) { return static_cast<std::uint8_t>(type); }
constexpr Derivation top_derivation(std::uint32_t type) { return static_cast<Derivation>(type >> 30); }
constexpr bool is_pointer_type(std::uint32_t type) { return top_derivation(type) == Derivation::Pointer; }
constexpr bool is_function_type(std::uint32_t type) { return top_derivation(type) == Derivation::Function; }
constexpr bool is_array_type(std::uint32_t type) { return top_derivation(type) == Derivation::Array; }

// The type with its top derivation removed (an array's element type, a
// pointer's target, a function's return type).
constexpr std::uint32_t strip_derivation(std::uint32_t type) {
  return ((type & 0xFFFFFF00u) << 2) | (type & 0xFFu);
}
// The type with one more derivation on top; a thirteenth one is lost.
constexpr std::uint32_t add_derivation(std::uint32_t type, Derivation d) {
  return (static_cast<std::uint32_t>(d) << 30) | (((type & 0xFFFFFF00u) >> 2) & 0xFFFFFF00u) | (type & 0xFFu);
}

// Derivation groups from the top until the first 00 group.
int derivation_count(std::uint32_t type);
int pointer_count(std::uint32_t type);
// Descriptor words the derivations use: one per pointer and per array.
int derivation_word_count(std::uint32_t type);

constexpr bool is_bitfield_code(std::uint8_t c) {
  return c == kCharBitField || c == kBitField || c == kShortBitField || c == kLongBitField;
}
constexpr bool is_aggregate_code(std::uint8_t c) { return c >= kStruct && c <= kLongEnum; }  // has a member list
constexpr bool is_struct_or_union_code(std::uint8_t c) { return c == kStruct || c == kUnion; }
constexpr bool is_enum_code(std::uint8_t c) { return c >= kEnum && c <= kLongEnum; }
constexpr bool is_unsigned_code(std::uint8_t c) {
  return c == kUnsignedChar || c == kUnsignedShort || c == kUnsignedInt || c == kUnsignedLong;
}

struct BaseTypeInfo {
  std::uint8_t code;
  const char* name;      // as printed in declarations
  std::uint8_t size;     // bytes; pointers, arrays and aggregates are sized elsewhere
  std::uint8_t position; // row of the value formatter's per-type tables
};

// The table in its fixed order; null when the code is not a known base type.
std::span<const BaseTypeInfo> base_types();
const BaseTypeInfo* find_base_type(std::uint8_t code);

// Storage classes (the byte after a name in the debug information).
enum StorageClass : std::uint8_t {
  kClassStatic = 1,
  kClassArgument = 2,
  kClassAuto = 3,
  kClassRegister = 4,
  kClassRegisterArgument = 5,
  kClassExtern = 6,
  kClassRegisterPassed = 7,
  kClassAbsolute = 8,
  kClassEnumMember = 12,
  kClassTypedef = 17,
  kClassLabel = 18,
  kClassGlobal = 19,  // a global label
};

// The word that prints a storage class ("static ", "argument ", ...; "" when none).
std::string_view storage_class_word(std::uint8_t cls);
// Classes 2, 5, 7, 20..24 (arguments) and 14, 15 (static arguments).
bool is_argument_class(std::uint8_t cls);
// Classes 4, 5, 20, 21, 22: the function keeps variables in registers.
bool is_register_class(std::uint8_t cls);
// Classes 5, 21, 22 carry a primary value after the class byte.
constexpr bool has_secondary_value(std::uint8_t cls) { return cls == 5 || cls == 21 || cls == 22; }

// Pointer attributes. Bit 6 marks a far (global) pointer; otherwise bits 12..13
// give the kind: 01 page zero, 11 far, anything else near. An attribute with
// bit 15 set was translated through its unit's pointer-attribute table.
std::uint32_t pointer_reach(std::uint16_t attribute);  // highest address it can reach
std::uint32_t pointer_size(std::uint16_t attribute);    // bytes needed for that address
// Translation of a stored attribute through a unit's 16-word table.
std::uint16_t translate_pointer_attribute(std::uint16_t stored, std::span<const std::uint32_t, 16> table);

}  // namespace tav
