// The formatting engine. Arguments are flattened into 32-bit slots first, so
// that every conversion consumes exactly the slots its type occupies and a
// mismatched argument only yields odd output, never a bad memory access.
#include "support/fmt.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "support/numconv.h"

namespace tav {
namespace {

enum class SlotKind : std::uint8_t { Bits, Text, Run };

struct Slot {
  const void* ptr;     // text or byte run for pointer slots
  std::uint32_t bits;  // the slot's 32 bits; 0 for pointer slots
  std::uint16_t cap;   // bytes readable at ptr for a byte run
  SlotKind kind;
};

// Slot storage on the stack for the usual short argument lists.
constexpr std::size_t kInlineSlots = 24;

class SlotList {
 public:
  SlotList(const FmtArg* args, std::size_t count) {
    std::size_t need = 0;
    for (std::size_t i = 0; i < count; ++i)
      need += (args[i].kind() == FmtArg::Double || args[i].kind() == FmtArg::Run) ? 2 : 1;
    if (need > kInlineSlots) {
      heap_.resize(need);
      slots_ = heap_.data();
    }
    for (std::size_t i = 0; i < count; ++i) add(args[i]);
  }

  std::uint32_t take_bits() {
    const Slot* s = next();
    return s ? s->bits : 0;
  }

  std::uint16_t take16() { return static_cast<std::uint16_t>(take_bits()); }

  double take_double() {
    // Low word first, as a double is laid out in memory.
    const std::uint64_t lo = take_bits();
    const std::uint64_t hi = take_bits();
    const std::uint64_t raw = lo | (hi << 32);
    double d;
    std::memcpy(&d, &raw, sizeof d);
    return d;
  }

  const char* take_text() {
    const Slot* s = next();
    return (s && s->kind == SlotKind::Text) ? static_cast<const char*>(s->ptr) : "";
  }

  // A pointer slot and a 16-bit length slot; the count is kept within what
  // the pointer really refers to.
  std::string_view take_run() {
    const Slot* s = next();
    const std::uint16_t length = take16();
    if (s == nullptr || s->ptr == nullptr) return {};
    const char* data = static_cast<const char*>(s->ptr);
    if (s->kind == SlotKind::Run) return {data, std::min<std::size_t>(length, s->cap)};
    if (s->kind == SlotKind::Text) return {data, strnlen(data, length)};
    return {};
  }

 private:
  const Slot* next() { return next_ < size_ ? &slots_[next_++] : nullptr; }

  void push(const void* ptr, std::uint32_t bits, std::uint16_t cap, SlotKind kind) {
    slots_[size_++] = Slot{ptr, bits, cap, kind};
  }

  void add(const FmtArg& a) {
    switch (a.kind()) {
      case FmtArg::Int:
        push(nullptr, a.u(), 0, SlotKind::Bits);
        break;
      case FmtArg::Double: {
        const double d = a.d();
        std::uint64_t raw;
        std::memcpy(&raw, &d, sizeof raw);
        push(nullptr, static_cast<std::uint32_t>(raw), 0, SlotKind::Bits);
        push(nullptr, static_cast<std::uint32_t>(raw >> 32), 0, SlotKind::Bits);
        break;
      }
      case FmtArg::Text:
        push(a.s(), 0, 0, SlotKind::Text);
        break;
      case FmtArg::Run:
        push(a.b().data, 0, a.b().size, SlotKind::Run);
        push(nullptr, a.b().size, 0, SlotKind::Bits);
        break;
    }
  }

  Slot inline_[kInlineSlots];
  std::vector<Slot> heap_;
  Slot* slots_ = inline_;
  std::size_t size_ = 0;
  std::size_t next_ = 0;
};

struct Directive {
  bool left = false;
  char fill = ' ';
  unsigned width = 0;
  unsigned precision = 0;
  char modifier = 0;
};

int modifier_base(char modifier) {
  switch (modifier) {
    case 'h': return 16;
    case 'o': return 8;
    case 'u': return 10;
    case 'z': return 2;
    default: return -10;  // none or 'a': signed decimal
  }
}

bool is_modifier(char c) { return c == 'h' || c == 'o' || c == 'u' || c == 'z' || c == 'a'; }

// Decimal digits, or 'n'/'N' for the low 16 bits of the next slot.
unsigned read_count(std::string_view f, std::size_t& i, SlotList& slots) {
  if (i < f.size() && (f[i] == 'n' || f[i] == 'N')) {
    ++i;
    return slots.take16();
  }
  unsigned value = 0;
  while (i < f.size() && f[i] >= '0' && f[i] <= '9') {
    value = std::min(value * 10 + static_cast<unsigned>(f[i] - '0'), 0xffffu);
    ++i;
  }
  return value;
}

void emit_padded(EmitFn emit, void* ctx, const Directive& d, const char* data, std::size_t length) {
  const std::size_t pad = d.width > length ? d.width - length : 0;
  if (!d.left)
    for (std::size_t k = 0; k < pad; ++k) emit(ctx, &d.fill, 1);
  if (length > 0) emit(ctx, data, length);
  if (d.left)
    for (std::size_t k = 0; k < pad; ++k) emit(ctx, &d.fill, 1);
}

// Integer conversions c, s, i/l: `bytes` is the argument's size.
std::size_t convert_integer(char* buf, const Directive& d, int bytes, std::uint32_t value) {
  if (d.modifier == 'a') {
    for (int k = 0; k < bytes; ++k) buf[k] = static_cast<char>(value >> (8 * (bytes - 1 - k)));
    return static_cast<std::size_t>(bytes);
  }
  const int base = modifier_base(d.modifier);
  if (bytes == 1) {
    // A character: 16-bit signed in signed decimal, its low byte otherwise.
    if (base < 0) return static_cast<std::size_t>(numtext16(buf, static_cast<std::uint16_t>(value), base));
    return static_cast<std::size_t>(numtext32(buf, value & 0xffu, base));
  }
  if (bytes == 2) return static_cast<std::size_t>(numtext16(buf, static_cast<std::uint16_t>(value), base));
  return static_cast<std::size_t>(numtext32(buf, value, base));
}

struct BufferSink {
  char* buffer;
  std::size_t capacity;
  std::size_t count;
};

void emit_to_buffer(void* ctx, const char* bytes, std::size_t n) {
  auto* sink = static_cast<BufferSink*>(ctx);
  const std::size_t room = sink->capacity - sink->count;
  const std::size_t take = n < room ? n : room;
  if (take > 0) {
    std::memcpy(sink->buffer + sink->count, bytes, take);
    sink->count += take;
  }
}

void emit_to_string(void* ctx, const char* bytes, std::size_t n) { static_cast<std::string*>(ctx)->append(bytes, n); }

}  // namespace

void fmtout_list(EmitFn emit, void* ctx, std::string_view f, const FmtArg* args, std::size_t count) {
  SlotList slots(args, count);
  char buf[kDblTextMax];
  std::size_t i = 0;
  while (i < f.size()) {
    const std::size_t start = i;
    while (i < f.size() && f[i] != '%') ++i;
    if (i > start) emit(ctx, f.data() + start, i - start);
    if (i >= f.size()) break;
    ++i;  // the '%'

    Directive d;
    if (i < f.size() && (f[i] == '-' || f[i] == '+')) {
      d.left = f[i] == '-';
      if (++i >= f.size()) break;
      d.fill = f[i++];
    }
    d.width = read_count(f, i, slots);
    if (i < f.size() && f[i] == '.') {
      ++i;
      d.precision = read_count(f, i, slots);
    }
    if (i < f.size() && is_modifier(f[i])) d.modifier = f[i++];

    char conversion = i < f.size() ? f[i] : '\0';
    const bool known = conversion != '\0' && std::strchr("csilfdpbx", conversion) != nullptr;
    if (!known) {
      if (d.modifier == 0) {
        // Not a directive after all: the character stands for itself.
        if (i < f.size()) emit(ctx, f.data() + i++, 1);
        continue;
      }
      // The modifier letter ends the directive: a 32-bit value in its base.
      conversion = 'l';
    } else {
      ++i;
    }

    const char* data = buf;
    std::size_t length = 0;
    switch (conversion) {
      case 'c': length = convert_integer(buf, d, 1, slots.take16()); break;
      case 's': length = convert_integer(buf, d, 2, slots.take16()); break;
      case 'i':
      case 'l': length = convert_integer(buf, d, 4, slots.take_bits()); break;
      case 'f': {
        const int decimals = static_cast<int>(std::min<unsigned>(d.precision, kDblFixedDigitsMax));
        length = static_cast<std::size_t>(dblfixed(buf, slots.take_double(), kDblFixedDigitsMax - decimals, decimals));
        break;
      }
      case 'd': {
        const int decimals = static_cast<int>(std::min<unsigned>(d.precision, kDblExpDecimalsMax));
        length = static_cast<std::size_t>(dblexp(buf, slots.take_double(), 1, decimals));
        break;
      }
      case 'p': {
        data = slots.take_text();
        length = d.precision > 0 ? strnlen(data, d.precision) : std::strlen(data);
        break;
      }
      case 'b': {
        const std::string_view run = slots.take_run();
        data = run.data();
        length = d.precision > 0 ? std::min<std::size_t>(run.size(), d.precision) : run.size();
        break;
      }
      default: break;  // 'x': an empty field, padding only
    }
    emit_padded(emit, ctx, d, data, length);
  }
}

std::size_t fmtbuf_list(char* buffer, std::size_t capacity, std::string_view format, const FmtArg* args,
                        std::size_t count) {
  BufferSink sink{buffer, capacity, 0};
  fmtout_list(emit_to_buffer, &sink, format, args, count);
  return sink.count;
}

std::string fmtstr_list(std::string_view format, const FmtArg* args, std::size_t count) {
  std::string out;
  fmtout_list(emit_to_string, &out, format, args, count);
  return out;
}

}  // namespace tav
