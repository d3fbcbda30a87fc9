// The XGATE instruction table: one entry per encoding, grouped by the top five
// bits of the instruction word. The simulator and the disassembler both decode
// through it, so they always agree on what a word is.
#pragma once
#include <cstdint>

namespace tav {

// The mnemonic table, in the order of its indexes; index 0 is the undefined word.
#define TAV_XGATE_MNEMONICS(X)                                                                                     \
  X(unknown, "???") X(adc, "adc") X(add, "add") X(addh, "addh") X(addl, "addl") X(and_, "and") X(andh, "andh")     \
  X(andl, "andl") X(asl, "asl") X(asr, "asr") X(bcc, "bcc") X(bcs, "bcs") X(beq, "beq") X(bfext, "bfext")          \
  X(bffo, "bffo") X(bfins, "bfins") X(bfinsi, "bfinsi") X(bfinsx, "bfinsx") X(bge, "bge") X(bgt, "bgt")            \
  X(bhi, "bhi") X(bhs, "bhs") X(bith, "bith") X(bitl, "bitl") X(ble, "ble") X(blo, "blo") X(bls, "bls")            \
  X(blt, "blt") X(bmi, "bmi") X(bne, "bne") X(bpl, "bpl") X(bra, "bra") X(brk, "brk") X(bvc, "bvc") X(bvs, "bvs")  \
  X(cmp, "cmp") X(cmpl, "cmpl") X(cpch, "cpch") X(csem, "csem") X(csl, "csl") X(csr, "csr") X(jal, "jal")          \
  X(ldb, "ldb") X(ldh, "ldh") X(ldl, "ldl") X(ldw, "ldw") X(lsl, "lsl") X(lsr, "lsr") X(nop, "nop") X(or_, "or")   \
  X(orh, "orh") X(orl, "orl") X(par, "par") X(rol, "rol") X(ror, "ror") X(rts, "rts") X(sbc, "sbc") X(sex, "sex")  \
  X(sif, "sif") X(ssem, "ssem") X(stb, "stb") X(stw, "stw") X(sub, "sub") X(subh, "subh") X(subl, "subl")          \
  X(tfr, "tfr") X(xnor, "xnor") X(xnorh, "xnorh") X(xnorl, "xnorl")

enum class XgMnemonic : std::uint16_t {
#define TAV_XG_ENUM(id, text) id,
  TAV_XGATE_MNEMONICS(TAV_XG_ENUM)
#undef TAV_XG_ENUM
};

inline constexpr int kXgateMnemonicCount = 69;
extern const char* const kXgateMnemonics[kXgateMnemonicCount];

// Operand formats: which bits an operand comes from and how it is shown.
enum class XgOperand : std::uint8_t {
  None,
  Imm3,      // bits 8-10
  Rd,        // bits 8-10
  Rs,        // bits 5-7 (the source of bffo and the shifts)
  Imm4,      // bits 4-7; a count of 0 shifts 16 times
  Rs1Rs2,    // bits 5-7 and 2-4
  Rel9,      // bits 0-8, word offset, bit 8 the sign
  Rel10,     // bits 0-9, word offset, bit 9 the sign
  Offset5,   // (RB, #offset): RB bits 5-7, offset bits 0-4
  Index,     // (RB, RI): RI bits 2-4
  IndexInc,  // (RB, RI+)
  IndexDec,  // (RB, -RI)
  Imm8,      // bits 0-7
  RdCcr,     // tfr RD,CCR
  CcrRd,     // tfr CCR,RD
  RdPc,      // tfr RD,PC
};

// What an instruction does; the executor switches on it.
enum class XgFamily : std::uint8_t {
  NoEffect,  // brk, nop, csem, ssem, sif with a register: only their cycles
  Rts,
  Sif,
  Sex,
  Par,
  Jal,
  TfrFromCcr,
  TfrToCcr,
  TfrFromPc,
  Bffo,
  Asr,
  Csl,
  Csr,
  Lsl,
  Lsr,
  Rol,
  Ror,
  And,
  Or,
  Xnor,
  Sub,
  Sbc,
  Add,
  Adc,
  Branch,  // the condition comes from bits 9-12 of the match value
  Ldb,
  Ldw,
  Stb,
  Stw,
  Bfext,
  Bfins,
  Bfinsi,
  Bfinsx,
  Andl,
  Andh,
  Bitl,
  Bith,
  Orl,
  Orh,
  Xnorl,
  Xnorh,
  Subl,
  Subh,
  Cmpl,
  Cpch,
  Addl,
  Addh,
  Ldl,
  Ldh,
};

struct XgateOp {
  XgMnemonic mnemonic;
  std::uint16_t match;
  std::uint16_t mask;
  XgOperand operand1;
  XgOperand operand2;
  std::uint32_t cycles;  // base cycles; a taken branch costs one more
  XgFamily family;
};

inline constexpr int kXgateOpCount = 91;
extern const XgateOp kXgateOps[kXgateOpCount];

// The entry that decodes `word`: the first of its group whose mask matches; null
// when the word is undefined.
const XgateOp* xgate_find(std::uint16_t word);

inline const char* xgate_mnemonic_text(XgMnemonic m) { return kXgateMnemonics[static_cast<int>(m)]; }

// Operand fields of an instruction word.
inline int xg_rd(std::uint16_t w) { return (w >> 8) & 7; }
inline int xg_rs1(std::uint16_t w) { return (w >> 5) & 7; }
inline int xg_rs2(std::uint16_t w) { return (w >> 2) & 7; }
inline int xg_imm3(std::uint16_t w) { return (w >> 8) & 7; }
inline int xg_imm4(std::uint16_t w) { return (w >> 4) & 15; }
inline int xg_offset5(std::uint16_t w) { return w & 31; }
inline int xg_imm8(std::uint16_t w) { return w & 0xFF; }

// Target of a relative branch at `address`: address + 2 + 2 * offset, as a 16-bit XGATE address.
inline std::uint16_t xg_branch_target(std::uint16_t w, std::uint32_t address, XgOperand format) {
  int offset = format == XgOperand::Rel10 ? (w & 0x3FF) - ((w & 0x200) << 1) : (w & 0x1FF) - ((w & 0x100) << 1);
  return static_cast<std::uint16_t>(address + 2 + 2 * offset);
}

}  // namespace tav
