#include "expr/access.h"

#include <bit>
#include <cstring>

#include "image/symbol_table.h"
#include "sim/memory.h"
#include "sim/registers.h"
#include "support/messages.h"

namespace tav {

namespace {

bool xgate_owner(const SymbolEntry& e) {
  return e.coprocessor != 0 || (e.owner && FrameStacks::is_xgate_unit(*e.owner));
}

// An XGATE local address seen from the global map, through the XGATE
// support library's translation (its RAM above 0x8000, its flash below).
std::uint32_t xgate_global(const ExprEnv& env, std::uint32_t base) {
  return env.registers.xgate_to_global(base & 0xFFFFu);
}

std::uint32_t cpu_frame_address(const ExprEnv& env, std::uint32_t local) {
  return env.memory.LocalToGlobal(static_cast<std::uint16_t>(local));
}

std::uint16_t xgate_r7(const ExprEnv& env) {
  const std::uint32_t at = kXgateR0Addr + 14;
  return static_cast<std::uint16_t>(env.memory.peek(at) << 8 | env.memory.peek(at + 1));
}

std::uint32_t width_mask(std::uint32_t width) { return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1u; }

std::uint32_t read_sized(Memory& m, std::uint32_t address, std::uint32_t size) {
  std::uint32_t v = 0;
  for (std::uint32_t i = 0; i < size && i < 4; ++i) v = v << 8 | m.ReadByte(address + i);
  return v;
}

void write_sized(Memory& m, std::uint32_t address, std::uint32_t size, std::uint32_t value) {
  for (std::uint32_t i = size < 4 ? size : 4; i-- > 0;) {
    m.WriteByte(address + i, static_cast<std::uint8_t>(value));
    value >>= 8;
  }
}

// Bytes of the container a bit-field lives in.
std::uint32_t bitfield_container(std::uint8_t code) {
  switch (code) {
    case kCharBitField: return 1;
    case kLongBitField: return 4;
    default: return 2;
  }
}

std::uint32_t read_raw_memory(ExprEnv& env, const Value& v) {
  Memory& m = env.memory;
  const std::uint32_t a = v.address;
  if (is_pointer(v)) return read_sized(m, a, v.size);
  const std::uint8_t code = v.code();
  if (code == kBool) return (m.ReadByte(a) >> (v.special & 7u)) & 1u;
  if (is_bitfield_code(code)) {
    const std::uint32_t container = read_sized(m, a, bitfield_container(code));
    return (container >> ((v.special >> 8) & 0x1Fu)) & width_mask(v.special & 0xFFu);
  }
  switch (code) {
    case kChar:
    case kSignedChar:
    case kUnsignedChar:
    case kCharEnum: return m.ReadByte(a);
    case kShort:
    case kUnsignedShort:
    case kShortFract:
    case kShortEnum:
    case kInt:
    case kUnsignedInt:
    case kEnum:
    case kIntEnum: return m.ReadWord(a);
    default: return m.ReadLong(a);
  }
}

std::uint32_t read_raw_register(ExprEnv& env, const Value& v) {
  const std::uint32_t r = env.registers.ReadRegister(static_cast<int>(v.address));
  const std::uint8_t code = v.code();
  if (!has_derivation(v) && is_bitfield_code(code)) return (r >> ((v.special >> 8) & 0x1Fu)) & width_mask(v.special & 0xFFu);
  return r;
}

std::uint32_t kernel_value(const ExprEnv& env, const std::string& name) {
  const ProgramSymbol* s = env.symbols.rensym(name);
  return s ? s->value() : 0;
}

void set_kernel_value(ExprEnv& env, const std::string& name, std::uint32_t value) {
  if (ProgramSymbol* s = env.symbols.rensym(name))
    s->set_value(value);
  else
    env.symbols.define_symbol(name, value);
}

}  // namespace

bool is_register_home_class(std::uint8_t c) {
  return c == 4 || c == 5 || c == 15 || c == 23 || (c >= 20 && c <= 24);
}

Placement place_entry(const ExprEnv& env, const SymbolEntry& e, const Frame* frame) {
  const std::uint8_t c = e.storage_class;
  switch (c) {
    case 1:
    case 6:
    case 8:
    case 18:
    case 19: return {Home::Memory, e.value};
    case 12: return {Home::None, 0};
    default: break;
  }
  if (c == 23 || (c == 7 && !env.register_args_on_stack))
    return {Home::Register, static_cast<std::uint32_t>(base_code(e.type) < 0x10 && top_derivation(e.type) == Derivation::None ? REG_B : REG_D)};
  if (is_register_home_class(c)) return {Home::Register, e.value};

  const std::uint32_t base = frame ? frame->base : 0;
  const bool xgate = xgate_owner(e);
  const bool argument = c == 2;
  const bool plus = e.owner && e.owner->start && (e.owner->start->flags & kRecPlus);
  if (xgate) {
    std::uint32_t a;
    if (c == 3)
      a = xgate_global(env, xgate_r7(env)) - e.value;
    else if (argument)
      a = xgate_global(env, base) + e.value + 2 - (plus ? 2u : 0u);
    else if (c == 7)
      a = xgate_global(env, base) + e.value;
    else
      a = xgate_global(env, base);
    return {Home::Memory, a & 0xFFFFFFu};
  }
  std::uint32_t local;
  if (argument)
    local = base + e.value + 2;
  else if (c == 3)
    local = base - e.value;
  else if (c == 7)
    local = base + e.value;
  else
    local = base;
  return {Home::Memory, cpu_frame_address(env, local)};
}

Value entry_value(ExprEnv& env, const SymbolEntry& e, const Frame* frame, bool load) {
  Value v = typed_like(e);
  const Placement p = place_entry(env, e, frame);
  v.home = p.home;
  v.address = p.address;
  if (e.storage_class == 12) {
    v.ival = static_cast<std::int32_t>(e.value);
    return v;
  }
  if (load) load_value(env, v);
  return v;
}

void load_value(ExprEnv& env, Value& v) {
  if (is_array(v) || is_function(v) || is_struct_or_union(v) || (!has_derivation(v) && v.code() == kLabelType)) {
    v.ival = static_cast<std::int32_t>(v.address);
    return;
  }
  if (!has_derivation(v) && v.code() == kVoid) {
    v.ival = 0;
    return;
  }
  std::uint32_t raw = 0;
  switch (v.home) {
    case Home::None: return;  // computed values, enumerators and symbols carry their value
    case Home::Memory:
      if (is_floating(v)) {
        if (v.code() == kFloat)
          v.dval = static_cast<double>(std::bit_cast<float>(env.memory.ReadLong(v.address)));
        else
          v.dval = read_double(env.memory, v.address);
        return;
      }
      raw = read_raw_memory(env, v);
      break;
    case Home::Register: raw = read_raw_register(env, v); break;
    case Home::Counter:
    case Home::DebugVar: raw = kernel_value(env, v.symbol); break;
  }
  if (is_floating(v)) {
    v.dval = v.code() == kFloat ? static_cast<double>(std::bit_cast<float>(raw)) : static_cast<double>(raw);
    return;
  }
  if (!has_derivation(v) && v.code() == kBool && v.home == Home::Register) raw = raw != 0;
  v.ival = has_derivation(v) ? static_cast<std::int32_t>(raw) : normalize_int(v.type, v.special, raw);
}

bool is_assignable(const Value& v) {
  if (!v.valid || v.home == Home::None) return false;
  if (is_aggregate(v) || is_function(v)) return false;
  if (!has_derivation(v) && (v.code() == kLabelType || v.code() == kVoid)) return false;
  return v.kind != kValueComputed && v.kind != kValueSymbol && v.kind != 12;
}

int store_value(ExprEnv& env, Value& t, const Value& source) {
  if (!is_assignable(t)) return msg::not_updatable;
  // The value in the target's type.
  if (is_floating(t))
    set_number(t, as_double(source));
  else
    set_number(t, as_int(source));

  Memory& m = env.memory;
  const std::uint32_t bits = static_cast<std::uint32_t>(t.ival);
  switch (t.home) {
    case Home::None: return msg::not_updatable;
    case Home::Counter:
    case Home::DebugVar: set_kernel_value(env, t.symbol, is_floating(t) ? static_cast<std::uint32_t>(as_int(t)) : bits); break;
    case Home::Register: {
      const int code = static_cast<int>(t.address);
      std::uint32_t value = is_floating(t) ? std::bit_cast<std::uint32_t>(to_float(t.dval)) : bits;
      if (!has_derivation(t) && is_bitfield_code(t.code())) {
        const std::uint32_t shift = (t.special >> 8) & 0x1Fu;
        const std::uint32_t mask = width_mask(t.special & 0xFFu) << shift;
        value = (env.registers.ReadRegister(code) & ~mask) | ((value << shift) & mask);
      }
      env.registers.WriteRegister(code, value);
      if ((code == REG_PC || code == REG_PPC) && env.pc_changed) env.pc_changed();
      break;
    }
    case Home::Memory: {
      const std::uint32_t a = t.address;
      if (is_pointer(t)) {
        write_sized(m, a, t.size, bits);
        break;
      }
      const std::uint8_t code = t.code();
      if (code == kBool) {
        const std::uint8_t bit = static_cast<std::uint8_t>(1u << (t.special & 7u));
        const std::uint8_t old = m.ReadByte(a);
        m.WriteByte(a, static_cast<std::uint8_t>(bits ? (old | bit) : (old & ~bit)));
        break;
      }
      if (is_bitfield_code(code)) {
        const std::uint32_t size = bitfield_container(code);
        const std::uint32_t shift = (t.special >> 8) & 0x1Fu;
        const std::uint32_t mask = width_mask(t.special & 0xFFu) << shift;
        const std::uint32_t old = read_sized(m, a, size);
        write_sized(m, a, size, (old & ~mask) | ((bits << shift) & mask));
        break;
      }
      if (code == kFloat) {
        m.WriteLong(a, std::bit_cast<std::uint32_t>(to_float(t.dval)));
        break;
      }
      if (code == kDouble || code == kLongDouble) {
        write_double(m, a, t.dval);
        break;
      }
      write_sized(m, a, t.size, bits);
      break;
    }
  }
  return 0;
}

std::uint32_t pointer_target(const ExprEnv& env, const Value& p) {
  const std::uint32_t value = static_cast<std::uint32_t>(p.ival);
  if (pointer_reach_of(p) > 0xFFFFu) return value & 0xFFFFFFu;
  if (p.coprocessor) return env.registers.xgate_to_global(value & 0xFFFFu);
  return env.memory.LocalToGlobal(static_cast<std::uint16_t>(value));
}

PointerValue pointer_to(const ExprEnv& env, std::uint32_t global) {
  constexpr std::uint16_t kFarAttribute = 0x3000;  // reaches the whole global space
  const std::uint16_t local = Memory::GlobalToLocal(global);
  if (env.memory.LocalToGlobal(local) == global) return {local, 0};
  return {global, kFarAttribute};
}

double read_double(Memory& m, std::uint32_t a) {
  const std::uint64_t bits = std::uint64_t{m.ReadLong(a)} << 32 | m.ReadLong(a + 4);
  return std::bit_cast<double>(bits);
}

void write_double(Memory& m, std::uint32_t a, double d) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(d);
  m.WriteLong(a, static_cast<std::uint32_t>(bits >> 32));
  m.WriteLong(a + 4, static_cast<std::uint32_t>(bits));
}

}  // namespace tav
