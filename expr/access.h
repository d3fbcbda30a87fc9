// Typed reads and writes of values in the simulated target: where a variable
// lives (by storage class and frame), how each C type is laid out in memory
// and registers, and how pointer values map to target addresses.
#pragma once
#include <cstdint>

#include "expr/expr_env.h"
#include "expr/frames.h"
#include "expr/value.h"

namespace tav {

struct Placement {
  Home home = Home::None;
  std::uint32_t address = 0;  // global address, or register code
};

// Where a variable lives. `frame` is the frame of its function (null: none,
// the frame base counts as 0).
Placement place_entry(const ExprEnv& env, const SymbolEntry& entry, const Frame* frame);

// Classes whose objects are held in registers.
bool is_register_home_class(std::uint8_t storage_class);

// A descriptor for a variable: its type, home and (when `load`) its value.
Value entry_value(ExprEnv& env, const SymbolEntry& entry, const Frame* frame, bool load);

// Reads the object's current value according to its type and home.
// Arrays, functions, structs, unions and labels take their address as value.
void load_value(ExprEnv& env, Value& v);

// Writes `source` converted to the type of `target`; on success `target`'s
// value becomes the value written. Returns 0 or an error number (61 when the
// target cannot be assigned).
int store_value(ExprEnv& env, Value& target, const Value& source);

// True when the descriptor names something that an assignment can change.
bool is_assignable(const Value& v);

// The global address a pointer value designates (near pointers hold local addresses).
std::uint32_t pointer_target(const ExprEnv& env, const Value& pointer);
// A pointer value for a global address: near (a local address) when the
// address is reachable through the current page registers, else far.
struct PointerValue {
  std::uint32_t value;
  std::uint16_t attribute;
};
PointerValue pointer_to(const ExprEnv& env, std::uint32_t global);

// Raw bytes of a double / float in the target's big-endian IEEE layout.
double read_double(Memory& memory, std::uint32_t address);
void write_double(Memory& memory, std::uint32_t address, double d);

}  // namespace tav
