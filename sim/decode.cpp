// The decoder: one instruction's entry, operands, mask, page and branch
// target, read with the same rules as the execution path (sim/cpu_exec.h).
#include "sim/decode.h"

#include "sim/cycle_patterns.h"

namespace tav {
namespace {

bool is_indirect_postbyte(std::uint8_t xb) { return xb >= 0xE0 && (xb & 3) == 3; }

// Applies an auto increment/decrement to the decoder's copy of the registers,
// so that a second operand of the same instruction sees it as execution does.
void apply_update(CpuRegs& r, const IndexedParse& p) {
  if (!p.auto_update()) return;
  switch (p.reg) {
    case 0: r.x = p.updated; break;
    case 1: r.y = p.updated; break;
    default: r.sp = p.updated; break;
  }
}

void decode_indexed(const Memory& m, CpuRegs& r, CodeFetch& f, unsigned trailing, bool global_access,
                    DecodedOperand& out) {
  out.kind = OperandKind::Indexed;
  out.idx = parse_indexed(f, r, trailing);
  out.alt = out.idx.alt;
  out.local = out.idx.address;
  if (out.idx.indirect()) {
    const std::uint32_t pointer = Memory::local_to_global(out.idx.address, r);
    out.local = static_cast<std::uint16_t>(m.peek(pointer) << 8 | m.peek(pointer + 1));
  }
  out.global = Memory::local_to_global(out.local, r, global_access);
  apply_update(r, out.idx);
}

void decode_extended(CpuRegs& r, CodeFetch& f, bool global_access, DecodedOperand& out) {
  out.kind = OperandKind::Extended;
  out.local = f.word();
  out.global = Memory::local_to_global(out.local, r, global_access);
}

void decode_immediate(CodeFetch& f, unsigned width, DecodedOperand& out) {
  out.kind = OperandKind::Immediate;
  out.width = static_cast<std::uint8_t>(width);
  out.value = width == 2 ? f.word() : f.byte();
}

void decode_move(const Memory& m, CpuRegs& r, CodeFetch& f, DecodedInsn& d) {
  d.is_move = true;
  const std::uint32_t src = opd::move_source(d.descriptor);
  const std::uint32_t dst = opd::move_destination(d.descriptor);
  const unsigned imm_width = d.mnemonic == Mn::movw ? 2 : 1;
  if (dst == opd::IDX && src != opd::IDX) {
    // The indexed postbyte comes first in the byte stream.
    d.move_index_first = true;
    decode_indexed(m, r, f, src == opd::IMM ? imm_width : 2, false, d.dst);
    d.move_alt = d.dst.alt;
    if (src == opd::IMM)
      decode_immediate(f, imm_width, d.op);
    else
      decode_extended(r, f, false, d.op);
    d.alt = d.op.alt;
    return;
  }
  if (src == opd::IDX)
    decode_indexed(m, r, f, dst == opd::IDX ? 1 : 2, false, d.op);
  else if (src == opd::IMM)
    decode_immediate(f, imm_width, d.op);
  else
    decode_extended(r, f, false, d.op);
  d.move_alt = d.op.alt;
  if (dst == opd::IDX)
    decode_indexed(m, r, f, 0, false, d.dst);
  else
    decode_extended(r, f, false, d.dst);
  d.alt = d.dst.alt;
}

void select_entry(DecodedInsn& d, int index) {
  d.entry_index = static_cast<std::int16_t>(index);
  d.entry = &kOpcodeTable[index];
  d.mnemonic = d.entry->mnemonic;
}

}  // namespace

DecodedInsn decode_instruction(const Memory& memory, const CpuRegs& regs, std::uint32_t global) {
  DecodedInsn d;
  d.address = global;
  CpuRegs r = regs;  // the decoder's copy: auto updates and call pages land here
  CodeFetch f(memory, global);
  std::uint8_t opcode = f.byte();
  int page = 0;
  if (opcode == kPage2Prefix) {
    d.prefix = kPage2Prefix;
    page = 1;
    opcode = f.byte();
  }
  d.opcode = opcode;
  const int index = kEntryLookup[page][opcode];
  if (index < 0) {
    d.bytes[0] = memory.peek(global);
    d.bytes[1] = memory.peek(global + 1);
    return d;
  }
  select_entry(d, index);
  d.descriptor = d.entry->operand;
  d.mode = static_cast<std::uint8_t>(opd::mode(d.descriptor));
  d.global_access = is_global_access(d.mnemonic);
  const bool is_call = d.mnemonic == Mn::call;
  const bool has_mask_byte = opd::reg_field(d.descriptor) == opd::MASK && !is_call;
  const bool relative = opd::relative(d.descriptor);

  if (d.entry->handler == Handler::Moves) {
    decode_move(memory, r, f, d);
  } else {
    switch (d.mode) {
      case opd::DIR:
        d.op.kind = OperandKind::Direct;
        d.op.local = static_cast<std::uint16_t>(r.direct << 8 | f.byte());
        d.op.global = Memory::local_to_global(d.op.local, r, d.global_access);
        break;
      case opd::EXT:
        decode_extended(r, f, d.global_access, d.op);
        if (is_call) {
          d.has_page = true;
          d.call_page = f.byte();
          r.ppage = d.call_page;
          d.op.global = Memory::local_to_global(d.op.local, r);
        }
        break;
      case opd::IDX: {
        unsigned trailing = 0;
        if (has_mask_byte) trailing = relative ? 2 : 1;
        if (is_call && !is_indirect_postbyte(f.peek_next())) trailing = 1;
        decode_indexed(memory, r, f, trailing, d.global_access, d.op);
        if (d.mnemonic == Mn::leas || d.mnemonic == Mn::leax || d.mnemonic == Mn::leay) d.op.global = d.op.local;
        if (is_call) {
          d.has_page = true;
          if (d.op.idx.indirect()) {
            d.page_from_memory = true;
            const std::uint32_t pointer = Memory::local_to_global(d.op.idx.address, r);
            d.call_page = memory.peek(pointer + 2);
          } else {
            d.call_page = f.byte();
          }
          r.ppage = d.call_page;
          d.op.global = Memory::local_to_global(d.op.local, r);
        }
        d.alt = d.op.alt;
        break;
      }
      case opd::IMM: {
        const bool wide = opd::is_16bit_register(opd::own_register(d.descriptor));
        decode_immediate(f, wide ? 2 : 1, d.op);
        break;
      }
      case opd::REG: {
        d.postbyte = f.byte();
        if (is_loop_entry(*d.entry)) {
          d.is_loop = true;
          d.loop = loop_kind(d.postbyte);
          d.loop_ne = loop_branches_on_nonzero(d.postbyte);
          d.loop_reg = postbyte_register(d.postbyte & 7);
          select_entry(d, entry_of_mnemonic(d.opcode, loop_mnemonic(d.postbyte)));
          const std::uint8_t low = f.byte();
          d.has_relative = true;
          d.rel_offset = (d.postbyte & 0x10) ? static_cast<int>(low) - 256 : low;
        } else {
          const Mn m = transfer_mnemonic(d.postbyte);
          select_entry(d, entry_of_mnemonic(d.opcode, m));
          if (m == Mn::exg) {
            d.reg1 = exg_register(d.postbyte, (d.postbyte >> 4) & 7);
            d.reg2 = exg_register(d.postbyte, d.postbyte & 7);
          } else {
            d.reg1 = postbyte_register((d.postbyte >> 4) & 7);
            d.reg2 = postbyte_register(d.postbyte & 7);
          }
        }
        break;
      }
      default:
        break;
    }
    if (has_mask_byte) {
      d.has_mask = true;
      d.mask = f.byte();
    }
    if (relative && !d.is_loop) {
      d.has_relative = true;
      if (d.prefix) {
        d.rel_offset = static_cast<std::int16_t>(f.word());
      } else {
        d.rel_offset = static_cast<std::int8_t>(f.byte());
      }
    }
  }
  d.length = static_cast<std::uint16_t>(f.count);
  if (d.has_relative) d.target = branch_target(global + f.count, d.rel_offset);
  for (unsigned i = 0; i < f.count && i < sizeof d.bytes; ++i) d.bytes[i] = f.code[i];
  return d;
}

unsigned decoded_cycles(const DecodedInsn& insn) {
  if (insn.entry_index < 0) return 0;
  return entry_cycles(insn.entry_index, insn.alt, insn.move_alt);
}

}  // namespace tav
