// The operators of C expressions over value descriptors: usual conversions,
// pointer arithmetic, member selection, indexing, casts and assignment.
#include <algorithm>

#include "expr/eval_context.h"
#include "support/messages.h"

namespace tav {

namespace {

Value failed(EvalContext& cx, int code) {
  cx.fail(code);
  Value v;
  v.valid = false;
  refresh_size(v);
  return v;
}

Value computed(std::uint32_t type) {
  Value v;
  make_computed(v, type);
  return v;
}

bool is_long_code(std::uint8_t c) {
  return c == kLong || c == kUnsignedLong || c == kLongBitField || c == kLongEnum || c == kLongFract;
}

// The type integral arithmetic results carry: long when either side is
// long, unsigned when an unsigned side decides; int otherwise.
std::uint32_t promoted(const Value& a, const Value& b) {
  const std::uint8_t x = a.code(), y = b.code();
  if (is_long_code(x) || is_long_code(y)) return (x == kUnsignedLong || y == kUnsignedLong) ? kUnsignedLong : kLong;
  auto unsigned_int = [](std::uint8_t c) { return c == kUnsignedInt || c == kUnsignedShort; };
  return (unsigned_int(x) || unsigned_int(y)) ? kUnsignedInt : kInt;
}

bool truth(const Value& v) { return is_floating(v) ? v.dval != 0 : v.ival != 0; }

Value int_result(std::uint32_t type, std::uint32_t bits) {
  Value r = computed(type);
  r.ival = static_cast<std::int32_t>(bits);
  return r;
}

Value bool_result(bool b) { return int_result(kInt, b ? 1u : 0u); }

// Size of what a pointer points to, as pointer arithmetic scales by it.
std::uint32_t target_size(Value p) {
  strip_top(p);
  return p.size == 0 ? 1 : p.size;
}

bool same_target(Value a, Value b) {
  strip_top(a);
  strip_top(b);
  return a.type == b.type && a.aggregate == b.aggregate;
}

bool is_comparison(int op) { return op == '<' || op == '>' || op == kOpLe || op == kOpGe || op == kOpEq || op == kOpNe; }

bool compare(int op, auto x, auto y) {
  switch (op) {
    case '<': return x < y;
    case '>': return x > y;
    case kOpLe: return x <= y;
    case kOpGe: return x >= y;
    case kOpEq: return x == y;
    default: return x != y;
  }
}

Value object_at(EvalContext& cx, Value v, std::uint32_t address) {
  v.kind = kValueObject;
  v.operand = kValueObject;
  v.home = Home::Memory;
  v.address = address & 0xFFFFFFu;
  v.count = 0;
  v.symbol.clear();
  v.ival = 0;
  v.dval = 0;
  cx.load(v);
  return v;
}

Value pointer_arith(EvalContext& cx, int op, const Value& a, const Value& b) {
  if (op == '+' || op == '-') {
    if (is_pointer(a) && is_pointer(b)) {
      if (op == '+' || !same_target(a, b)) return failed(cx, msg::illegal_type);
      const std::int64_t diff = static_cast<std::int32_t>(static_cast<std::uint32_t>(a.ival) - static_cast<std::uint32_t>(b.ival));
      return int_result(kInt, static_cast<std::uint32_t>(diff / static_cast<std::int64_t>(target_size(a))));
    }
    const Value& p = is_pointer(a) ? a : b;
    const Value& i = is_pointer(a) ? b : a;
    if (!is_integral(i) || (op == '-' && !is_pointer(a))) return failed(cx, msg::illegal_type);
    const std::uint32_t step = static_cast<std::uint32_t>(i.ival) * target_size(p);
    Value r = p;
    make_computed(r, p.type);
    r.words = p.words;
    r.aggregate = p.aggregate;
    r.special = p.special;
    r.coprocessor = p.coprocessor;
    refresh_size(r);
    r.ival = static_cast<std::int32_t>(op == '+' ? static_cast<std::uint32_t>(p.ival) + step
                                                 : static_cast<std::uint32_t>(p.ival) - step);
    return r;
  }
  if (is_comparison(op)) {
    const bool both = is_pointer(a) && is_pointer(b);
    if (both ? !same_target(a, b) : !(is_integral(a) || is_integral(b))) return failed(cx, msg::illegal_type);
    // Near pointers hold local addresses, far ones and functions global
    // ones: two pointers compare where they lead.
    if (both) return bool_result(compare(op, pointer_target(cx.env, a), pointer_target(cx.env, b)));
    return bool_result(compare(op, static_cast<std::uint32_t>(a.ival), static_cast<std::uint32_t>(b.ival)));
  }
  return failed(cx, msg::illegal_type);
}

Value floating_arith(EvalContext& cx, int op, const Value& a, const Value& b) {
  const double x = as_double(a), y = as_double(b);
  if (is_comparison(op)) return bool_result(compare(op, x, y));
  Value r = computed(kDouble);
  switch (op) {
    case '*': r.dval = x * y; break;
    case '+': r.dval = x + y; break;
    case '-': r.dval = x - y; break;
    case '/':
      if (y == 0) {
        if (cx.live()) return failed(cx, msg::zero_divide);
        r.dval = 0;
      } else {
        r.dval = x / y;
      }
      break;
    default: return failed(cx, msg::illegal_operator);
  }
  return r;
}

Value integral_arith(EvalContext& cx, int op, const Value& a, const Value& b) {
  const std::int32_t x = a.ival, y = b.ival;
  const std::uint32_t ux = static_cast<std::uint32_t>(x), uy = static_cast<std::uint32_t>(y);
  if (is_comparison(op)) return bool_result(compare(op, x, y));
  const std::uint32_t type = promoted(a, b);
  switch (op) {
    case '*': return int_result(type, ux * uy);
    case '+': return int_result(type, ux + uy);
    case '-': return int_result(type, ux - uy);
    case '/':
    case '%':
      if (y == 0) {
        if (cx.live()) return failed(cx, msg::zero_divide);
        return int_result(type, 0);
      }
      if (y == -1) return int_result(type, op == '/' ? 0u - ux : 0u);
      return int_result(type, static_cast<std::uint32_t>(op == '/' ? x / y : x % y));
    case kOpShl: return int_result(type, ux << (uy & 31u));
    case kOpShr: return int_result(type, static_cast<std::uint32_t>(x >> (uy & 31u)));
    case '&': return int_result(type, ux & uy);
    case '^': return int_result(type, ux ^ uy);
    case '|': return int_result(type, ux | uy);
    default: return failed(cx, msg::illegal_operator);
  }
}

}  // namespace

Value array_to_pointer(EvalContext& cx, Value v) {
  if (!is_array(v)) return v;
  const PointerValue pv = pointer_to(cx.env, v.address);
  Value r = v;
  strip_top(r);
  add_pointer(r, pv.attribute);
  r.kind = kValueComputed;
  r.operand = 0;
  r.home = Home::None;
  r.count = 0;
  r.ival = static_cast<std::int32_t>(pv.value);
  return r;
}

Value dereference(EvalContext& cx, Value v) {
  if (!v.valid) return v;
  if (is_pointer(v)) {
    const std::uint32_t address = pointer_target(cx.env, v);
    strip_top(v);
    return object_at(cx, std::move(v), address);
  }
  if (is_array(v)) {
    const std::uint32_t address = v.address;
    strip_top(v);
    return object_at(cx, std::move(v), address);
  }
  return failed(cx, msg::illegal_type);
}

Value unary_op(EvalContext& cx, int op, Value v) {
  if (!v.valid) return v;
  switch (op) {
    case '*': return dereference(cx, std::move(v));
    case '&': {
      if (v.home != Home::Memory || v.kind == kValueComputed) return failed(cx, msg::not_addressable);
      const PointerValue pv = pointer_to(cx.env, v.address);
      Value r = v;
      add_pointer(r, pv.attribute);
      r.kind = kValueComputed;
      r.operand = 0;
      r.home = Home::None;
      r.count = 0;
      r.address = 0;
      r.ival = static_cast<std::int32_t>(pv.value);
      r.dval = 0;
      return r;
    }
    case '!':
      if (!is_integral(v) && !is_pointer(v)) return failed(cx, msg::illegal_type);
      return bool_result(v.ival == 0);
    case '~':
      if (!is_integral(v)) return failed(cx, msg::illegal_type);
      return int_result(promoted(v, v), ~static_cast<std::uint32_t>(v.ival));
    default:  // '-' and '+'
      if (!is_arithmetic(v)) return failed(cx, msg::illegal_type);
      if (is_floating(v)) {
        Value r = computed(kDouble);
        r.dval = op == '-' ? -v.dval : v.dval;
        return r;
      }
      return int_result(promoted(v, v), op == '-' ? 0u - static_cast<std::uint32_t>(v.ival) : static_cast<std::uint32_t>(v.ival));
  }
}

Value binary_op(EvalContext& cx, int op, Value a, Value b) {
  if (!a.valid) return a;
  if (!b.valid) return b;
  a = array_to_pointer(cx, std::move(a));
  b = array_to_pointer(cx, std::move(b));
  if (!is_scalar(a) || !is_scalar(b)) return failed(cx, msg::illegal_type);
  if (op == kOpAndAnd) return bool_result(truth(a) && truth(b));
  if (op == kOpOrOr) return bool_result(truth(a) || truth(b));
  if (is_pointer(a) || is_pointer(b)) return pointer_arith(cx, op, a, b);
  if (is_floating(a) || is_floating(b)) return floating_arith(cx, op, a, b);
  return integral_arith(cx, op, a, b);
}

Value assign_op(EvalContext& cx, Value target, const Value& source_in) {
  if (!target.valid) return target;
  if (!source_in.valid) return source_in;
  if (!is_assignable(target)) return failed(cx, msg::not_updatable);
  const Value source = array_to_pointer(cx, source_in);
  if (!is_scalar(source)) return failed(cx, msg::illegal_type);
  if (cx.live()) {
    if (const int e = store_value(cx.env, target, source)) return failed(cx, e);
  } else if (is_floating(target)) {
    set_number(target, as_double(source));
  } else {
    set_number(target, as_int(source));
  }
  target.kind = kValueComputed;
  target.operand = 0;
  target.home = Home::None;
  target.count = 0;
  return target;
}

Value member_op(EvalContext& cx, Value v, const std::string& member, bool through_pointer) {
  if (!v.valid) return v;
  if (through_pointer) {
    if (!is_pointer(v) && !is_array(v)) return failed(cx, msg::illegal_type);
    v = dereference(cx, std::move(v));
    if (!v.valid) return v;
  }
  if (!is_struct_or_union(v) || v.home != Home::Memory) return failed(cx, msg::illegal_type);
  if (v.aggregate)
    for (const SymbolEntry& m : v.aggregate->members) {
      if (m.name != member) continue;
      Value r = typed_like(m);
      r.owner = v.owner;
      r.coprocessor = v.coprocessor;
      r.name = member;
      return object_at(cx, std::move(r), v.address + m.value);
    }
  cx.fail(msg::unknown_field, member);
  Value bad;
  bad.valid = false;
  return bad;
}

Value index_op(EvalContext& cx, Value base, const Value& index) {
  if (!base.valid) return base;
  if (!index.valid) return index;
  if (!is_integral(index)) return failed(cx, msg::illegal_type);
  if (is_array(base)) {
    Value element = base;
    strip_top(element);
    const std::uint32_t address = base.address + static_cast<std::uint32_t>(index.ival) * element.size;
    return object_at(cx, std::move(element), address);
  }
  if (is_pointer(base)) {
    const Value moved = pointer_arith(cx, '+', base, index);
    if (!moved.valid) return moved;
    const std::uint32_t address = pointer_target(cx.env, moved);
    Value element = base;
    strip_top(element);
    return object_at(cx, std::move(element), address);
  }
  return failed(cx, msg::illegal_type);
}

Value cast_op(EvalContext& cx, const Value& type, Value v) {
  if (!v.valid) return v;
  v = array_to_pointer(cx, std::move(v));
  if (is_aggregate(type) || is_function(type) || !is_scalar(v)) return failed(cx, msg::illegal_type);
  Value r = computed(type.type);
  r.words = type.words;
  r.aggregate = type.aggregate;
  r.special = type.special;
  r.coprocessor = v.coprocessor;
  refresh_size(r);
  if (is_floating(r))
    set_number(r, as_double(v));
  else if (is_pointer(r))
    r.ival = as_int(v);
  else if (!has_derivation(r) && r.code() == kVoid)
    r.ival = 0;
  else
    set_number(r, as_int(v));
  return r;
}

}  // namespace tav
