// The CPU12/S12X opcode table's vocabulary: mnemonics, operand descriptors,
// handler families and the table entry. One table (sim/opcodes_table.h)
// drives decoding, execution, disassembly and assembly alike.
#pragma once
#include <cstdint>

namespace tav {

// The 263 mnemonics in alphabetical order; index 0 of the name table is "???".
// Aliases (lsl…, bhs, blo, lbhs, lblo) have their own names and entries.
#define TAV_CPU12_MNEMONICS(X) \
  X(aba) X(adca) X(adcb) X(adda) X(addb) X(addd) X(addx) X(addy) X(aded) X(adex) X(adey) X(anda) \
  X(andb) X(andcc) X(andx) X(andy) X(asl) X(asla) X(aslb) X(asld) X(aslw) X(aslx) X(asly) X(asr) \
  X(asra) X(asrb) X(asrw) X(asrx) X(asry) X(bcc) X(bclr) X(bcs) X(beq) X(bge) X(bgnd) X(bgt) X(bhi) \
  X(bhs) X(bita) X(bitb) X(bitx) X(bity) X(ble) X(blo) X(bls) X(blt) X(bmi) X(bne) X(bpl) X(bra) \
  X(brclr) X(brn) X(brset) X(bset) X(bsr) X(btas) X(bvc) X(bvs) X(call) X(cba) X(clr) X(clra) \
  X(clrb) X(clrw) X(clrx) X(clry) X(cmpa) X(cmpb) X(com) X(coma) X(comb) X(comw) X(comx) X(comy) \
  X(cpd) X(cped) X(cpes) X(cpex) X(cpey) X(cps) X(cpx) X(cpy) X(daa) X(dbeq) X(dbne) X(dec) X(deca) \
  X(decb) X(decw) X(decx) X(decy) X(dex) X(dey) X(ediv) X(edivs) X(emacs) X(emaxd) X(emaxm) \
  X(emind) X(eminm) X(emul) X(emuls) X(eora) X(eorb) X(eorx) X(eory) X(etbl) X(exg) X(fdiv) \
  X(gldaa) X(gldab) X(gldd) X(glds) X(gldx) X(gldy) X(gstaa) X(gstab) X(gstd) X(gsts) X(gstx) \
  X(gsty) X(ibeq) X(ibne) X(idiv) X(idivs) X(inc) X(inca) X(incb) X(incw) X(incx) X(incy) X(inx) \
  X(iny) X(jmp) X(jsr) X(lbcc) X(lbcs) X(lbeq) X(lbge) X(lbgt) X(lbhi) X(lbhs) X(lble) X(lblo) \
  X(lbls) X(lblt) X(lbmi) X(lbne) X(lbpl) X(lbra) X(lbrn) X(lbvc) X(lbvs) X(ldaa) X(ldab) X(ldd) \
  X(lds) X(ldx) X(ldy) X(leas) X(leax) X(leay) X(lsl) X(lsla) X(lslb) X(lsld) X(lslw) X(lslx) \
  X(lsly) X(lsr) X(lsra) X(lsrb) X(lsrd) X(lsrw) X(lsrx) X(lsry) X(maxa) X(maxm) X(mem) X(mina) \
  X(minm) X(movb) X(movw) X(mul) X(neg) X(nega) X(negb) X(negw) X(negx) X(negy) X(nop) X(oraa) \
  X(orab) X(orcc) X(orx) X(ory) X(psha) X(pshb) X(pshc) X(pshcw) X(pshd) X(pshx) X(pshy) X(pula) \
  X(pulb) X(pulc) X(pulcw) X(puld) X(pulx) X(puly) X(rev) X(revw) X(rol) X(rola) X(rolb) X(rolw) \
  X(rolx) X(roly) X(ror) X(rora) X(rorb) X(rorw) X(rorx) X(rory) X(rtc) X(rti) X(rts) X(sba) \
  X(sbca) X(sbcb) X(sbed) X(sbex) X(sbey) X(sex) X(staa) X(stab) X(std) X(stop) X(sts) X(stx) \
  X(sty) X(suba) X(subb) X(subd) X(subx) X(suby) X(swi) X(sys) X(tab) X(tba) X(tbeq) X(tbl) X(tbne) \
  X(tfr) X(tst) X(tsta) X(tstb) X(tstw) X(tstx) X(tsty) X(wai) X(wav) X(wavi)

enum class Mn : std::uint16_t {
  none = 0,
#define TAV_MN_ENUM(name) name,
  TAV_CPU12_MNEMONICS(TAV_MN_ENUM)
#undef TAV_MN_ENUM
};

inline constexpr int kMnemonicCount = 264;

inline constexpr const char* kMnemonicNames[kMnemonicCount] = {
    "???",
#define TAV_MN_NAME(name) #name,
    TAV_CPU12_MNEMONICS(TAV_MN_NAME)
#undef TAV_MN_NAME
};

constexpr const char* mnemonic_name(Mn m) {
  const auto i = static_cast<unsigned>(m);
  return i < kMnemonicCount ? kMnemonicNames[i] : "???";
}

// Operand descriptor: bits 0-3 the addressing mode, bit 4 "a relative offset
// follows", bits 5 and up the register code of the register the instruction
// works on, or one of the markers MEM8/MEM16 (memory operand of a
// read-modify-write instruction) and MASK (a bit-mask byte follows; for
// `call` the page byte). For the moves bits 0-4 hold the source mode and
// bits 5-7 the destination mode.
namespace opd {
inline constexpr std::uint32_t INH = 0;
inline constexpr std::uint32_t INHA = 1;
inline constexpr std::uint32_t INHB = 2;
inline constexpr std::uint32_t INHX = 3;
inline constexpr std::uint32_t INHY = 4;
inline constexpr std::uint32_t DIR = 5;
inline constexpr std::uint32_t EXT = 6;
inline constexpr std::uint32_t IDX = 7;
inline constexpr std::uint32_t REG = 8;  // register postbyte (exg/tfr/sex, loop primitives)
inline constexpr std::uint32_t IMM = 9;
inline constexpr std::uint32_t MODE_MASK = 0x0F;
inline constexpr std::uint32_t REL = 0x10;

inline constexpr std::uint32_t R_A = 0x20;
inline constexpr std::uint32_t R_B = 0x40;
inline constexpr std::uint32_t R_CCR = 0x60;
inline constexpr std::uint32_t R_CCRW = 0x80;
inline constexpr std::uint32_t R_D = 0xA0;
inline constexpr std::uint32_t R_X = 0xC0;
inline constexpr std::uint32_t R_Y = 0xE0;
inline constexpr std::uint32_t R_SP = 0x100;
inline constexpr std::uint32_t R_PC = 0x120;
inline constexpr std::uint32_t R_CCRH = 0x360;

inline constexpr std::uint32_t MEM8 = 0x200;
inline constexpr std::uint32_t MEM16 = 0x220;
inline constexpr std::uint32_t MASK = 0x240;

constexpr std::uint32_t MOVE(std::uint32_t source_mode, std::uint32_t destination_mode) {
  return source_mode | destination_mode << 5;
}

constexpr std::uint32_t mode(std::uint32_t d) { return d & MODE_MASK; }
constexpr bool relative(std::uint32_t d) { return (d & REL) != 0; }
constexpr std::uint32_t reg_field(std::uint32_t d) { return d & ~std::uint32_t{0x1F}; }
// The register an instruction works on, 0 for none or a marker.
constexpr std::uint32_t own_register(std::uint32_t d) {
  const std::uint32_t r = reg_field(d);
  return r < MEM8 ? r : 0;
}
constexpr bool is_16bit_register(std::uint32_t code) { return code > R_CCR && code < MEM8; }
constexpr std::uint32_t move_source(std::uint32_t d) { return d & 0x1F; }
constexpr std::uint32_t move_destination(std::uint32_t d) { return (d >> 5) & 7; }
}  // namespace opd

// The instruction routine of an entry. 16-bit arithmetic and the 16-bit
// compares share one routine, so there are fifteen.
enum class Handler : std::uint8_t {
  Loads,
  Stores,
  Transfers,
  Flow,
  Misc,
  Rmw8,
  Rmw16,
  BitOps,
  Arith16,
  Arith8,
  Stack,
  Division,
  MulAcc,
  Fuzzy,
  Moves,
};
inline constexpr int kHandlerCount = 15;

struct OpcodeEntry {
  std::uint8_t opcode;
  std::uint8_t page;  // 1, or 2 for the opcodes behind the prefix 0x18
  Mn mnemonic;
  std::uint32_t operand;  // descriptor, see opd
  Handler handler;
  // Bus cycles, one letter each, alternatives separated by "/"; moves name
  // the move pattern table with "X" (byte) or "XW" (word).
  const char* pattern;
};

inline constexpr int kOpcodeCount = 503;
inline constexpr std::uint8_t kPage2Prefix = 0x18;

// The global-access loads and stores form their addresses from GPAGE.
constexpr bool is_global_access(Mn m) {
  switch (m) {
    case Mn::gldaa: case Mn::gldab: case Mn::gldd: case Mn::gldx: case Mn::gldy: case Mn::glds:
    case Mn::gstaa: case Mn::gstab: case Mn::gstd: case Mn::gstx: case Mn::gsty: case Mn::gsts:
      return true;
    default:
      return false;
  }
}

}  // namespace tav
