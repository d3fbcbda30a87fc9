// One line of CPU12 assembler text to bytes: the operand form picks the
// opcode table entry of the mnemonic, and the bytes go out in the order the
// decoder reads them.
#include "disasm/asm_line.h"

#include <cctype>
#include <string>

#include "sim/opcode_lookup.h"
#include "support/messages.h"
#include "support/numconv.h"

namespace tav {

namespace {

constexpr std::size_t kWordMax = 64;

bool blank(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 1 && u <= 32) || u == 127;
}
const char* skip(const char* p) {
  while (blank(*p)) ++p;
  return p;
}
bool word_char(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$' || c == '~' || c == '@';
}
char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Reads a word of at most 64 characters, lower-cased into `out`.
const char* read_word(const char* p, std::string& out) {
  out.clear();
  while (word_char(*p) && out.size() < kWordMax) out += *p++;
  return p;
}

std::string lowered(std::string s) {
  for (char& c : s) c = lower(c);
  return s;
}

// The index register named at `p` (x, y, sp or s, pc): 0..3, or -1.
int index_register(const char*& p) {
  std::string w;
  const char* end = read_word(p, w);
  w = lowered(w);
  int rr = -1;
  if (w == "x") rr = 0;
  else if (w == "y") rr = 1;
  else if (w == "sp" || w == "s") rr = 2;
  else if (w == "pc") rr = 3;
  if (rr >= 0) p = end;
  return rr;
}

// Register fields of the exg/tfr/sex and loop postbytes.
constexpr int kFieldCcr = 2;
constexpr int kFieldCcrw = 3;
constexpr int kFieldCcrh = 8;  // exg only: the ccr field with postbyte bit 3
constexpr int kFieldPc = -2;

int register_field(const std::string& name) {
  static constexpr const char* names[] = {"a", "b", "ccr", "ccrw", "d", "x", "y", "sp"};
  for (int i = 0; i < 8; ++i)
    if (name == names[i]) return i;
  if (name == "s") return 7;
  if (name == "ccrh") return kFieldCcrh;
  if (name == "pc") return kFieldPc;
  return -1;
}

Mn find_mnemonic(const std::string& name) {
  for (int i = 1; i < kMnemonicCount; ++i)
    if (name == kMnemonicNames[i]) return static_cast<Mn>(i);
  return Mn::none;
}

const OpcodeEntry* first_entry(Mn m) {
  for (const OpcodeEntry& e : kOpcodeTable)
    if (e.mnemonic == m) return &e;
  return nullptr;
}

enum class Form { Imm, Dir, Ext, Idx };

struct Operand {
  Form form = Form::Ext;
  std::uint32_t value = 0;
  unsigned width = 0;          // operand bytes after the opcode (indexed: after the postbyte)
  std::uint8_t postbyte = 0;   // indexed forms
  bool indirect = false;       // [n,r] and [d,r]
  bool plain = false;          // a bare value: direct or extended by its size
};

std::uint32_t mode_of(Form f) {
  switch (f) {
    case Form::Imm: return opd::IMM;
    case Form::Dir: return opd::DIR;
    case Form::Ext: return opd::EXT;
    case Form::Idx: break;
  }
  return opd::IDX;
}

class Assembler {
 public:
  Assembler(Memory& m, std::uint32_t address, const char*& cursor, const AsmHooks& hooks)
      : memory_(m), address_(address), p_(cursor), hooks_(hooks) {}

  unsigned run() {
    std::string word;
    p_ = read_word(skip(p_), word);
    if (*p_ == ':') {
      if (hooks_.define_label) hooks_.define_label(word, address_);
      p_ = read_word(skip(p_ + 1), word);
      if (word.empty() && *skip(p_) == '\0') return 0;
    }
    mnemonic_ = find_mnemonic(lowered(word));
    const OpcodeEntry* first = mnemonic_ == Mn::none ? nullptr : first_entry(mnemonic_);
    if (!first) return fail(msg::illegal_instruction);
    const std::uint32_t mode = opd::mode(first->operand);
    if (first->handler != Handler::Moves && mode == opd::REG)
      return is_loop_entry(*first) ? loop(*first) : transfer(*first);
    if (first->handler != Handler::Moves && mode <= opd::INHY) {
      if (opd::relative(first->operand)) return branch(*first);
      opcode(*first);
      return written_;
    }
    return general(*first);
  }

 private:
  unsigned fail(int number) {
    if (hooks_.error) hooks_.error(number);
    return 0;
  }
  void emit(std::uint8_t b) { memory_.WriteByte(address_ + written_++, b); }
  void emit_value(std::uint32_t v, unsigned width) {
    if (width == 2) emit(static_cast<std::uint8_t>(v >> 8));
    if (width >= 1) emit(static_cast<std::uint8_t>(v));
  }
  void opcode(const OpcodeEntry& e) {
    if (e.page == 2) emit(kPage2Prefix);
    emit(e.opcode);
  }

  bool value(std::uint32_t& v) {
    p_ = skip(p_);
    int error = 0;
    const bool ok = hooks_.evaluate ? hooks_.evaluate(p_, v, error) : asm_number(p_, v, error);
    if (!ok) fail(error ? error : msg::syntax_error);
    return ok;
  }
  void optional_comma() {
    p_ = skip(p_);
    if (*p_ == ',') p_ = skip(p_ + 1);
  }

  // Branch offset of `width` bytes to `target`, measured from the end of the
  // instruction (whose last bytes are this offset).
  bool relative(std::uint32_t target, unsigned width, std::int32_t low, std::int32_t high, std::int32_t& offset) {
    const std::int64_t after = std::int64_t{address_} + written_ + width;
    const std::int64_t d = std::int64_t{target} - after;
    if (d < low || d > high) {
      fail(msg::offset_too_large);
      return false;
    }
    offset = static_cast<std::int32_t>(d);
    return true;
  }

  unsigned branch(const OpcodeEntry& e) {
    opcode(e);
    return relative_tail(e);
  }

  // The offset byte(s) that end a relative instruction: short, or long behind the prefix.
  unsigned relative_tail(const OpcodeEntry& e) {
    optional_comma();
    std::uint32_t target = 0;
    if (!value(target)) return 0;
    const bool wide = e.page == 2 && opd::mode(e.operand) == opd::INH;
    std::int32_t offset = 0;
    if (wide ? !relative(target, 2, -32768, 32767, offset) : !relative(target, 1, -128, 127, offset)) return 0;
    emit_value(static_cast<std::uint32_t>(offset), wide ? 2 : 1);
    return written_;
  }

  std::string register_word() {
    std::string w;
    p_ = read_word(skip(p_), w);
    return lowered(w);
  }

  unsigned transfer(const OpcodeEntry& e) {
    const int source = register_field(register_word());
    p_ = skip(p_);
    if (*p_ != ',') return fail(msg::syntax_error);
    ++p_;
    const int destination = register_field(register_word());
    if (source < 0 || destination < 0) return fail(msg::incompatible_registers);
    const bool exg = mnemonic_ == Mn::exg;
    if (!exg && (source == kFieldCcrh || destination == kFieldCcrh)) return fail(msg::incompatible_registers);
    auto field = [](int f) { return f == kFieldCcrh ? kFieldCcr : f; };
    std::uint8_t postbyte = static_cast<std::uint8_t>(field(source) << 4 | field(destination));
    if (exg) postbyte |= 0x80;
    if (source == kFieldCcrh || destination == kFieldCcrh) postbyte |= 0x08;
    opcode(e);
    emit(postbyte);
    return written_;
  }

  unsigned loop(const OpcodeEntry& e) {
    const int field = register_field(register_word());
    if (field < 0 || field == kFieldCcr || field == kFieldCcrw || field == kFieldCcrh)
      return fail(msg::incompatible_registers);
    optional_comma();
    std::uint32_t target = 0;
    if (!value(target)) return 0;
    static constexpr struct {
      Mn mnemonic;
      std::uint8_t kind;
    } kinds[] = {{Mn::dbeq, 0x00}, {Mn::dbne, 0x20}, {Mn::tbeq, 0x40},
                 {Mn::tbne, 0x60}, {Mn::ibeq, 0x80}, {Mn::ibne, 0xA0}};
    std::uint8_t kind = 0;
    for (const auto& k : kinds)
      if (k.mnemonic == mnemonic_) kind = k.kind;
    std::int32_t offset = 0;
    written_ = 2;  // opcode and postbyte come first; the offset's low byte ends the instruction
    const bool ok = relative(target, 1, -256, 255, offset);
    written_ = 0;
    if (!ok) return 0;
    opcode(e);
    emit(static_cast<std::uint8_t>(kind | field | (offset < 0 ? 0x10 : 0)));
    emit(static_cast<std::uint8_t>(offset));
    return written_;
  }

  // "[d,r]" and "[n,r]".
  bool bracket(Operand& o) {
    p_ = skip(p_ + 1);
    o.form = Form::Idx;
    o.indirect = true;
    const char* q = p_;
    if (lower(*q) == 'd' && !word_char(q[1]) && *skip(q + 1) == ',') {
      p_ = skip(skip(q + 1) + 1);
      const int rr = index_register(p_);
      if (rr < 0) return fail(msg::incorrect_index_register), false;
      o.postbyte = static_cast<std::uint8_t>(0xE7 | rr << 3);
    } else {
      std::uint32_t n = 0;
      if (!value(n)) return false;
      p_ = skip(p_);
      if (*p_ != ',') return fail(msg::incorrect_addressing_mode), false;
      p_ = skip(p_ + 1);
      if (*p_ == '+' || *p_ == '-') return fail(msg::incorrect_addressing_mode), false;
      const int rr = index_register(p_);
      if (rr < 0) return fail(msg::incorrect_index_register), false;
      o.postbyte = static_cast<std::uint8_t>(0xE3 | rr << 3);
      o.value = n & 0xFFFF;
      o.width = 2;
    }
    p_ = skip(p_);
    if (*p_ == '+' || *p_ == '-') return fail(msg::incorrect_addressing_mode), false;
    if (*p_ != ']') return fail(msg::syntax_error), false;
    ++p_;
    return true;
  }

  // The register after "n," or "a,": pre or post increment/decrement, or plain.
  struct IndexText {
    int rr = -1;
    char pre = 0, post = 0;
  };
  static IndexText index_text(const char*& p) {
    IndexText t;
    const char* q = skip(p);
    if (*q == '+' || *q == '-') {
      const char* r = q + 1;
      const int rr = index_register(r);
      if (rr < 0) return t;
      t = {rr, *q, 0};
      p = r;
      return t;
    }
    const int rr = index_register(q);
    if (rr < 0) return t;
    t.rr = rr;
    if (*q == '+' || *q == '-') t.post = *q++;
    p = q;
    return t;
  }

  bool operand(Operand& o, bool move) {
    p_ = skip(p_);
    if (*p_ == '#') {
      ++p_;
      o.form = Form::Imm;
      return value(o.value);
    }
    if (*p_ == '<') {
      ++p_;
      o.form = Form::Dir;
      o.width = 1;
      if (!value(o.value)) return false;
      if (o.value >= 256) return fail(msg::value_too_large), false;
      return true;
    }
    if (*p_ == '[') return bracket(o);
    // "a,r", "b,r", "d,r": accumulator offsets.
    const char acc = lower(*p_);
    if ((acc == 'a' || acc == 'b' || acc == 'd') && !word_char(p_[1]) && *skip(p_ + 1) == ',') {
      const char* q = skip(p_ + 1) + 1;
      const IndexText t = index_text(q);
      if (t.rr >= 0) {
        p_ = q;
        if (t.pre || t.post) return fail(msg::incorrect_addressing_mode), false;
        o.form = Form::Idx;
        o.postbyte = static_cast<std::uint8_t>((acc == 'a' ? 0xE4 : acc == 'b' ? 0xE5 : 0xE6) | t.rr << 3);
        return true;
      }
    }
    std::uint32_t n = 0;
    if (!value(n)) return false;
    const char* q = skip(p_);
    if (*q == ',') {
      const char* r = q + 1;
      const IndexText t = index_text(r);
      if (t.rr >= 0) {
        p_ = r;
        o.form = Form::Idx;
        return indexed(o, static_cast<std::int32_t>(n), t);
      }
    }
    // A bare value; what follows a comma is the next operand.
    o.plain = true;
    o.value = n;
    o.form = move || n >= 256 ? Form::Ext : Form::Dir;
    o.width = o.form == Form::Ext ? 2 : 1;
    return true;
  }

  bool indexed(Operand& o, std::int32_t n, const IndexText& t) {
    if (t.pre || t.post) {
      if (t.rr == 3) return fail(msg::incorrect_index_register), false;
      if (n < 1 || n > 8) return fail(msg::value_too_large), false;
      const bool increment = (t.pre ? t.pre : t.post) == '+';
      const std::uint8_t amount = static_cast<std::uint8_t>(increment ? n - 1 : (-n) & 0x0F);
      o.postbyte = static_cast<std::uint8_t>((t.pre ? 0x20 : 0x30) | t.rr << 6 | amount);
      return true;
    }
    if (n < -256 || n > 255) {
      o.postbyte = static_cast<std::uint8_t>(0xE2 | t.rr << 3);
      o.value = static_cast<std::uint32_t>(n) & 0xFFFF;
      o.width = 2;
    } else if (n < -16 || n > 15) {
      o.postbyte = static_cast<std::uint8_t>(0xE0 | t.rr << 3 | (n < 0 ? 1 : 0));
      o.value = static_cast<std::uint32_t>(n) & 0xFF;
      o.width = 1;
    } else {
      o.postbyte = static_cast<std::uint8_t>(t.rr << 6 | (n & 0x1F));
    }
    return true;
  }

  void operand_bytes(const Operand& o) {
    if (o.form == Form::Idx) emit(o.postbyte);
    emit_value(o.value, o.width);
  }

  // The entry of the mnemonic for the operand form(s); a bare value below 256
  // falls back to extended where the instruction has no direct form.
  const OpcodeEntry* choose(Operand& src, Operand* dst) {
    auto match = [&](Form s) -> const OpcodeEntry* {
      for (const OpcodeEntry& e : kOpcodeTable) {
        if (e.mnemonic != mnemonic_) continue;
        if (dst) {
          if (e.handler == Handler::Moves && e.operand == opd::MOVE(mode_of(s), mode_of(dst->form))) return &e;
        } else if (opd::mode(e.operand) == mode_of(s)) {
          return &e;
        }
      }
      return nullptr;
    };
    const OpcodeEntry* e = match(src.form);
    if (!e && src.plain && src.form == Form::Dir) {
      src.form = Form::Ext;
      src.width = 2;
      e = match(Form::Ext);
    }
    return e;
  }

  unsigned general(const OpcodeEntry& first) {
    const bool move = first.handler == Handler::Moves;
    Operand src, dst;
    if (!operand(src, move)) return 0;
    if (src.form == Form::Imm) {
      const bool byte = mnemonic_ == Mn::movb ||
                        (!move && !opd::is_16bit_register(opd::own_register(first.operand)));
      const auto v = static_cast<std::int32_t>(src.value);
      if (byte && (v < -128 || v > 255)) return fail(msg::value_too_large);
      src.width = byte ? 1 : 2;
      src.value &= byte ? 0xFF : 0xFFFF;
    }
    if (move) {
      p_ = skip(p_);
      if (*p_ != ',') return fail(msg::syntax_error);
      ++p_;
      if (!operand(dst, true)) return 0;
      if (dst.form == Form::Imm) return fail(msg::uncompatible_addressing_mode);
    }
    const OpcodeEntry* e = choose(src, move ? &dst : nullptr);
    if (!e) return fail(msg::uncompatible_addressing_mode);
    opcode(*e);
    if (move) {
      // The decoder reads an indexed destination before an immediate or extended source.
      if (dst.form == Form::Idx && src.form != Form::Idx) {
        operand_bytes(dst);
        operand_bytes(src);
      } else {
        operand_bytes(src);
        operand_bytes(dst);
      }
      return written_;
    }
    operand_bytes(src);
    if (opd::reg_field(e->operand) == opd::MASK) {
      if (mnemonic_ == Mn::call) {
        if (!src.indirect) {
          optional_comma();
          std::uint32_t page = 0;
          if (!value(page)) return 0;
          if (page > 255) return fail(msg::value_too_large);
          emit(static_cast<std::uint8_t>(page));
        }
      } else {
        optional_comma();
        if (*p_ == '#') ++p_;
        std::uint32_t mask = 0;
        if (!value(mask)) return 0;
        if (mask > 255) return fail(msg::value_too_large);
        emit(static_cast<std::uint8_t>(mask));
      }
    }
    if (opd::relative(e->operand)) return relative_tail(*e);
    return written_;
  }

  Memory& memory_;
  std::uint32_t address_;
  const char*& p_;
  const AsmHooks& hooks_;
  Mn mnemonic_ = Mn::none;
  unsigned written_ = 0;
};

}  // namespace

bool asm_number(const char*& cursor, std::uint32_t& value, int& error) {
  const char* p = skip(cursor);
  const char* q = p;
  if (*q == '-' || *q == '+') ++q;
  if (!std::isdigit(static_cast<unsigned char>(*q))) {
    error = msg::syntax_error;
    return false;
  }
  const int used = numscan32(p, -1, &value, 1);
  if (used <= 0) {
    error = msg::syntax_error;
    return false;
  }
  cursor = p + used;
  return true;
}

unsigned asmline(Memory& memory, std::uint32_t address, const char*& cursor, const AsmHooks& hooks) {
  return Assembler(memory, address, cursor, hooks).run();
}

}  // namespace tav
