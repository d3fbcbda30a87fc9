// The execution path's machinery, for the instruction families (insn_*.cpp):
// one executor per (page, opcode) is compiled from the opcode table entry, so
// the addressing mode, the register and the family routine are fixed at
// compile time and nothing is looked up or parsed while a program runs.
#pragma once
#include <cstdint>
#include <utility>

#include "sim/cpu.h"
#include "sim/cycle_patterns.h"
#include "sim/decode_detail.h"
#include "sim/opcode_lookup.h"
#include "sim/reg_codes.h"

namespace tav::exec {

// The decoded operand handed to a family routine.
struct Operand {
  std::uint32_t ea = 0;      // global effective address; immediate: the value; moves: the source
  std::uint16_t local = 0;   // local effective address (what lea* write)
  std::uint32_t ea2 = 0;     // moves: the destination's global address
  std::uint32_t target = 0;  // relative branches: the global target
  std::uint16_t target_local = 0;  // and its local address by the WritePC rules
  std::uint8_t post = 0;     // register postbyte (exg/tfr/sex, loop primitives)
  std::uint8_t mask = 0;     // bit-mask byte
  std::uint8_t memory = 0;   // the byte read at the operand of a bit-mask instruction
};

// ---------------------------------------------------------------- registers

[[gnu::always_inline]] inline std::uint16_t read_register(const CpuRegs& r, unsigned code) {
  switch (code) {
    case REG_A: return r.a;
    case REG_B: return r.b;
    case REG_CCR: return r.ccr & 0xFF;
    case REG_CCRW: return r.ccr;
    case REG_D: return r.d();
    case REG_X: return r.x;
    case REG_Y: return r.y;
    case REG_SP: return r.sp;
    case REG_PC: return r.pc;
    case REG_CCRH: return r.ccr >> 8;
    default: return 0;
  }
}

// CCRH keeps bits 0-2 and 7 when written.
inline std::uint16_t ccr_word(std::uint16_t v) { return v & 0x87FF; }

[[gnu::always_inline]] inline void write_register(CpuRegs& r, unsigned code, std::uint16_t v) {
  switch (code) {
    case REG_A: r.a = static_cast<std::uint8_t>(v); break;
    case REG_B: r.b = static_cast<std::uint8_t>(v); break;
    case REG_CCR: r.ccr = static_cast<std::uint16_t>((r.ccr & 0xFF00) | (v & 0xFF)); break;
    case REG_CCRW: r.ccr = ccr_word(v); break;
    case REG_D: r.set_d(v); break;
    case REG_X: r.x = v; break;
    case REG_Y: r.y = v; break;
    case REG_SP: r.sp = v; break;
    case REG_PC: r.pc = v; break;
    case REG_CCRH: r.ccr = static_cast<std::uint16_t>((r.ccr & 0xFF) | (v & 0x87) << 8); break;
    default: break;
  }
}

// X can be cleared by software but never set: a new CCR value loses bit 0x40
// while X is clear.
inline std::uint16_t keep_x_rule(std::uint16_t old_ccr, std::uint16_t value) {
  return (old_ccr & CC_X) ? value : static_cast<std::uint16_t>(value & ~CC_X);
}

inline bool is_8bit_register(unsigned code) { return code == REG_A || code == REG_B || code == REG_CCR || code == REG_CCRH; }

// ---------------------------------------------------------------- flags

[[gnu::always_inline]] inline void set_flag(CpuRegs& r, std::uint16_t flag, bool on) {
  r.ccr = on ? static_cast<std::uint16_t>(r.ccr | flag) : static_cast<std::uint16_t>(r.ccr & ~flag);
}
[[gnu::always_inline]] inline void nz8(CpuRegs& r, std::uint8_t v) {
  r.ccr = static_cast<std::uint16_t>((r.ccr & ~(CC_N | CC_Z)) | (v & 0x80 ? CC_N : 0) | (v ? 0 : CC_Z));
}
[[gnu::always_inline]] inline void nz16(CpuRegs& r, std::uint16_t v) {
  r.ccr = static_cast<std::uint16_t>((r.ccr & ~(CC_N | CC_Z)) | (v & 0x8000 ? CC_N : 0) | (v ? 0 : CC_Z));
}

// ---------------------------------------------------------------- memory and stack

[[gnu::always_inline]] inline std::uint32_t global_of(const Cpu& c, std::uint16_t local) { return Memory::local_to_global(local, c.regs); }

[[gnu::always_inline]] inline std::uint8_t read8(Cpu& c, std::uint32_t a) {
  c.scratch.log.add(a);
  return c.memory.CpuReadByte(a);
}
[[gnu::always_inline]] inline std::uint16_t read16(Cpu& c, std::uint32_t a) {
  c.scratch.log.add(a);
  return c.memory.CpuReadWord(a);
}
[[gnu::always_inline]] inline void write8(Cpu& c, std::uint32_t a, std::uint8_t v) {
  c.scratch.log.add(a);
  c.memory.CpuWriteByte(a, v);
}
[[gnu::always_inline]] inline void write16(Cpu& c, std::uint32_t a, std::uint16_t v) {
  c.scratch.log.add(a);
  c.memory.CpuWriteWord(a, v);
}

[[gnu::always_inline]] inline void push8(Cpu& c, std::uint8_t v) {
  c.regs.sp = static_cast<std::uint16_t>(c.regs.sp - 1);
  c.memory.CpuWriteByte(global_of(c, c.regs.sp), v);
}
[[gnu::always_inline]] inline void push16(Cpu& c, std::uint16_t v) {
  c.regs.sp = static_cast<std::uint16_t>(c.regs.sp - 2);
  c.memory.CpuWriteWord(global_of(c, c.regs.sp), v);
}
[[gnu::always_inline]] inline std::uint8_t pull8(Cpu& c) {
  const std::uint8_t v = c.memory.CpuReadByte(global_of(c, c.regs.sp));
  c.regs.sp = static_cast<std::uint16_t>(c.regs.sp + 1);
  return v;
}
[[gnu::always_inline]] inline std::uint16_t pull16(Cpu& c) {
  const std::uint16_t v = c.memory.CpuReadWord(global_of(c, c.regs.sp));
  c.regs.sp = static_cast<std::uint16_t>(c.regs.sp + 2);
  return v;
}

// Sets the PC to the local address of a global one, page registers kept.
inline void jump_to(Cpu& c, std::uint32_t global) { c.regs.pc = local_of_global(global); }

// ---------------------------------------------------------------- operand decoding

constexpr bool is_indirect_postbyte(std::uint8_t xb) { return xb >= 0xE0 && (xb & 3) == 3; }

// An indexed operand: the indirect pointer is read (and logged) through the CPU
// accessors; an auto increment/decrement is written at once, or deferred when
// it is the instruction's own register.
[[gnu::always_inline]] inline std::uint16_t indexed_local(Cpu& c, CodeFetch& f, unsigned trailing, unsigned own_register,
                                   std::uint16_t* pointer_local = nullptr, std::uint8_t* alt = nullptr) {
  const IndexedParse p = parse_indexed(f, c.regs, trailing);
  if (pointer_local) *pointer_local = p.address;
  c.scratch.alt = p.alt;
  if (alt) *alt = p.alt;
  std::uint16_t local = p.address;
  if (p.indirect()) [[unlikely]] {
    const std::uint32_t pointer = global_of(c, p.address);
    local = read16(c, pointer);
  } else if (p.auto_update()) {
    const std::uint16_t code = index_register_code(p.reg);
    if (code == own_register) {
      c.scratch.deferred_code = code;
      c.scratch.deferred_value = p.updated;
    } else {
      write_register(c.regs, code, p.updated);
    }
  }
  return local;
}

template <int I>
constexpr unsigned indexed_trailing() {
  constexpr OpcodeEntry e = kOpcodeTable[I];
  if constexpr (opd::reg_field(e.operand) == opd::MASK && e.mnemonic != Mn::call)
    return opd::relative(e.operand) ? 2 : 1;
  return 0;
}

// Moves: decodes both operands in byte-stream order; o.ea is the source (its
// address, or the immediate value), o.ea2 the destination.
template <int I>
[[gnu::always_inline]] inline void decode_move(Cpu& c, CodeFetch& f, Operand& o) {
  constexpr OpcodeEntry e = kOpcodeTable[I];
  constexpr std::uint32_t src = opd::move_source(e.operand);
  constexpr std::uint32_t dst = opd::move_destination(e.operand);
  constexpr unsigned imm_width = e.mnemonic == Mn::movw ? 2 : 1;
  InsnScratch& s = c.scratch;
  if constexpr (dst == opd::IDX && src != opd::IDX) {
    // The indexed postbyte comes first in the byte stream.
    o.ea2 = global_of(c, indexed_local(c, f, src == opd::IMM ? imm_width : 2, 0));
    s.move_alt = s.alt;
    s.alt = 0;
    if constexpr (src == opd::IMM)
      o.ea = imm_width == 2 ? f.word() : f.byte();
    else
      o.ea = global_of(c, f.word());
  } else {
    if constexpr (src == opd::IDX)
      o.ea = global_of(c, indexed_local(c, f, dst == opd::IDX ? 1 : 2, 0));
    else if constexpr (src == opd::IMM)
      o.ea = imm_width == 2 ? f.word() : f.byte();
    else
      o.ea = global_of(c, f.word());
    s.move_alt = s.alt;
    s.alt = 0;
    if constexpr (dst == opd::IDX)
      o.ea2 = global_of(c, indexed_local(c, f, 0, 0));
    else
      o.ea2 = global_of(c, f.word());
  }
}

// Cycles for the alternative the instruction ended on (Cpu::log_consumed()
// works out the data letters' share of the log from the same alternative).
// `operand_alt` is that alternative where only the operand's form decides
// it: kept in a register, it spares a reload of the scratch state.
template <int I>
[[gnu::always_inline]] inline void charge(Cpu& c, unsigned operand_alt) {
  constexpr const PatternCost& cost = kEntryCosts[I];  // a reference: the rows stay in read-only data
  InsnScratch& s = c.scratch;
  unsigned cycles;
  if constexpr (cost.move) {
    cycles = entry_costs(I, s.move_alt).cycles_of(s.alt);
  } else if constexpr (cost.alternatives <= 1) {
    cycles = cost.cycles[0];
  } else if constexpr (kOpcodeTable[I].handler == Handler::Flow) {  // taken or not
    cycles = cost.cycles_of(s.alt);
  } else {
    cycles = cost.cycles_of(operand_alt);
  }
  s.cycles = static_cast<std::uint16_t>(cycles);
  c.counters.time += cycles;  // an XGATE's share is reported by Cpu::execute_with_xgate
}

// One instruction of entry kEntryLookup[Page][Op], family routine F::apply<I>.
template <int Page, int Op, class F>
std::uint32_t execute_entry(Cpu& c, const std::uint8_t* code, std::uint32_t address, std::uint16_t local) {
  CodeFetch f(code, address, local);
  constexpr int I = kEntryLookup[Page][Op];
  constexpr OpcodeEntry e = kOpcodeTable[I];
  constexpr std::uint32_t d = e.operand;
  constexpr std::uint32_t mode = opd::mode(d);
  constexpr bool is_call = e.mnemonic == Mn::call;
  constexpr bool mask_byte = opd::reg_field(d) == opd::MASK && !is_call;
  constexpr bool loop = is_loop_entry(e);
  constexpr bool relative = opd::relative(d) && !loop;
  constexpr bool global_access = is_global_access(e.mnemonic);
  constexpr unsigned own = e.handler == Handler::Moves ? 0 : opd::own_register(d);

  // Only an indexed operand with an auto update of the instruction's own
  // register defers its register write, so only an instruction whose own
  // register can be an index register (x, y, sp) ever defers.
  // A lea's own write comes last and replaces any update of its register,
  // so its update need not wait.
  constexpr bool is_lea = e.mnemonic == Mn::leas || e.mnemonic == Mn::leax || e.mnemonic == Mn::leay;
  constexpr bool may_defer = mode == opd::IDX && (own == REG_X || own == REG_Y || own == REG_SP) && !is_lea;
  constexpr unsigned deferring = may_defer ? own : 0;

  InsnScratch& s = c.scratch;
  s.begin(I);
  if constexpr (may_defer) s.deferred_code = 0;
  f.count = Page ? 2u : 1u;
  const std::uint32_t g = f.address;
  Operand o;
  std::uint8_t operand_alt = 0;

  if constexpr (e.handler == Handler::Moves) {
    decode_move<I>(c, f, o);
  } else if constexpr (mode == opd::DIR) {
    o.local = static_cast<std::uint16_t>(c.regs.direct << 8 | f.byte());
    o.ea = Memory::local_to_global(o.local, c.regs, global_access);
  } else if constexpr (mode == opd::EXT) {
    o.local = f.word();
    if constexpr (is_call) {
      s.page_or_mask = f.byte();
      CpuRegs paged = c.regs;
      paged.ppage = s.page_or_mask;
      o.ea = Memory::local_to_global(o.local, paged);
    } else {
      o.ea = Memory::local_to_global(o.local, c.regs, global_access);
    }
  } else if constexpr (mode == opd::IDX) {
    if constexpr (is_call) {
      const bool indirect = is_indirect_postbyte(f.peek_next());
      std::uint16_t pointer = 0;
      o.local = indexed_local(c, f, indirect ? 0 : 1, deferring, &pointer);
      if (indirect) {
        // The page is the byte after the pointed-to word.
        s.page_or_mask = read8(c, global_of(c, pointer) + 2);
      } else {
        s.page_or_mask = f.byte();
      }
      CpuRegs paged = c.regs;
      paged.ppage = s.page_or_mask;
      o.ea = Memory::local_to_global(o.local, paged);
    } else {
      o.local = indexed_local(c, f, indexed_trailing<I>(), deferring, nullptr, &operand_alt);
      o.ea = Memory::local_to_global(o.local, c.regs, global_access);
    }
  } else if constexpr (mode == opd::IMM) {
    o.ea = opd::is_16bit_register(own) ? f.word() : f.byte();
  } else if constexpr (mode == opd::REG) {
    o.post = f.byte();
    if constexpr (loop) {
      const std::uint8_t low = f.byte();
      const int offset = (o.post & 0x10) ? static_cast<int>(low) - 256 : low;
      o.target = branch_target(g + f.count, offset);
      o.target_local = local_at_distance(local, static_cast<std::int32_t>(f.count) + offset, o.target);
    }
  }
  if constexpr (mask_byte) {
    o.mask = f.byte();
    s.page_or_mask = o.mask;
    o.memory = read8(c, o.ea);
  }
  if constexpr (relative) {
    const int offset = Page ? static_cast<std::int16_t>(f.word()) : static_cast<std::int8_t>(f.byte());
    o.target = branch_target(g + f.count, offset);
    o.target_local = local_at_distance(local, static_cast<std::int32_t>(f.count) + offset, o.target);
  }

  ++c.counters.nbins;
  c.regs.pc = f.local_after();
  F::template apply<I>(c, o);
  if constexpr (may_defer) {
    if (s.deferred_code) [[unlikely]] {
      write_register(c.regs, s.deferred_code, s.deferred_value);
      s.deferred_code = 0;
    }
  }
  charge<I>(c, operand_alt);
  return f.count;
}

// The executor of a postbyte-selected entry of page 0 (loop primitives,
// exg/tfr/sex) made for one postbyte, for a stretch that found it there:
// execute_entry's bookkeeping around `body`, which does the instruction's
// work with the postbyte fixed. A changed postbyte goes to the general
// executor.
template <int Opcode, class F, int Post, unsigned kLength, class Body>
[[gnu::always_inline]] inline std::uint32_t execute_for_postbyte(Cpu& c, const std::uint8_t* code,
                                                                 std::uint32_t address, std::uint16_t local,
                                                                 Body body) {
  constexpr int I = kEntryLookup[0][Opcode];
  static_assert(opd::mode(kOpcodeTable[I].operand) == opd::REG && !kEntryCosts[I].move);
  if (code[1] != Post) [[unlikely]]
    return execute_entry<0, Opcode, F>(c, code, address, local);
  c.scratch.begin(I);
  ++c.counters.nbins;
  c.regs.pc = local_at_distance(local, kLength, address + kLength);
  body();
  charge<I>(c, 0);
  return kLength;
}

// Fills the dispatch slots whose entries belong to family H with F's executors.
template <Handler H, class F, std::size_t K>
void fill_slot(DispatchTable& table) {
  constexpr int page = static_cast<int>(K / 256);
  constexpr int op = static_cast<int>(K % 256);
  constexpr int i = kEntryLookup[page][op];
  if constexpr (i >= 0 && kOpcodeTable[i < 0 ? 0 : i].handler == H) table[page][op] = &execute_entry<page, op, F>;
}

// The 512 slots go in blocks of 128: one fold over all of them nests deeper
// than some compilers allow.
template <Handler H, class F, std::size_t Base, std::size_t... K>
void fill_family(DispatchTable& table, std::index_sequence<K...>) {
  (fill_slot<H, F, Base + K>(table), ...);
}

template <Handler H, class F>
void register_family(DispatchTable& table) {
  fill_family<H, F, 0>(table, std::make_index_sequence<128>{});
  fill_family<H, F, 128>(table, std::make_index_sequence<128>{});
  fill_family<H, F, 256>(table, std::make_index_sequence<128>{});
  fill_family<H, F, 384>(table, std::make_index_sequence<128>{});
}

// Each family's registration, defined in its insn_*.cpp.
void register_loads_stores(DispatchTable& table);
void register_transfers(DispatchTable& table);
void register_flow(DispatchTable& table);
void register_misc(DispatchTable& table);
void register_read_modify_write(DispatchTable& table);
void register_bit_ops(DispatchTable& table);
void register_arithmetic(DispatchTable& table);
void register_stack(DispatchTable& table);
void register_divide_multiply(DispatchTable& table);
void register_fuzzy(DispatchTable& table);
void register_moves(DispatchTable& table);

// The executors of a loop primitive (0x04) and of exg, tfr or sex (0xB7)
// for one postbyte, for a stretch that found it.
ExecFn loop_executor(std::uint8_t postbyte);
ExecFn transfer_executor(std::uint8_t postbyte);

}  // namespace tav::exec
