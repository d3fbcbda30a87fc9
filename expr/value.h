// The value descriptor: what the evaluator knows about one operand or result
// of a C expression (its type, where it lives, whether it can be assigned and
// its current value), and the type questions asked about descriptors.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "image/debug_tables.h"
#include "image/type_word.h"

namespace tav {

// How a value was obtained. Variables carry their storage class (1..24)
// instead; the kinds below lie outside the storage classes' use.
enum ValueKind : std::uint8_t {
  kValueComputed = 0,       // cannot be assigned
  kValueObject = 1,         // a target object at an address
  kValueRegisterName = 13,  // a register named with '$'
  kValueCycleCounter = 25,  // $time, $xtime
  kValueDebugVar = 26,      // .name
  kValueSymbol = 27,        // a program symbol's value (its address)
};

// Where a value's bits live.
enum class Home : std::uint8_t {
  None,      // a computed value, an enumerator, a symbol's value
  Memory,    // target memory at `address`
  Register,  // the register whose code is `address`
  Counter,   // the kernel variable `.time` or `.xtime`
  DebugVar,  // the kernel variable named by `symbol`
};

struct Value {
  const FunctionBlock* owner = nullptr;  // owning function (locals)
  std::uint8_t kind = kValueComputed;
  std::uint8_t coprocessor = 0;          // belongs to an XGATE unit
  std::uint16_t pointer_attr = 0;        // attribute of the top pointer; bit 15: from the descriptor words
  std::uint32_t size = 0;                // bytes of the type
  std::uint32_t type = kInt;             // type word
  std::uint32_t address = 0;             // global address, or register code
  std::uint32_t secondary = 0;
  std::string name;                      // the expression's text (results) or the variable's name
  std::vector<std::uint32_t> words;      // derivation words still to consume, top first
  std::uint32_t special = 0;             // bit-field description (offset << 8 | width) or _Bool bit
  const AggregateRecord* aggregate = nullptr;  // struct, union or enum member list
  std::int32_t ival = 0;                 // integral value (pointers: the address value)
  double dval = 0;                       // float, double, long double
  std::uint32_t count = 0;               // display count from [i#n] / [#]; 0 when absent
  std::uint8_t operand = 0;              // storage class, 0 computed, 1 reached through * [] . ->
  Home home = Home::None;
  std::string symbol;                    // kernel variable behind a debugger variable or counter
  bool valid = true;                     // false once an error made the value meaningless

  std::uint8_t code() const { return base_code(type); }
};

// Type questions (on the type word and its words).
bool has_derivation(const Value& v);
bool is_pointer(const Value& v);
bool is_array(const Value& v);
bool is_function(const Value& v);
bool is_struct_or_union(const Value& v);  // without derivation
bool is_floating(const Value& v);         // float, double, long double
bool is_enum(const Value& v);
bool is_integral(const Value& v);          // integers, bit-fields, _Bool, enums, _Fract, labels
bool is_arithmetic(const Value& v);        // integral or floating
bool is_scalar(const Value& v);            // arithmetic or pointer
bool is_aggregate(const Value& v);         // array, struct or union
bool is_char_code(std::uint8_t code);      // char, signed char, unsigned char, char bit-field
bool is_floating_code(std::uint8_t code);

// Size of a type from its type word, derivation words and aggregate.
std::uint32_t value_type_size(std::uint32_t type, const std::vector<std::uint32_t>& words,
                              const AggregateRecord* aggregate);
void refresh_size(Value& v);  // recomputes v.size and v.pointer_attr from the type

// The highest address a pointer of this attribute reaches (near pointers hold local addresses).
std::uint32_t pointer_reach_of(const Value& v);

// The type after removing its top derivation (pointer target, array element,
// function result); consumes the derivation's word. Returns false when the
// type has no derivation.
bool strip_top(Value& v);
// Adds a pointer derivation on top with the given attribute word.
void add_pointer(Value& v, std::uint16_t attribute);

// The value's number as a double / as a 32-bit integer.
double as_double(const Value& v);
std::int32_t as_int(const Value& v);

// A double narrowed to float the IEEE way: values beyond its range become infinities.
float to_float(double d);

// Sets the value of a descriptor: floats in dval, everything else in ival.
void set_number(Value& v, double d);
void set_number(Value& v, std::int32_t i);

// Turns a value into a computed one of the given base type (no derivation).
void make_computed(Value& v, std::uint32_t type);

// Converts an integral value to the width and signedness of its type
// (char and short types, 16-bit int, bit-fields, _Bool).
std::int32_t normalize_int(std::uint32_t type, std::uint32_t special, std::uint32_t raw);

// A descriptor for a symbol entry's type (no home, no value).
Value typed_like(const SymbolEntry& e);

}  // namespace tav
