#include "sim/stretch_cache.h"

#include "sim/cpu_exec.h"
#include "sim/decode.h"
#include "sim/decode_detail.h"

namespace tav {

namespace {

// The executor a stretch takes for an instruction: for the loop primitives
// and exg, tfr and sex the one for the postbyte it found.
ExecFn executor_for(const DispatchTable& table, const std::uint8_t* bytes) {
  switch (bytes[0]) {
    case 0x04: return exec::loop_executor(bytes[1]);
    case 0xB7: return exec::transfer_executor(bytes[1]);
    default: return table[0][bytes[0]];
  }
}

// Where a stretch goes on after an instruction: a jump, a subroutine call
// or a branch that always branches, or a conditional one that branches back
// (a loop), is followed to a target known from its bytes; anything else
// falls through. A wrong guess costs
// only leaving the stretch there.
std::uint32_t predicted_next(const DecodedInsn& insn) {
  const std::uint32_t after = insn.address + insn.length;
  const bool fixed_target = insn.op.kind == OperandKind::Extended || insn.op.kind == OperandKind::Direct;
  if ((insn.mnemonic == Mn::jmp || insn.mnemonic == Mn::jsr) && fixed_target) return insn.op.global;
  if (!insn.has_relative) return after;
  switch (insn.mnemonic) {
    case Mn::bra:
    case Mn::lbra:
    case Mn::bsr:
      return insn.target;
    case Mn::brn:
    case Mn::lbrn:
      return after;
    default:
      return insn.rel_offset < 0 ? insn.target : after;
  }
}

// A branch's other way: where it goes when it does not do what
// predicted_next() expects; none (kNone) where it has only one way.
constexpr std::uint32_t kNone = 0xFFFFFFFF;
std::uint32_t other_way(const DecodedInsn& insn, std::uint32_t predicted) {
  if (!insn.has_relative) return kNone;
  switch (insn.mnemonic) {
    case Mn::bra:
    case Mn::lbra:
    case Mn::bsr:
    case Mn::brn:
    case Mn::lbrn:
      return kNone;
    default:
      return predicted == insn.target ? insn.address + insn.length : insn.target;
  }
}

}  // namespace

std::uint32_t StretchCache::window_page(std::uint16_t local) {
  std::uint8_t bytes[4] = {};  // ppage, rpage, epage, gpage, as pages_of loads them
  if (local >= 0x8000 && local < 0xC000)
    bytes[0] = 0xFF;
  else if (local >= 0x1000 && local < 0x2000)
    bytes[1] = 0xFF;
  else if (local >= 0x0800 && local < 0x0C00)
    bytes[2] = 0xFF;
  std::uint32_t mask;
  std::memcpy(&mask, bytes, sizeof mask);
  return mask;
}

void StretchCache::clear() {
  if (!slots_) return;
  for (std::uint32_t i = 0; i < kSlots; ++i) slots_[i].start = Stretch::kNoStart;
}

void StretchCache::build(Stretch& s, const Memory& memory, const CpuRegs& regs, std::uint32_t start,
                         const StretchCuts& cuts) {
  const DispatchTable& table = cpu_dispatch_table();
  s.start = start;
  s.pages = pages_of(regs);
  s.count = 0;
  s.page_mask = 0;
  s.quiet_start = cuts.quiet(start);
  s.tag = cuts.tag(start);
  s.next_link = 0;
  for (StretchLink& l : s.links) l = {};
  std::uint32_t address = start;
  std::uint32_t other[Stretch::kMaxLength];  // each instruction's other way, global
  // Where the subroutine calls the stretch followed return to, innermost
  // last: their returns go on there, so that a loop with calls in it can
  // run in one stretch.
  std::uint32_t returns[Stretch::kMaxLength];
  std::uint32_t depth = 0;
  while (s.count < Stretch::kMaxLength) {
    // In place only: the loop checks the opcode byte where it lies.
    if (!instruction_in_block(address)) break;
    if (s.count > 0 && (!cuts.quiet(address) || cuts.tag(address) != s.tag)) break;
    const DecodedInsn insn = decode_instruction(memory, regs, address);
    if (!insn.defined()) break;
    std::uint32_t next = predicted_next(insn);
    const std::uint32_t after = insn.address + insn.length;
    if (insn.mnemonic == Mn::rts && depth > 0)
      next = returns[--depth];
    else if ((insn.mnemonic == Mn::jsr || insn.mnemonic == Mn::bsr) && next != after)
      returns[depth++] = after;
    const std::uint16_t next_pc = local_of_global(next);
    other[s.count] = other_way(insn, next);
    StretchInstruction& i = s.insn[s.count++];
    i.fn = executor_for(table, insn.bytes);
    i.code = memory.peek_block(address);
    i.address = address;
    i.local = local_of_global(address);
    i.next_pc = next_pc;
    s.page_mask |= window_page(next_pc);
    i.opcode = insn.bytes[0];
    i.alt_skip = 0;
    i.alt_pc = next_pc;
    // Where the next instruction's local address leads elsewhere under these
    // pages (the end of a window), or where PPAGE may change with the PC,
    // the stretch ends with this one.
    if (Memory::local_to_global(next_pc, regs) != next || insn.mnemonic == Mn::call || insn.mnemonic == Mn::rtc) break;
    address = next;
  }
  s.insn[s.count] = kStretchEnd;
  // A branch whose other way the stretch holds further on goes on there.
  for (std::uint32_t from = 0; from < s.count; ++from) {
    if (other[from] == kNone) continue;
    const std::uint16_t local = local_of_global(other[from]);
    if (Memory::local_to_global(local, regs) != other[from]) continue;
    for (std::uint32_t to = from + 1; to < s.count; ++to) {
      if (s.insn[to].address != other[from]) continue;
      s.insn[from].alt_skip = static_cast<std::uint8_t>(to - from);
      s.insn[from].alt_pc = local;
      s.page_mask |= window_page(local);
      break;
    }
  }
}

}  // namespace tav
