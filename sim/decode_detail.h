// Pieces of operand decoding shared by the decoder (sim/decode.h) and the
// execution path (sim/cpu_exec.h), so that both read the bytes the same way.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sim/cpu_regs.h"
#include "sim/memory.h"
#include "sim/reg_codes.h"

namespace tav {

// The local address of a global one by the WritePC rules with the page
// registers unchanged, flash first: the PC after nearly every instruction.
[[gnu::always_inline]] inline std::uint16_t local_of_global(std::uint32_t g) {
  if (g >= 0x140000) [[likely]]
    return Memory::PpcLocal(g);
  return Memory::GlobalToLocal(g);
}

// The longest instruction: movw [n,r],[n,r] with the prefix.
inline constexpr unsigned kMaxInstructionLength = 8;

// Whether an instruction at `address` lies within its store block whatever
// its length, so that its bytes can be read in place.
[[gnu::always_inline]] inline bool instruction_in_block(std::uint32_t address) {
  return (address & (Memory::kBlockSize - 1)) <= Memory::kBlockSize - kMaxInstructionLength;
}

// An instruction's bytes one by one, for one that may run past its block's end.
inline const std::uint8_t* copy_instruction_bytes(const Memory& memory, std::uint32_t address,
                                                  std::uint8_t (&spill)[kMaxInstructionLength]) {
  for (unsigned i = 0; i < kMaxInstructionLength; ++i) spill[i] = memory.peek(address + i);
  return spill;
}

// The local address `distance` bytes from global `address`, whose own local
// address by the WritePC rules is `local`. Every window and page bound lies
// on a 1 KB boundary and each window maps linearly, so inside one 1 KB block
// the sum is the answer; beyond it the rules are asked again (`global` is
// the address at that distance, as the caller formed it).
[[gnu::always_inline]] inline std::uint16_t local_at_distance(std::uint16_t local, std::int32_t distance,
                                                               std::uint32_t global) {
  const std::int32_t l = local + distance;
  if (((l ^ local) & ~0x3FF) == 0) [[likely]]
    return static_cast<std::uint16_t>(l);
  return local_of_global(global);
}

// Reads an instruction's bytes at increasing global addresses without side
// effects.
struct CodeFetch {
  CodeFetch(const Memory& memory, std::uint32_t address, std::uint32_t count = 0)
      : address(address), count(count), local(local_of_global(address)) {
    if (instruction_in_block(address)) [[likely]]
      code = memory.peek_block(address);
    else
      code = copy_instruction_bytes(memory, address, spill);
  }
  // Bytes already in place (an executor's view of what the run loop fetched):
  // kept in registers, so the fetch offsets fold into constants.
  CodeFetch(const std::uint8_t* bytes, std::uint32_t address, std::uint16_t local)
      : code(bytes), address(address), count(0), local(local) {}
  CodeFetch(const CodeFetch&) = delete;
  CodeFetch& operator=(const CodeFetch&) = delete;

  std::uint8_t byte() { return code[count++]; }
  std::uint16_t word() {
    const std::uint16_t v = static_cast<std::uint16_t>(code[count] << 8 | code[count + 1]);
    count += 2;
    return v;
  }
  std::uint8_t peek_next() const { return code[count]; }
  // The local address `ahead` bytes past the bytes fetched so far, page
  // registers unchanged: the PC as an index base and the PC after the instruction.
  [[gnu::always_inline]] std::uint16_t local_after(unsigned ahead = 0) const {
    return local_at_distance(local, static_cast<std::int32_t>(count + ahead), address + count + ahead);
  }

  const std::uint8_t* code;
  std::uint32_t address;  // global address of the instruction's first byte
  std::uint32_t count;    // bytes fetched so far
  std::uint16_t local;    // local address of the first byte by the WritePC rules
  std::uint8_t spill[kMaxInstructionLength];
};

enum class IndexedKind : std::uint8_t {
  Offset5,      // n,r with -16..15
  Offset9,      // n,r with -256..255
  Offset16,     // n,r with a 16-bit offset
  PreIncrement,   // n,+r
  PreDecrement,   // n,-r
  PostIncrement,  // n,r+
  PostDecrement,  // n,r-
  AccumulatorA,   // a,r
  AccumulatorB,   // b,r
  AccumulatorD,   // d,r
  Indirect16,     // [n,r]
  IndirectD,      // [d,r]
};

// One indexed postbyte and its extension bytes, before any memory access or
// register update.
struct IndexedParse {
  std::uint8_t postbyte = 0;
  IndexedKind kind = IndexedKind::Offset5;
  std::uint8_t reg = 0;       // 0 x, 1 y, 2 s, 3 pc
  std::int32_t offset = 0;    // signed for 5/9-bit, 0..65535 for 16-bit forms, amount 1..8 for auto forms
  std::uint16_t base = 0;     // register value used as base (the PC rule for pc)
  std::uint16_t address = 0;  // local effective address; indirect forms: the pointer's address
  std::uint16_t updated = 0;  // auto forms: the register's new value
  std::uint8_t alt = 0;       // pattern alternative of the form
  bool indirect() const { return kind == IndexedKind::Indirect16 || kind == IndexedKind::IndirectD; }
  bool auto_update() const {
    return kind == IndexedKind::PreIncrement || kind == IndexedKind::PreDecrement ||
           kind == IndexedKind::PostIncrement || kind == IndexedKind::PostDecrement;
  }
};

// The index register of a postbyte's rr field: x, y, sp (sp for 3 too).
// x, y and sp lie side by side, so this is one indexed load rather than a
// chain of branches.
[[gnu::always_inline]] inline std::uint16_t index_register(const CpuRegs& r, unsigned rr) {
  static_assert(offsetof(CpuRegs, y) == offsetof(CpuRegs, x) + 2 && offsetof(CpuRegs, sp) == offsetof(CpuRegs, x) + 4);
  rr &= 3;
  std::uint16_t v;
  std::memcpy(&v, reinterpret_cast<const unsigned char*>(&r) + offsetof(CpuRegs, x) + 2 * (rr < 2 ? rr : 2), sizeof v);
  return v;
}

// Register codes of the index registers (x, y, s) for the auto forms.
constexpr std::uint16_t index_register_code(unsigned rr) { return rr == 0 ? REG_X : rr == 1 ? REG_Y : REG_SP; }

// `trailing`: bytes of this instruction that follow the indexed operand, for
// the PC base (mask, branch offset, page byte, the other move operand).
[[gnu::always_inline]] inline IndexedParse parse_indexed(CodeFetch& f, const CpuRegs& r, unsigned trailing) {
  IndexedParse p;
  const std::uint8_t xb = f.byte();
  p.postbyte = xb;
  if (xb < 0xE0) {
    p.reg = xb >> 6;
    if (!(xb & 0x20)) {
      p.kind = IndexedKind::Offset5;
      p.offset = static_cast<std::int8_t>(static_cast<std::uint8_t>(xb << 3)) >> 3;  // bits 4-0, signed
      p.base = p.reg == 3 ? f.local_after(trailing) : index_register(r, p.reg);
      p.address = static_cast<std::uint16_t>(p.base + p.offset);
      return p;
    }
    const int amount = (xb & 0x08) ? static_cast<int>(xb & 0x0F) - 16 : (xb & 0x07) + 1;
    const bool post = (xb & 0x10) != 0;
    p.kind = amount > 0 ? (post ? IndexedKind::PostIncrement : IndexedKind::PreIncrement)
                        : (post ? IndexedKind::PostDecrement : IndexedKind::PreDecrement);
    p.offset = amount > 0 ? amount : -amount;
    p.base = index_register(r, p.reg);
    p.updated = static_cast<std::uint16_t>(p.base + amount);
    p.address = post ? p.base : p.updated;
    return p;
  }
  p.reg = (xb >> 3) & 3;
  switch (xb & 7) {
    case 0:
    case 1: {
      const std::uint8_t low = f.byte();
      p.kind = IndexedKind::Offset9;
      p.offset = (xb & 1) ? static_cast<int>(low) - 256 : low;
      p.alt = 1;
      break;
    }
    case 2:
      p.kind = IndexedKind::Offset16;
      p.offset = f.word();
      p.alt = 2;
      break;
    case 3:
      p.kind = IndexedKind::Indirect16;
      p.offset = f.word();
      p.alt = 4;
      break;
    case 4:
      p.kind = IndexedKind::AccumulatorA;
      p.offset = r.a;
      break;
    case 5:
      p.kind = IndexedKind::AccumulatorB;
      p.offset = r.b;
      break;
    case 6:
      p.kind = IndexedKind::AccumulatorD;
      p.offset = r.d();
      break;
    default:
      p.kind = IndexedKind::IndirectD;
      p.offset = r.d();
      p.alt = 3;
      break;
  }
  p.base = p.reg == 3 ? f.local_after(trailing) : index_register(r, p.reg);
  p.address = static_cast<std::uint16_t>(p.base + p.offset);
  return p;
}

// Global branch target: the address after the instruction plus the offset, in 23 bits.
inline std::uint32_t branch_target(std::uint32_t after, std::int32_t offset) {
  return (after + static_cast<std::uint32_t>(offset)) & 0x7FFFFF;
}

}  // namespace tav
