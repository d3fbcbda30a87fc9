// The XGATE instruction table and its decoder.
#include "sim/xgate_table.h"

#include <array>

namespace tav {

const char* const kXgateMnemonics[kXgateMnemonicCount] = {
#define TAV_XG_TEXT(id, text) text,
    TAV_XGATE_MNEMONICS(TAV_XG_TEXT)
#undef TAV_XG_TEXT
};

namespace {

using M = XgMnemonic;
using O = XgOperand;
using F = XgFamily;

}  // namespace

// Within a group the first matching entry wins: sub hides cmp (its RD = r0
// spelling, which only the disassembler uses), bcc hides bhs and bcs hides blo.
const XgateOp kXgateOps[kXgateOpCount] = {
    // mnemonic  match   mask    operand 1    operand 2   cycles family
    // 00000: inherent and monadic
    {M::brk,     0x0000, 0xFFFF, O::None,     O::None,     4, F::NoEffect},
    {M::nop,     0x0100, 0xFFFF, O::None,     O::None,     1, F::NoEffect},
    {M::rts,     0x0200, 0xFFFF, O::None,     O::None,     2, F::Rts},
    {M::sif,     0x0300, 0xFFFF, O::None,     O::None,     2, F::Sif},
    {M::csem,    0x00F0, 0xF8FF, O::Imm3,     O::None,     2, F::NoEffect},
    {M::csem,    0x00F1, 0xF8FF, O::Rd,       O::None,     2, F::NoEffect},
    {M::ssem,    0x00F2, 0xF8FF, O::Imm3,     O::None,     2, F::NoEffect},
    {M::ssem,    0x00F3, 0xF8FF, O::Rd,       O::None,     2, F::NoEffect},
    {M::sex,     0x00F4, 0xF8FF, O::Rd,       O::None,     1, F::Sex},
    {M::par,     0x00F5, 0xF8FF, O::Rd,       O::None,     1, F::Par},
    {M::jal,     0x00F6, 0xF8FF, O::Rd,       O::None,     2, F::Jal},
    {M::sif,     0x00F7, 0xF8FF, O::Rd,       O::None,     2, F::NoEffect},
    {M::tfr,     0x00F8, 0xF8FF, O::RdCcr,    O::None,     1, F::TfrFromCcr},
    {M::tfr,     0x00F9, 0xF8FF, O::CcrRd,    O::None,     1, F::TfrToCcr},
    {M::tfr,     0x00FA, 0xF8FF, O::RdPc,     O::None,     1, F::TfrFromPc},
    // 00001: bffo and shifts, count in RS or immediate
    {M::bffo,    0x0810, 0xF81F, O::Rd,       O::Rs,       1, F::Bffo},
    {M::asr,     0x0811, 0xF81F, O::Rd,       O::Rs,       1, F::Asr},
    {M::csl,     0x0812, 0xF81F, O::Rd,       O::Rs,       1, F::Csl},
    {M::csr,     0x0813, 0xF81F, O::Rd,       O::Rs,       1, F::Csr},
    {M::lsl,     0x0814, 0xF81F, O::Rd,       O::Rs,       1, F::Lsl},
    {M::lsr,     0x0815, 0xF81F, O::Rd,       O::Rs,       1, F::Lsr},
    {M::rol,     0x0816, 0xF81F, O::Rd,       O::Rs,       1, F::Rol},
    {M::ror,     0x0817, 0xF81F, O::Rd,       O::Rs,       1, F::Ror},
    {M::asr,     0x0809, 0xF80F, O::Rd,       O::Imm4,     1, F::Asr},
    {M::csl,     0x080A, 0xF80F, O::Rd,       O::Imm4,     1, F::Csl},
    {M::csr,     0x080B, 0xF80F, O::Rd,       O::Imm4,     1, F::Csr},
    {M::lsl,     0x080C, 0xF80F, O::Rd,       O::Imm4,     1, F::Lsl},
    {M::lsr,     0x080D, 0xF80F, O::Rd,       O::Imm4,     1, F::Lsr},
    {M::rol,     0x080E, 0xF80F, O::Rd,       O::Imm4,     1, F::Rol},
    {M::ror,     0x080F, 0xF80F, O::Rd,       O::Imm4,     1, F::Ror},
    // 00010, 00011: triadic logic and arithmetic
    {M::and_,    0x1000, 0xF803, O::Rd,       O::Rs1Rs2,   1, F::And},
    {M::or_,     0x1002, 0xF803, O::Rd,       O::Rs1Rs2,   1, F::Or},
    {M::xnor,    0x1003, 0xF803, O::Rd,       O::Rs1Rs2,   1, F::Xnor},
    {M::sub,     0x1800, 0xF803, O::Rd,       O::Rs1Rs2,   1, F::Sub},
    {M::cmp,     0x1800, 0xFF03, O::Rs1Rs2,   O::None,     1, F::Sub},
    {M::sbc,     0x1801, 0xF803, O::Rd,       O::Rs1Rs2,   1, F::Sbc},
    {M::add,     0x1802, 0xF803, O::Rd,       O::Rs1Rs2,   1, F::Add},
    {M::adc,     0x1803, 0xF803, O::Rd,       O::Rs1Rs2,   1, F::Adc},
    // 00100-00111: branches
    {M::bcc,     0x2000, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::bhs,     0x2000, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::bcs,     0x2200, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::blo,     0x2200, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::bne,     0x2400, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::beq,     0x2600, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::bpl,     0x2800, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::bmi,     0x2A00, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::bvc,     0x2C00, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::bvs,     0x2E00, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::bhi,     0x3000, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::bls,     0x3200, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::bge,     0x3400, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::blt,     0x3600, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::bgt,     0x3800, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::ble,     0x3A00, 0xFE00, O::Rel9,     O::None,     1, F::Branch},
    {M::bra,     0x3C00, 0xFC00, O::Rel10,    O::None,     1, F::Branch},
    // 01000-01011: loads and stores with a 5-bit offset
    {M::ldb,     0x4000, 0xF800, O::Rd,       O::Offset5,  2, F::Ldb},
    {M::ldw,     0x4800, 0xF800, O::Rd,       O::Offset5,  2, F::Ldw},
    {M::stb,     0x5000, 0xF800, O::Rd,       O::Offset5,  2, F::Stb},
    {M::stw,     0x5800, 0xF800, O::Rd,       O::Offset5,  2, F::Stw},
    // 01100-01111: loads and stores indexed by a register, and the bit fields
    {M::ldb,     0x6000, 0xF803, O::Rd,       O::Index,    2, F::Ldb},
    {M::ldb,     0x6001, 0xF803, O::Rd,       O::IndexInc, 2, F::Ldb},
    {M::ldb,     0x6002, 0xF803, O::Rd,       O::IndexDec, 2, F::Ldb},
    {M::bfext,   0x6003, 0xF803, O::Rd,       O::Rs1Rs2,   1, F::Bfext},
    {M::ldw,     0x6800, 0xF803, O::Rd,       O::Index,    2, F::Ldw},
    {M::ldw,     0x6801, 0xF803, O::Rd,       O::IndexInc, 2, F::Ldw},
    {M::ldw,     0x6802, 0xF803, O::Rd,       O::IndexDec, 2, F::Ldw},
    {M::bfins,   0x6803, 0xF803, O::Rd,       O::Rs1Rs2,   1, F::Bfins},
    {M::stb,     0x7000, 0xF803, O::Rd,       O::Index,    2, F::Stb},
    {M::stb,     0x7001, 0xF803, O::Rd,       O::IndexInc, 2, F::Stb},
    {M::stb,     0x7002, 0xF803, O::Rd,       O::IndexDec, 2, F::Stb},
    {M::bfinsi,  0x7003, 0xF803, O::Rd,       O::Rs1Rs2,   1, F::Bfinsi},
    {M::stw,     0x7800, 0xF803, O::Rd,       O::Index,    2, F::Stw},
    {M::stw,     0x7801, 0xF803, O::Rd,       O::IndexInc, 2, F::Stw},
    {M::stw,     0x7802, 0xF803, O::Rd,       O::IndexDec, 2, F::Stw},
    {M::bfinsx,  0x7803, 0xF803, O::Rd,       O::Rs1Rs2,   1, F::Bfinsx},
    // 10000-11111: 8-bit immediates
    {M::andl,    0x8000, 0xF800, O::Rd,       O::Imm8,     1, F::Andl},
    {M::andh,    0x8800, 0xF800, O::Rd,       O::Imm8,     1, F::Andh},
    {M::bitl,    0x9000, 0xF800, O::Rd,       O::Imm8,     1, F::Bitl},
    {M::bith,    0x9800, 0xF800, O::Rd,       O::Imm8,     1, F::Bith},
    {M::orl,     0xA000, 0xF800, O::Rd,       O::Imm8,     1, F::Orl},
    {M::orh,     0xA800, 0xF800, O::Rd,       O::Imm8,     1, F::Orh},
    {M::xnorl,   0xB000, 0xF800, O::Rd,       O::Imm8,     1, F::Xnorl},
    {M::xnorh,   0xB800, 0xF800, O::Rd,       O::Imm8,     1, F::Xnorh},
    {M::subl,    0xC000, 0xF800, O::Rd,       O::Imm8,     1, F::Subl},
    {M::subh,    0xC800, 0xF800, O::Rd,       O::Imm8,     1, F::Subh},
    {M::cmpl,    0xD000, 0xF800, O::Rd,       O::Imm8,     1, F::Cmpl},
    {M::cpch,    0xD800, 0xF800, O::Rd,       O::Imm8,     1, F::Cpch},
    {M::addl,    0xE000, 0xF800, O::Rd,       O::Imm8,     1, F::Addl},
    {M::addh,    0xE800, 0xF800, O::Rd,       O::Imm8,     1, F::Addh},
    {M::ldl,     0xF000, 0xF800, O::Rd,       O::Imm8,     1, F::Ldl},
    {M::ldh,     0xF800, 0xF800, O::Rd,       O::Imm8,     1, F::Ldh},
};

namespace {

// [first, end) of each group's entries, indexed by the top five bits.
struct GroupIndex {
  std::array<std::uint8_t, 33> start{};
};

constexpr GroupIndex make_groups() {
  GroupIndex g;
  int entry = 0;
  for (int group = 0; group < 32; ++group) {
    g.start[group] = static_cast<std::uint8_t>(entry);
    while (entry < kXgateOpCount && (kXgateOps[entry].match >> 11) == group) ++entry;
  }
  g.start[32] = static_cast<std::uint8_t>(entry);
  return g;
}

}  // namespace

const XgateOp* xgate_find(std::uint16_t word) {
  static const GroupIndex groups = make_groups();
  const int group = word >> 11;
  for (int i = groups.start[group]; i < groups.start[group + 1]; ++i)
    if ((word & kXgateOps[i].mask) == kXgateOps[i].match) return &kXgateOps[i];
  return nullptr;
}

}  // namespace tav
