// The CPU12/S12X opcode table: 503 entries grouped by opcode byte. For each
// opcode value the page-1 entry comes first and, where the opcode also exists
// behind the prefix 0x18, the page-2 entry follows it at once; aliases and
// postbyte-selected variants come after them with the same opcode byte. The
// decoder finds an entry by that grouping (see opcode_lookup.h).
//
// Columns: opcode byte, page, mnemonic, operand descriptor, handler family,
// bus-cycle pattern. Patterns are the HCS12 bus-cycle strings; the S12X-only
// forms have none in the reference data, so theirs are derived from the
// closest HCS12 instruction (named in the comment), usually by adding the
// page-2 "O" cycle.
//
// Decisions recorded here:
// - gsts: the global stores mirror the page-1 stores, so 0x18 0x6F is gsts
//   indexed (as sts is at 0x6F) and 0x18 0x7F gsts extended (as sts is at
//   0x7F), like every other gst*. The GNU disassembler reads 0x18 0x6F as
//   extended and 0x18 0x7F as trap; the instruction set's regularity wins.
//   (The GNU assembler, for its part, already encodes gsts indexed as 0x18 0x6F.)
// - 0x18 0x38 has no entry, so that page-2 opcode is undefined; pulcw keeps
//   its name in the mnemonic table.
// - An alias right after a page-1-only entry is what the grouping rule finds
//   behind the prefix: 0x18 0x59 reads as lsld and 0x18 0xB7 as exg/sex/tfr.
// - The loop primitives (0x04) and exg/sex/tfr (0xB7) carry the register
//   postbyte mode; the postbyte picks one of their entries.
// - 0x18 on page 1 is the prefix; its entry only keeps the page-2 maxa behind
//   it reachable by the grouping rule and is never executed.
// - rev, revw, wav and the resume opcode 0x3C keep the reference's loop
//   notation; only the counted letters cost cycles, once per element executed.
// - The unimplemented-opcode trap is not in the table; those opcodes stay undefined.
#pragma once
#include "sim/opcodes.h"

namespace tav {
namespace opcode_table_rows {
using namespace opd;
using H = Handler;

inline constexpr OpcodeEntry kRows[kOpcodeCount] = {
  {0x00, 1, Mn::bgnd,       INH,                        H::Misc,        "VfPPP"},
  {0x00, 2, Mn::movw,       MOVE(IMM, IDX),             H::Moves,       "XW"},
  {0x01, 1, Mn::mem,        INH,                        H::Fuzzy,       "RRfOw"},
  {0x01, 2, Mn::movw,       MOVE(EXT, IDX),             H::Moves,       "XW"},
  {0x02, 1, Mn::iny,        INHY | R_Y,                 H::Misc,        "O"},
  {0x02, 2, Mn::movw,       MOVE(IDX, IDX),             H::Moves,       "XW"},
  {0x03, 1, Mn::dey,        INHY | R_Y,                 H::Misc,        "O"},
  {0x03, 2, Mn::movw,       MOVE(IMM, EXT),             H::Moves,       "XW"},
  {0x04, 1, Mn::dbeq,       REG | REL,                  H::Flow,        "PPP/PPO"},
  {0x04, 2, Mn::movw,       MOVE(EXT, EXT),             H::Moves,       "XW"},
  {0x04, 1, Mn::dbne,       REG | REL,                  H::Flow,        "PPP/PPO"},
  {0x04, 1, Mn::ibeq,       REG | REL,                  H::Flow,        "PPP/PPO"},
  {0x04, 1, Mn::ibne,       REG | REL,                  H::Flow,        "PPP/PPO"},
  {0x04, 1, Mn::tbeq,       REG | REL,                  H::Flow,        "PPP/PPO"},
  {0x04, 1, Mn::tbne,       REG | REL,                  H::Flow,        "PPP/PPO"},
  {0x05, 1, Mn::jmp,        IDX,                        H::Flow,        "PPP/PPP/fPPP/fIfPPP/fIfPPP"},
  {0x05, 2, Mn::movw,       MOVE(IDX, EXT),             H::Moves,       "XW"},
  {0x06, 1, Mn::jmp,        EXT,                        H::Flow,        "PPP"},
  {0x06, 2, Mn::aba,        INH | R_A,                  H::Arith8,      "OO"},
  {0x07, 1, Mn::bsr,        INH | REL,                  H::Flow,        "SPPP"},
  {0x07, 2, Mn::daa,        INH | R_A,                  H::Misc,        "OfO"},
  {0x08, 1, Mn::inx,        INHX | R_X,                 H::Misc,        "O"},
  {0x08, 2, Mn::movb,       MOVE(IMM, IDX),             H::Moves,       "X"},
  {0x09, 1, Mn::dex,        INHX | R_X,                 H::Misc,        "O"},
  {0x09, 2, Mn::movb,       MOVE(EXT, IDX),             H::Moves,       "X"},
  {0x0A, 1, Mn::rtc,        INH,                        H::Stack,       "uUnfPPP"},
  {0x0A, 2, Mn::movb,       MOVE(IDX, IDX),             H::Moves,       "X"},
  {0x0B, 1, Mn::rti,        INH,                        H::Stack,       "uUUUUPPP"},
  {0x0B, 2, Mn::movb,       MOVE(IMM, EXT),             H::Moves,       "X"},
  {0x0C, 1, Mn::bset,       IDX | MASK,                 H::BitOps,      "rPwO/rPwP/frPwPO/fIfrPwO/fIPrPwO"},  // indirect forms derived from the other read-modify-write instructions
  {0x0C, 2, Mn::movb,       MOVE(EXT, EXT),             H::Moves,       "X"},
  {0x0D, 1, Mn::bclr,       IDX | MASK,                 H::BitOps,      "rPwO/rPwP/frPwPO/fIfrPwO/fIPrPwO"},  // indirect forms derived from the other read-modify-write instructions
  {0x0D, 2, Mn::movb,       MOVE(IDX, EXT),             H::Moves,       "X"},
  {0x0E, 1, Mn::brset,      IDX | MASK | REL,           H::Flow,        "rPPP/rfPPP/PrfPPP/fIfrfPPP/fIPrfPPP"},  // indirect forms derived from the 16-bit offset form
  {0x0E, 2, Mn::tab,        INH | R_B,                  H::Transfers,   "OO"},
  {0x0F, 1, Mn::brclr,      IDX | MASK | REL,           H::Flow,        "rPPP/rfPPP/PrfPPP/fIfrfPPP/fIPrfPPP"},  // indirect forms derived from the 16-bit offset form
  {0x0F, 2, Mn::tba,        INH | R_A,                  H::Transfers,   "OO"},
  {0x10, 1, Mn::andcc,      IMM | R_CCR,                H::Misc,        "P"},
  {0x10, 2, Mn::idiv,       INH,                        H::Division,    "OffffffffffO"},
  {0x11, 1, Mn::ediv,       INH,                        H::Division,    "ffffffffffO"},
  {0x11, 2, Mn::fdiv,       INH,                        H::Division,    "OffffffffffO"},
  {0x12, 1, Mn::mul,        INH,                        H::Misc,        "O"},
  {0x12, 2, Mn::emacs,      EXT,                        H::MulAcc,      "ORROfffRRfWWP"},
  {0x13, 1, Mn::emul,       INH,                        H::MulAcc,      "ffO"},
  {0x13, 2, Mn::emuls,      INH,                        H::MulAcc,      "OfO"},
  {0x14, 1, Mn::orcc,       IMM | R_CCR,                H::Misc,        "P"},
  {0x14, 2, Mn::edivs,      INH,                        H::Division,    "OffffffffffO"},
  {0x15, 1, Mn::jsr,        IDX,                        H::Flow,        "PPPS/PPPS/fPPPS/fIfPPPS/fIfPPPS"},
  {0x15, 2, Mn::idivs,      INH,                        H::Division,    "OffffffffffO"},
  {0x16, 1, Mn::jsr,        EXT,                        H::Flow,        "SPPP"},
  {0x16, 2, Mn::sba,        INH | R_A,                  H::Arith8,      "OO"},
  {0x17, 1, Mn::jsr,        DIR,                        H::Flow,        "SPPP"},
  {0x17, 2, Mn::cba,        INH | R_A,                  H::Arith8,      "OO"},
  {0x18, 1, Mn::none,       INH,                        H::Misc,        ""},  // the prefix byte itself; keeps the page-2 entry behind it findable
  {0x18, 2, Mn::maxa,       IDX | R_A,                  H::Fuzzy,       "OrPf/OrPO/OfrPP/OfIfrPf/OfIPrPf"},
  {0x19, 1, Mn::leay,       IDX | R_Y,                  H::Loads,       "Pf/PO/PP/fIfPf/fIPPf"},  // indirect forms derived from jmp
  {0x19, 2, Mn::mina,       IDX | R_A,                  H::Fuzzy,       "OrPf/OrPO/OfrPP/OfIfrPf/OfIPrPf"},
  {0x1A, 1, Mn::leax,       IDX | R_X,                  H::Loads,       "Pf/PO/PP/fIfPf/fIPPf"},  // indirect forms derived from jmp
  {0x1A, 2, Mn::emaxd,      IDX | R_D,                  H::Fuzzy,       "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},
  {0x1B, 1, Mn::leas,       IDX | R_SP,                 H::Loads,       "Pf/PO/PP/fIfPf/fIPPf"},  // indirect forms derived from jmp
  {0x1B, 2, Mn::emind,      IDX | R_D,                  H::Fuzzy,       "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},
  {0x1C, 1, Mn::bset,       EXT | MASK,                 H::BitOps,      "rPwP"},
  {0x1C, 2, Mn::maxm,       IDX | R_A,                  H::Fuzzy,       "OrPw/OrPwO/OfrPwP/OfIfrPw/OfIPrPw"},
  {0x1D, 1, Mn::bclr,       EXT | MASK,                 H::BitOps,      "rPwP"},
  {0x1D, 2, Mn::minm,       IDX | R_A,                  H::Fuzzy,       "OrPw/OrPwO/OfrPwP/OfIfrPw/OfIPrPw"},
  {0x1E, 1, Mn::brset,      EXT | MASK | REL,           H::Flow,        "rfPPP"},
  {0x1E, 2, Mn::emaxm,      IDX | R_D,                  H::Fuzzy,       "ORPW/ORPWO/OfRPWP/OfIfRPW/OfIPRPW"},
  {0x1F, 1, Mn::brclr,      EXT | MASK | REL,           H::Flow,        "rfPPP"},
  {0x1F, 2, Mn::eminm,      IDX | R_D,                  H::Fuzzy,       "ORPW/ORPWO/OfRPWP/OfIfRPW/OfIPRPW"},
  {0x20, 1, Mn::bra,        INH | REL,                  H::Flow,        "PPP"},
  {0x20, 2, Mn::lbra,       INH | REL,                  H::Flow,        "OPPP"},
  {0x21, 1, Mn::brn,        INH | REL,                  H::Flow,        "P"},
  {0x21, 2, Mn::lbrn,       INH | REL,                  H::Flow,        "OPO"},
  {0x22, 1, Mn::bhi,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x22, 2, Mn::lbhi,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x23, 1, Mn::bls,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x23, 2, Mn::lbls,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x24, 1, Mn::bcc,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x24, 2, Mn::lbcc,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x24, 1, Mn::bhs,        INH | REL,                  H::Flow,        "PPP/P"},  // alias of bcc
  {0x24, 2, Mn::lbhs,       INH | REL,                  H::Flow,        "OPPP/OPO"},  // alias of lbcc
  {0x25, 1, Mn::bcs,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x25, 2, Mn::lbcs,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x25, 1, Mn::blo,        INH | REL,                  H::Flow,        "PPP/P"},  // alias of bcs
  {0x25, 2, Mn::lblo,       INH | REL,                  H::Flow,        "OPPP/OPO"},  // alias of lbcs
  {0x26, 1, Mn::bne,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x26, 2, Mn::lbne,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x27, 1, Mn::beq,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x27, 2, Mn::lbeq,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x28, 1, Mn::bvc,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x28, 2, Mn::lbvc,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x29, 1, Mn::bvs,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x29, 2, Mn::lbvs,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x2A, 1, Mn::bpl,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x2A, 2, Mn::lbpl,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x2B, 1, Mn::bmi,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x2B, 2, Mn::lbmi,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x2C, 1, Mn::bge,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x2C, 2, Mn::lbge,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x2D, 1, Mn::blt,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x2D, 2, Mn::lblt,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x2E, 1, Mn::bgt,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x2E, 2, Mn::lbgt,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x2F, 1, Mn::ble,        INH | REL,                  H::Flow,        "PPP/P"},
  {0x2F, 2, Mn::lble,       INH | REL,                  H::Flow,        "OPPP/OPO"},
  {0x30, 1, Mn::pulx,       INH | R_X,                  H::Stack,       "UfO"},
  {0x31, 1, Mn::puly,       INH | R_Y,                  H::Stack,       "UfO"},
  {0x32, 1, Mn::pula,       INH | R_A,                  H::Stack,       "ufO"},
  {0x33, 1, Mn::pulb,       INH | R_B,                  H::Stack,       "ufO"},
  {0x34, 1, Mn::pshx,       INH | R_X,                  H::Stack,       "OS"},
  {0x35, 1, Mn::pshy,       INH | R_Y,                  H::Stack,       "OS"},
  {0x35, 2, Mn::btas,       DIR | MASK,                 H::BitOps,      "OrPwO"},  // derived from bset
  {0x36, 1, Mn::psha,       INH | R_A,                  H::Stack,       "Os"},
  {0x36, 2, Mn::btas,       EXT | MASK,                 H::BitOps,      "OrPwP"},  // derived from bset
  {0x37, 1, Mn::pshb,       INH | R_B,                  H::Stack,       "Os"},
  {0x37, 2, Mn::btas,       IDX | MASK,                 H::BitOps,      "OrPwO/OrPwP/OfrPwPO/OfIfrPwO/OfIPrPwO"},  // derived from bset
  {0x38, 1, Mn::pulc,       INH | R_CCR,                H::Stack,       "ufO"},
  {0x39, 1, Mn::pshc,       INH | R_CCR,                H::Stack,       "Os"},
  {0x39, 2, Mn::pshcw,      INH | R_CCRW,               H::Stack,       "OOS"},  // derived from pshc with a word push
  {0x3A, 1, Mn::puld,       INH | R_D,                  H::Stack,       "UfO"},
  {0x3A, 2, Mn::rev,        INH,                        H::Fuzzy,       "Orf(t,tx)O"},
  {0x3B, 1, Mn::pshd,       INH | R_D,                  H::Stack,       "OS"},
  {0x3B, 2, Mn::revw,       INH,                        H::Fuzzy,       "ORf(t,Tx)O"},
  {0x3C, 1, Mn::wavi,       INH,                        H::Fuzzy,       "UUUrr,ffff(frr,ffff)O"},  // resumes an interrupted wav (the reference calls it wavr)
  {0x3C, 2, Mn::wav,        INH,                        H::Fuzzy,       "Of(frr,ffff)O"},
  {0x3D, 1, Mn::rts,        INH,                        H::Stack,       "UfPPP"},
  {0x3D, 2, Mn::tbl,        IDX | R_A,                  H::Fuzzy,       "ORfffP/ORfffP/OfRfffP/OfIfRfffP/OfIPRfffP"},  // only the short form is documented; the others add the usual offset and indirect cycles
  {0x3E, 1, Mn::wai,        INH,                        H::Misc,        "OSSSSsf"},
  {0x3E, 2, Mn::stop,       INH,                        H::Misc,        "OOSSSSsf"},
  {0x3F, 1, Mn::swi,        INH,                        H::Stack,       "VSPSSPSsP"},
  {0x3F, 2, Mn::etbl,       IDX | R_D,                  H::Fuzzy,       "ORRffffffP/ORRffffffP/OfRRffffffP/OfIfRRffffffP/OfIPRRffffffP"},  // only the short form is documented; the others add the usual offset and indirect cycles
  {0x40, 1, Mn::nega,       INHA | R_A,                 H::Rmw8,        "O"},
  {0x40, 2, Mn::negx,       INHX | R_X,                 H::Rmw16,       "OO"},  // derived from nega
  {0x41, 1, Mn::coma,       INHA | R_A,                 H::Rmw8,        "O"},
  {0x41, 2, Mn::comx,       INHX | R_X,                 H::Rmw16,       "OO"},  // derived from coma
  {0x42, 1, Mn::inca,       INHA | R_A,                 H::Rmw8,        "O"},
  {0x42, 2, Mn::incx,       INHX | R_X,                 H::Rmw16,       "OO"},  // derived from inca
  {0x43, 1, Mn::deca,       INHA | R_A,                 H::Rmw8,        "O"},
  {0x43, 2, Mn::decx,       INHX | R_X,                 H::Rmw16,       "OO"},  // derived from deca
  {0x44, 1, Mn::lsra,       INHA | R_A,                 H::Rmw8,        "O"},
  {0x44, 2, Mn::lsrx,       INHX | R_X,                 H::Rmw16,       "OO"},  // derived from lsra
  {0x45, 1, Mn::rola,       INHA | R_A,                 H::Rmw8,        "O"},
  {0x45, 2, Mn::rolx,       INHX | R_X,                 H::Rmw16,       "OO"},  // derived from rola
  {0x46, 1, Mn::rora,       INHA | R_A,                 H::Rmw8,        "O"},
  {0x46, 2, Mn::rorx,       INHX | R_X,                 H::Rmw16,       "OO"},  // derived from rora
  {0x47, 1, Mn::asra,       INHA | R_A,                 H::Rmw8,        "O"},
  {0x47, 2, Mn::asrx,       INHX | R_X,                 H::Rmw16,       "OO"},  // derived from asra
  {0x48, 1, Mn::asla,       INHA | R_A,                 H::Rmw8,        "O"},
  {0x48, 2, Mn::aslx,       INHX | R_X,                 H::Rmw16,       "OO"},  // derived from asla
  {0x48, 1, Mn::lsla,       INHA | R_A,                 H::Rmw8,        "O"},  // alias of asla
  {0x48, 2, Mn::lslx,       INHX | R_X,                 H::Rmw16,       "OO"},  // alias of aslx
  {0x49, 1, Mn::lsrd,       INH | R_D,                  H::Rmw16,       "O"},
  {0x4A, 1, Mn::call,       EXT | MASK,                 H::Flow,        "gnSsPPP"},
  {0x4B, 1, Mn::call,       IDX | MASK,                 H::Flow,        "gnSsPPP/gnSsPPP/fgnSsPPP/fIignSsPPP/fIignSsPPP"},
  {0x4C, 1, Mn::bset,       DIR | MASK,                 H::BitOps,      "rPwO"},
  {0x4D, 1, Mn::bclr,       DIR | MASK,                 H::BitOps,      "rPwO"},
  {0x4E, 1, Mn::brset,      DIR | MASK | REL,           H::Flow,        "rPPP"},
  {0x4F, 1, Mn::brclr,      DIR | MASK | REL,           H::Flow,        "rPPP"},
  {0x50, 1, Mn::negb,       INHB | R_B,                 H::Rmw8,        "O"},
  {0x50, 2, Mn::negy,       INHY | R_Y,                 H::Rmw16,       "OO"},  // derived from nega
  {0x51, 1, Mn::comb,       INHB | R_B,                 H::Rmw8,        "O"},
  {0x51, 2, Mn::comy,       INHY | R_Y,                 H::Rmw16,       "OO"},  // derived from coma
  {0x52, 1, Mn::incb,       INHB | R_B,                 H::Rmw8,        "O"},
  {0x52, 2, Mn::incy,       INHY | R_Y,                 H::Rmw16,       "OO"},  // derived from inca
  {0x53, 1, Mn::decb,       INHB | R_B,                 H::Rmw8,        "O"},
  {0x53, 2, Mn::decy,       INHY | R_Y,                 H::Rmw16,       "OO"},  // derived from deca
  {0x54, 1, Mn::lsrb,       INHB | R_B,                 H::Rmw8,        "O"},
  {0x54, 2, Mn::lsry,       INHY | R_Y,                 H::Rmw16,       "OO"},  // derived from lsra
  {0x55, 1, Mn::rolb,       INHB | R_B,                 H::Rmw8,        "O"},
  {0x55, 2, Mn::roly,       INHY | R_Y,                 H::Rmw16,       "OO"},  // derived from rola
  {0x56, 1, Mn::rorb,       INHB | R_B,                 H::Rmw8,        "O"},
  {0x56, 2, Mn::rory,       INHY | R_Y,                 H::Rmw16,       "OO"},  // derived from rora
  {0x57, 1, Mn::asrb,       INHB | R_B,                 H::Rmw8,        "O"},
  {0x57, 2, Mn::asry,       INHY | R_Y,                 H::Rmw16,       "OO"},  // derived from asra
  {0x58, 1, Mn::aslb,       INHB | R_B,                 H::Rmw8,        "O"},
  {0x58, 2, Mn::asly,       INHY | R_Y,                 H::Rmw16,       "OO"},  // derived from asla
  {0x58, 1, Mn::lslb,       INHB | R_B,                 H::Rmw8,        "O"},  // alias of aslb
  {0x58, 2, Mn::lsly,       INHY | R_Y,                 H::Rmw16,       "OO"},  // alias of asly
  {0x59, 1, Mn::asld,       INH | R_D,                  H::Rmw16,       "O"},
  {0x59, 1, Mn::lsld,       INH | R_D,                  H::Rmw16,       "O"},  // alias of asld
  {0x5A, 1, Mn::staa,       DIR | R_A,                  H::Stores,      "Pw"},
  {0x5A, 2, Mn::gstaa,      DIR | R_A,                  H::Stores,      "OPw"},  // derived from staa
  {0x5B, 1, Mn::stab,       DIR | R_B,                  H::Stores,      "Pw"},
  {0x5B, 2, Mn::gstab,      DIR | R_B,                  H::Stores,      "OPw"},  // derived from stab
  {0x5C, 1, Mn::std,        DIR | R_D,                  H::Stores,      "PW"},
  {0x5C, 2, Mn::gstd,       DIR | R_D,                  H::Stores,      "OPW"},  // derived from std
  {0x5D, 1, Mn::sty,        DIR | R_Y,                  H::Stores,      "PW"},
  {0x5D, 2, Mn::gsty,       DIR | R_Y,                  H::Stores,      "OPW"},  // derived from sty
  {0x5E, 1, Mn::stx,        DIR | R_X,                  H::Stores,      "PW"},
  {0x5E, 2, Mn::gstx,       DIR | R_X,                  H::Stores,      "OPW"},  // derived from stx
  {0x5F, 1, Mn::sts,        DIR | R_SP,                 H::Stores,      "PW"},
  {0x5F, 2, Mn::gsts,       DIR | R_SP,                 H::Stores,      "OPW"},  // derived from sts
  {0x60, 1, Mn::neg,        IDX | MEM8,                 H::Rmw8,        "rPw/rPwO/frPwP/fIfrPw/fIPrPw"},
  {0x60, 2, Mn::negw,       IDX | MEM16,                H::Rmw16,       "ORPW/ORPWO/OfRPWP/OfIfRPW/OfIPRPW"},  // derived from neg
  {0x61, 1, Mn::com,        IDX | MEM8,                 H::Rmw8,        "rPw/rPwO/frPwP/fIfrPw/fIPrPw"},
  {0x61, 2, Mn::comw,       IDX | MEM16,                H::Rmw16,       "ORPW/ORPWO/OfRPWP/OfIfRPW/OfIPRPW"},  // derived from com
  {0x62, 1, Mn::inc,        IDX | MEM8,                 H::Rmw8,        "rPw/rPwO/frPwP/fIfrPw/fIPrPw"},
  {0x62, 2, Mn::incw,       IDX | MEM16,                H::Rmw16,       "ORPW/ORPWO/OfRPWP/OfIfRPW/OfIPRPW"},  // derived from inc
  {0x63, 1, Mn::dec,        IDX | MEM8,                 H::Rmw8,        "rPw/rPwO/frPwP/fIfrPw/fIPrPw"},
  {0x63, 2, Mn::decw,       IDX | MEM16,                H::Rmw16,       "ORPW/ORPWO/OfRPWP/OfIfRPW/OfIPRPW"},  // derived from dec
  {0x64, 1, Mn::lsr,        IDX | MEM8,                 H::Rmw8,        "rPw/rPwO/frPwP/fIfrPw/fIPrPw"},
  {0x64, 2, Mn::lsrw,       IDX | MEM16,                H::Rmw16,       "ORPW/ORPWO/OfRPWP/OfIfRPW/OfIPRPW"},  // derived from lsr
  {0x65, 1, Mn::rol,        IDX | MEM8,                 H::Rmw8,        "rPw/rPwO/frPwP/fIfrPw/fIPrPw"},
  {0x65, 2, Mn::rolw,       IDX | MEM16,                H::Rmw16,       "ORPW/ORPWO/OfRPWP/OfIfRPW/OfIPRPW"},  // derived from rol
  {0x66, 1, Mn::ror,        IDX | MEM8,                 H::Rmw8,        "rPw/rPwO/frPwP/fIfrPw/fIPrPw"},
  {0x66, 2, Mn::rorw,       IDX | MEM16,                H::Rmw16,       "ORPW/ORPWO/OfRPWP/OfIfRPW/OfIPRPW"},  // derived from ror
  {0x67, 1, Mn::asr,        IDX | MEM8,                 H::Rmw8,        "rPw/rPwO/frPwP/fIfrPw/fIPrPw"},
  {0x67, 2, Mn::asrw,       IDX | MEM16,                H::Rmw16,       "ORPW/ORPWO/OfRPWP/OfIfRPW/OfIPRPW"},  // derived from asr
  {0x68, 1, Mn::asl,        IDX | MEM8,                 H::Rmw8,        "rPw/rPwO/frPwP/fIfrPw/fIPrPw"},
  {0x68, 2, Mn::aslw,       IDX | MEM16,                H::Rmw16,       "ORPW/ORPWO/OfRPWP/OfIfRPW/OfIPRPW"},  // derived from asl
  {0x68, 1, Mn::lsl,        IDX | MEM8,                 H::Rmw8,        "rPw/rPwO/frPwP/fIfrPw/fIPrPw"},  // alias of asl
  {0x68, 2, Mn::lslw,       IDX | MEM16,                H::Rmw16,       "ORPW/ORPWO/OfRPWP/OfIfRPW/OfIPRPW"},  // alias of aslw
  {0x69, 1, Mn::clr,        IDX | MEM8,                 H::Rmw8,        "Pw/PwO/PwP/PIfw/PIPw"},
  {0x69, 2, Mn::clrw,       IDX | MEM16,                H::Rmw16,       "OPW/OPWO/OPWP/OPIfW/OPIPW"},  // derived from clr
  {0x6A, 1, Mn::staa,       IDX | R_A,                  H::Stores,      "Pw/PwO/PwP/PIfw/PIPw"},
  {0x6A, 2, Mn::gstaa,      IDX | R_A,                  H::Stores,      "OPw/OPwO/OPwP/OPIfw/OPIPw"},  // derived from staa
  {0x6B, 1, Mn::stab,       IDX | R_B,                  H::Stores,      "Pw/PwO/PwP/PIfw/PIPw"},
  {0x6B, 2, Mn::gstab,      IDX | R_B,                  H::Stores,      "OPw/OPwO/OPwP/OPIfw/OPIPw"},  // derived from stab
  {0x6C, 1, Mn::std,        IDX | R_D,                  H::Stores,      "PW/PWO/PWP/PIfW/PIPW"},
  {0x6C, 2, Mn::gstd,       IDX | R_D,                  H::Stores,      "OPW/OPWO/OPWP/OPIfW/OPIPW"},  // derived from std
  {0x6D, 1, Mn::sty,        IDX | R_Y,                  H::Stores,      "PW/PWO/PWP/PIfW/PIPW"},
  {0x6D, 2, Mn::gsty,       IDX | R_Y,                  H::Stores,      "OPW/OPWO/OPWP/OPIfW/OPIPW"},  // derived from sty
  {0x6E, 1, Mn::stx,        IDX | R_X,                  H::Stores,      "PW/PWO/PWP/PIfW/PIPW"},
  {0x6E, 2, Mn::gstx,       IDX | R_X,                  H::Stores,      "OPW/OPWO/OPWP/OPIfW/OPIPW"},  // derived from stx
  {0x6F, 1, Mn::sts,        IDX | R_SP,                 H::Stores,      "PW/PWO/PWP/PIfW/PIPW"},
  {0x6F, 2, Mn::gsts,       IDX | R_SP,                 H::Stores,      "OPW/OPWO/OPWP/OPIfW/OPIPW"},  // derived from sts; see the note on gsts
  {0x70, 1, Mn::neg,        EXT | MEM8,                 H::Rmw8,        "rPwO"},
  {0x70, 2, Mn::negw,       EXT | MEM16,                H::Rmw16,       "ORPWO"},  // derived from neg
  {0x71, 1, Mn::com,        EXT | MEM8,                 H::Rmw8,        "rPwO"},
  {0x71, 2, Mn::comw,       EXT | MEM16,                H::Rmw16,       "ORPWO"},  // derived from com
  {0x72, 1, Mn::inc,        EXT | MEM8,                 H::Rmw8,        "rPwO"},
  {0x72, 2, Mn::incw,       EXT | MEM16,                H::Rmw16,       "ORPWO"},  // derived from inc
  {0x73, 1, Mn::dec,        EXT | MEM8,                 H::Rmw8,        "rPwO"},
  {0x73, 2, Mn::decw,       EXT | MEM16,                H::Rmw16,       "ORPWO"},  // derived from dec
  {0x74, 1, Mn::lsr,        EXT | MEM8,                 H::Rmw8,        "rPwO"},
  {0x74, 2, Mn::lsrw,       EXT | MEM16,                H::Rmw16,       "ORPWO"},  // derived from lsr
  {0x75, 1, Mn::rol,        EXT | MEM8,                 H::Rmw8,        "rPwO"},
  {0x75, 2, Mn::rolw,       EXT | MEM16,                H::Rmw16,       "ORPWO"},  // derived from rol
  {0x76, 1, Mn::ror,        EXT | MEM8,                 H::Rmw8,        "rPwO"},
  {0x76, 2, Mn::rorw,       EXT | MEM16,                H::Rmw16,       "ORPWO"},  // derived from ror
  {0x77, 1, Mn::asr,        EXT | MEM8,                 H::Rmw8,        "rPwO"},
  {0x77, 2, Mn::asrw,       EXT | MEM16,                H::Rmw16,       "ORPWO"},  // derived from asr
  {0x78, 1, Mn::asl,        EXT | MEM8,                 H::Rmw8,        "rPwO"},
  {0x78, 2, Mn::aslw,       EXT | MEM16,                H::Rmw16,       "ORPWO"},  // derived from asl
  {0x78, 1, Mn::lsl,        EXT | MEM8,                 H::Rmw8,        "rPwO"},  // alias of asl
  {0x78, 2, Mn::lslw,       EXT | MEM16,                H::Rmw16,       "ORPWO"},  // alias of aslw
  {0x79, 1, Mn::clr,        EXT | MEM8,                 H::Rmw8,        "PwO"},
  {0x79, 2, Mn::clrw,       EXT | MEM16,                H::Rmw16,       "OPWO"},  // derived from clr
  {0x7A, 1, Mn::staa,       EXT | R_A,                  H::Stores,      "PwO"},
  {0x7A, 2, Mn::gstaa,      EXT | R_A,                  H::Stores,      "OPwO"},  // derived from staa
  {0x7B, 1, Mn::stab,       EXT | R_B,                  H::Stores,      "PwO"},
  {0x7B, 2, Mn::gstab,      EXT | R_B,                  H::Stores,      "OPwO"},  // derived from stab
  {0x7C, 1, Mn::std,        EXT | R_D,                  H::Stores,      "PWO"},
  {0x7C, 2, Mn::gstd,       EXT | R_D,                  H::Stores,      "OPWO"},  // derived from std
  {0x7D, 1, Mn::sty,        EXT | R_Y,                  H::Stores,      "PWO"},
  {0x7D, 2, Mn::gsty,       EXT | R_Y,                  H::Stores,      "OPWO"},  // derived from sty
  {0x7E, 1, Mn::stx,        EXT | R_X,                  H::Stores,      "PWO"},
  {0x7E, 2, Mn::gstx,       EXT | R_X,                  H::Stores,      "OPWO"},  // derived from stx
  {0x7F, 1, Mn::sts,        EXT | R_SP,                 H::Stores,      "PWO"},
  {0x7F, 2, Mn::gsts,       EXT | R_SP,                 H::Stores,      "OPWO"},  // derived from sts; see the note on gsts
  {0x80, 1, Mn::suba,       IMM | R_A,                  H::Arith8,      "P"},
  {0x80, 2, Mn::subx,       IMM | R_X,                  H::Arith16,     "OPO"},  // derived from subd
  {0x81, 1, Mn::cmpa,       IMM | R_A,                  H::Arith8,      "P"},
  {0x82, 1, Mn::sbca,       IMM | R_A,                  H::Arith8,      "P"},
  {0x82, 2, Mn::sbex,       IMM | R_X,                  H::Arith16,     "OPO"},  // derived from subd
  {0x83, 1, Mn::subd,       IMM | R_D,                  H::Arith16,     "PO"},
  {0x83, 2, Mn::sbed,       IMM | R_D,                  H::Arith16,     "OPO"},  // derived from subd
  {0x84, 1, Mn::anda,       IMM | R_A,                  H::Arith8,      "P"},
  {0x84, 2, Mn::andx,       IMM | R_X,                  H::Arith16,     "OPO"},  // derived from subd
  {0x85, 1, Mn::bita,       IMM | R_A,                  H::Arith8,      "P"},
  {0x85, 2, Mn::bitx,       IMM | R_X,                  H::Arith16,     "OPO"},  // derived from subd
  {0x86, 1, Mn::ldaa,       IMM | R_A,                  H::Loads,       "P"},
  {0x87, 1, Mn::clra,       INHA | R_A,                 H::Rmw8,        "O"},
  {0x87, 2, Mn::clrx,       INHX | R_X,                 H::Rmw16,       "OO"},  // derived from clra
  {0x88, 1, Mn::eora,       IMM | R_A,                  H::Arith8,      "P"},
  {0x88, 2, Mn::eorx,       IMM | R_X,                  H::Arith16,     "OPO"},  // derived from subd
  {0x89, 1, Mn::adca,       IMM | R_A,                  H::Arith8,      "P"},
  {0x89, 2, Mn::adex,       IMM | R_X,                  H::Arith16,     "OPO"},  // derived from addd
  {0x8A, 1, Mn::oraa,       IMM | R_A,                  H::Arith8,      "P"},
  {0x8A, 2, Mn::orx,        IMM | R_X,                  H::Arith16,     "OPO"},  // derived from subd
  {0x8B, 1, Mn::adda,       IMM | R_A,                  H::Arith8,      "P"},
  {0x8B, 2, Mn::addx,       IMM | R_X,                  H::Arith16,     "OPO"},  // derived from addd
  {0x8C, 1, Mn::cpd,        IMM | R_D,                  H::Arith16,     "PO"},
  {0x8C, 2, Mn::cped,       IMM | R_D,                  H::Arith16,     "OPO"},  // derived from cpd
  {0x8D, 1, Mn::cpy,        IMM | R_Y,                  H::Arith16,     "PO"},
  {0x8D, 2, Mn::cpey,       IMM | R_Y,                  H::Arith16,     "OPO"},  // derived from cpd
  {0x8E, 1, Mn::cpx,        IMM | R_X,                  H::Arith16,     "PO"},
  {0x8E, 2, Mn::cpex,       IMM | R_X,                  H::Arith16,     "OPO"},  // derived from cpd
  {0x8F, 1, Mn::cps,        IMM | R_SP,                 H::Arith16,     "PO"},
  {0x8F, 2, Mn::cpes,       IMM | R_SP,                 H::Arith16,     "OPO"},  // derived from cpd
  {0x90, 1, Mn::suba,       DIR | R_A,                  H::Arith8,      "rPf"},
  {0x90, 2, Mn::subx,       DIR | R_X,                  H::Arith16,     "ORPf"},  // derived from subd
  {0x91, 1, Mn::cmpa,       DIR | R_A,                  H::Arith8,      "rPf"},
  {0x92, 1, Mn::sbca,       DIR | R_A,                  H::Arith8,      "rPf"},
  {0x92, 2, Mn::sbex,       DIR | R_X,                  H::Arith16,     "ORPf"},  // derived from subd
  {0x93, 1, Mn::subd,       DIR | R_D,                  H::Arith16,     "RPf"},
  {0x93, 2, Mn::sbed,       DIR | R_D,                  H::Arith16,     "ORPf"},  // derived from subd
  {0x94, 1, Mn::anda,       DIR | R_A,                  H::Arith8,      "rPf"},
  {0x94, 2, Mn::andx,       DIR | R_X,                  H::Arith16,     "ORPf"},  // derived from subd
  {0x95, 1, Mn::bita,       DIR | R_A,                  H::Arith8,      "rPf"},
  {0x95, 2, Mn::bitx,       DIR | R_X,                  H::Arith16,     "ORPf"},  // derived from subd
  {0x96, 1, Mn::ldaa,       DIR | R_A,                  H::Loads,       "rPf"},
  {0x96, 2, Mn::gldaa,      DIR | R_A,                  H::Loads,       "OrPf"},  // derived from ldaa
  {0x97, 1, Mn::tsta,       INHA | R_A,                 H::Rmw8,        "O"},
  {0x97, 2, Mn::tstx,       INHX | R_X,                 H::Rmw16,       "OO"},  // derived from tsta
  {0x98, 1, Mn::eora,       DIR | R_A,                  H::Arith8,      "rPf"},
  {0x98, 2, Mn::eorx,       DIR | R_X,                  H::Arith16,     "ORPf"},  // derived from subd
  {0x99, 1, Mn::adca,       DIR | R_A,                  H::Arith8,      "rPf"},
  {0x99, 2, Mn::adex,       DIR | R_X,                  H::Arith16,     "ORPf"},  // derived from addd
  {0x9A, 1, Mn::oraa,       DIR | R_A,                  H::Arith8,      "rPf"},
  {0x9A, 2, Mn::orx,        DIR | R_X,                  H::Arith16,     "ORPf"},  // derived from subd
  {0x9B, 1, Mn::adda,       DIR | R_A,                  H::Arith8,      "rPf"},
  {0x9B, 2, Mn::addx,       DIR | R_X,                  H::Arith16,     "ORPf"},  // derived from addd
  {0x9C, 1, Mn::cpd,        DIR | R_D,                  H::Arith16,     "RPf"},
  {0x9C, 2, Mn::cped,       DIR | R_D,                  H::Arith16,     "ORPf"},  // derived from cpd
  {0x9D, 1, Mn::cpy,        DIR | R_Y,                  H::Arith16,     "RPf"},
  {0x9D, 2, Mn::cpey,       DIR | R_Y,                  H::Arith16,     "ORPf"},  // derived from cpd
  {0x9E, 1, Mn::cpx,        DIR | R_X,                  H::Arith16,     "RPf"},
  {0x9E, 2, Mn::cpex,       DIR | R_X,                  H::Arith16,     "ORPf"},  // derived from cpd
  {0x9F, 1, Mn::cps,        DIR | R_SP,                 H::Arith16,     "RPf"},
  {0x9F, 2, Mn::cpes,       DIR | R_SP,                 H::Arith16,     "ORPf"},  // derived from cpd
  {0xA0, 1, Mn::suba,       IDX | R_A,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xA0, 2, Mn::subx,       IDX | R_X,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from subd
  {0xA1, 1, Mn::cmpa,       IDX | R_A,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xA2, 1, Mn::sbca,       IDX | R_A,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xA2, 2, Mn::sbex,       IDX | R_X,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from subd
  {0xA3, 1, Mn::subd,       IDX | R_D,                  H::Arith16,     "RPf/RPO/fRPP/fIfRPf/fIPRPf"},
  {0xA3, 2, Mn::sbed,       IDX | R_D,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from subd
  {0xA4, 1, Mn::anda,       IDX | R_A,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xA4, 2, Mn::andx,       IDX | R_X,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from subd
  {0xA5, 1, Mn::bita,       IDX | R_A,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xA5, 2, Mn::bitx,       IDX | R_X,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from subd
  {0xA6, 1, Mn::ldaa,       IDX | R_A,                  H::Loads,       "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xA6, 2, Mn::gldaa,      IDX | R_A,                  H::Loads,       "OrPf/OrPO/OfrPP/OfIfrPf/OfIPrPf"},  // derived from ldaa
  {0xA7, 1, Mn::nop,        INH,                        H::Misc,        "O"},
  {0xA7, 2, Mn::sys,        INH,                        H::Stack,       "OVSPSSPSsP"},  // derived from swi
  {0xA8, 1, Mn::eora,       IDX | R_A,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xA8, 2, Mn::eorx,       IDX | R_X,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from subd
  {0xA9, 1, Mn::adca,       IDX | R_A,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xA9, 2, Mn::adex,       IDX | R_X,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from addd
  {0xAA, 1, Mn::oraa,       IDX | R_A,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xAA, 2, Mn::orx,        IDX | R_X,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from subd
  {0xAB, 1, Mn::adda,       IDX | R_A,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xAB, 2, Mn::addx,       IDX | R_X,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from addd
  {0xAC, 1, Mn::cpd,        IDX | R_D,                  H::Arith16,     "RPf/RPO/fRPP/fIfRPf/fIPRPf"},
  {0xAC, 2, Mn::cped,       IDX | R_D,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from cpd
  {0xAD, 1, Mn::cpy,        IDX | R_Y,                  H::Arith16,     "RPf/RPO/fRPP/fIfRPf/fIPRPf"},
  {0xAD, 2, Mn::cpey,       IDX | R_Y,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from cpd
  {0xAE, 1, Mn::cpx,        IDX | R_X,                  H::Arith16,     "RPf/RPO/fRPP/fIfRPf/fIPRPf"},
  {0xAE, 2, Mn::cpex,       IDX | R_X,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from cpd
  {0xAF, 1, Mn::cps,        IDX | R_SP,                 H::Arith16,     "RPf/RPO/fRPP/fIfRPf/fIPRPf"},
  {0xAF, 2, Mn::cpes,       IDX | R_SP,                 H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from cpd
  {0xB0, 1, Mn::suba,       EXT | R_A,                  H::Arith8,      "rPO"},
  {0xB0, 2, Mn::subx,       EXT | R_X,                  H::Arith16,     "ORPO"},  // derived from subd
  {0xB1, 1, Mn::cmpa,       EXT | R_A,                  H::Arith8,      "rPO"},
  {0xB2, 1, Mn::sbca,       EXT | R_A,                  H::Arith8,      "rPO"},
  {0xB2, 2, Mn::sbex,       EXT | R_X,                  H::Arith16,     "ORPO"},  // derived from subd
  {0xB3, 1, Mn::subd,       EXT | R_D,                  H::Arith16,     "RPO"},
  {0xB3, 2, Mn::sbed,       EXT | R_D,                  H::Arith16,     "ORPO"},  // derived from subd
  {0xB4, 1, Mn::anda,       EXT | R_A,                  H::Arith8,      "rPO"},
  {0xB4, 2, Mn::andx,       EXT | R_X,                  H::Arith16,     "ORPO"},  // derived from subd
  {0xB5, 1, Mn::bita,       EXT | R_A,                  H::Arith8,      "rPO"},
  {0xB5, 2, Mn::bitx,       EXT | R_X,                  H::Arith16,     "ORPO"},  // derived from subd
  {0xB6, 1, Mn::ldaa,       EXT | R_A,                  H::Loads,       "rPO"},
  {0xB6, 2, Mn::gldaa,      EXT | R_A,                  H::Loads,       "OrPO"},  // derived from ldaa
  {0xB7, 1, Mn::exg,        REG,                        H::Transfers,   "P"},
  {0xB7, 1, Mn::sex,        REG,                        H::Transfers,   "P"},
  {0xB7, 1, Mn::tfr,        REG,                        H::Transfers,   "P"},
  {0xB8, 1, Mn::eora,       EXT | R_A,                  H::Arith8,      "rPO"},
  {0xB8, 2, Mn::eorx,       EXT | R_X,                  H::Arith16,     "ORPO"},  // derived from subd
  {0xB9, 1, Mn::adca,       EXT | R_A,                  H::Arith8,      "rPO"},
  {0xB9, 2, Mn::adex,       EXT | R_X,                  H::Arith16,     "ORPO"},  // derived from addd
  {0xBA, 1, Mn::oraa,       EXT | R_A,                  H::Arith8,      "rPO"},
  {0xBA, 2, Mn::orx,        EXT | R_X,                  H::Arith16,     "ORPO"},  // derived from subd
  {0xBB, 1, Mn::adda,       EXT | R_A,                  H::Arith8,      "rPO"},
  {0xBB, 2, Mn::addx,       EXT | R_X,                  H::Arith16,     "ORPO"},  // derived from addd
  {0xBC, 1, Mn::cpd,        EXT | R_D,                  H::Arith16,     "RPO"},
  {0xBC, 2, Mn::cped,       EXT | R_D,                  H::Arith16,     "ORPO"},  // derived from cpd
  {0xBD, 1, Mn::cpy,        EXT | R_Y,                  H::Arith16,     "RPO"},
  {0xBD, 2, Mn::cpey,       EXT | R_Y,                  H::Arith16,     "ORPO"},  // derived from cpd
  {0xBE, 1, Mn::cpx,        EXT | R_X,                  H::Arith16,     "RPO"},
  {0xBE, 2, Mn::cpex,       EXT | R_X,                  H::Arith16,     "ORPO"},  // derived from cpd
  {0xBF, 1, Mn::cps,        EXT | R_SP,                 H::Arith16,     "RPO"},
  {0xBF, 2, Mn::cpes,       EXT | R_SP,                 H::Arith16,     "ORPO"},  // derived from cpd
  {0xC0, 1, Mn::subb,       IMM | R_B,                  H::Arith8,      "P"},
  {0xC0, 2, Mn::suby,       IMM | R_Y,                  H::Arith16,     "OPO"},  // derived from subd
  {0xC1, 1, Mn::cmpb,       IMM | R_B,                  H::Arith8,      "P"},
  {0xC2, 1, Mn::sbcb,       IMM | R_B,                  H::Arith8,      "P"},
  {0xC2, 2, Mn::sbey,       IMM | R_Y,                  H::Arith16,     "OPO"},  // derived from subd
  {0xC3, 1, Mn::addd,       IMM | R_D,                  H::Arith16,     "PO"},
  {0xC3, 2, Mn::aded,       IMM | R_D,                  H::Arith16,     "OPO"},  // derived from addd
  {0xC4, 1, Mn::andb,       IMM | R_B,                  H::Arith8,      "P"},
  {0xC4, 2, Mn::andy,       IMM | R_Y,                  H::Arith16,     "OPO"},  // derived from subd
  {0xC5, 1, Mn::bitb,       IMM | R_B,                  H::Arith8,      "P"},
  {0xC5, 2, Mn::bity,       IMM | R_Y,                  H::Arith16,     "OPO"},  // derived from subd
  {0xC6, 1, Mn::ldab,       IMM | R_B,                  H::Loads,       "P"},
  {0xC7, 1, Mn::clrb,       INHB | R_B,                 H::Rmw8,        "O"},
  {0xC7, 2, Mn::clry,       INHY | R_Y,                 H::Rmw16,       "OO"},  // derived from clra
  {0xC8, 1, Mn::eorb,       IMM | R_B,                  H::Arith8,      "P"},
  {0xC8, 2, Mn::eory,       IMM | R_Y,                  H::Arith16,     "OPO"},  // derived from subd
  {0xC9, 1, Mn::adcb,       IMM | R_B,                  H::Arith8,      "P"},
  {0xC9, 2, Mn::adey,       IMM | R_Y,                  H::Arith16,     "OPO"},  // derived from addd
  {0xCA, 1, Mn::orab,       IMM | R_B,                  H::Arith8,      "P"},
  {0xCA, 2, Mn::ory,        IMM | R_Y,                  H::Arith16,     "OPO"},  // derived from subd
  {0xCB, 1, Mn::addb,       IMM | R_B,                  H::Arith8,      "P"},
  {0xCB, 2, Mn::addy,       IMM | R_Y,                  H::Arith16,     "OPO"},  // derived from addd
  {0xCC, 1, Mn::ldd,        IMM | R_D,                  H::Loads,       "PO"},
  {0xCD, 1, Mn::ldy,        IMM | R_Y,                  H::Loads,       "PO"},
  {0xCE, 1, Mn::ldx,        IMM | R_X,                  H::Loads,       "PO"},
  {0xCF, 1, Mn::lds,        IMM | R_SP,                 H::Loads,       "PO"},
  {0xD0, 1, Mn::subb,       DIR | R_B,                  H::Arith8,      "rPf"},
  {0xD0, 2, Mn::suby,       DIR | R_Y,                  H::Arith16,     "ORPf"},  // derived from subd
  {0xD1, 1, Mn::cmpb,       DIR | R_B,                  H::Arith8,      "rPf"},
  {0xD2, 1, Mn::sbcb,       DIR | R_B,                  H::Arith8,      "rPf"},
  {0xD2, 2, Mn::sbey,       DIR | R_Y,                  H::Arith16,     "ORPf"},  // derived from subd
  {0xD3, 1, Mn::addd,       DIR | R_D,                  H::Arith16,     "RPf"},
  {0xD3, 2, Mn::aded,       DIR | R_D,                  H::Arith16,     "ORPf"},  // derived from addd
  {0xD4, 1, Mn::andb,       DIR | R_B,                  H::Arith8,      "rPf"},
  {0xD4, 2, Mn::andy,       DIR | R_Y,                  H::Arith16,     "ORPf"},  // derived from subd
  {0xD5, 1, Mn::bitb,       DIR | R_B,                  H::Arith8,      "rPf"},
  {0xD5, 2, Mn::bity,       DIR | R_Y,                  H::Arith16,     "ORPf"},  // derived from subd
  {0xD6, 1, Mn::ldab,       DIR | R_B,                  H::Loads,       "rPf"},
  {0xD6, 2, Mn::gldab,      DIR | R_B,                  H::Loads,       "OrPf"},  // derived from ldab
  {0xD7, 1, Mn::tstb,       INHB | R_B,                 H::Rmw8,        "O"},
  {0xD7, 2, Mn::tsty,       INHY | R_Y,                 H::Rmw16,       "OO"},  // derived from tsta
  {0xD8, 1, Mn::eorb,       DIR | R_B,                  H::Arith8,      "rPf"},
  {0xD8, 2, Mn::eory,       DIR | R_Y,                  H::Arith16,     "ORPf"},  // derived from subd
  {0xD9, 1, Mn::adcb,       DIR | R_B,                  H::Arith8,      "rPf"},
  {0xD9, 2, Mn::adey,       DIR | R_Y,                  H::Arith16,     "ORPf"},  // derived from addd
  {0xDA, 1, Mn::orab,       DIR | R_B,                  H::Arith8,      "rPf"},
  {0xDA, 2, Mn::ory,        DIR | R_Y,                  H::Arith16,     "ORPf"},  // derived from subd
  {0xDB, 1, Mn::addb,       DIR | R_B,                  H::Arith8,      "rPf"},
  {0xDB, 2, Mn::addy,       DIR | R_Y,                  H::Arith16,     "ORPf"},  // derived from addd
  {0xDC, 1, Mn::ldd,        DIR | R_D,                  H::Loads,       "RPf"},
  {0xDC, 2, Mn::gldd,       DIR | R_D,                  H::Loads,       "ORPf"},  // derived from ldd
  {0xDD, 1, Mn::ldy,        DIR | R_Y,                  H::Loads,       "RPf"},
  {0xDD, 2, Mn::gldy,       DIR | R_Y,                  H::Loads,       "ORPf"},  // derived from ldy
  {0xDE, 1, Mn::ldx,        DIR | R_X,                  H::Loads,       "RPf"},
  {0xDE, 2, Mn::gldx,       DIR | R_X,                  H::Loads,       "ORPf"},  // derived from ldx
  {0xDF, 1, Mn::lds,        DIR | R_SP,                 H::Loads,       "RPf"},
  {0xDF, 2, Mn::glds,       DIR | R_SP,                 H::Loads,       "ORPf"},  // derived from lds
  {0xE0, 1, Mn::subb,       IDX | R_B,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xE0, 2, Mn::suby,       IDX | R_Y,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from subd
  {0xE1, 1, Mn::cmpb,       IDX | R_B,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xE2, 1, Mn::sbcb,       IDX | R_B,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xE2, 2, Mn::sbey,       IDX | R_Y,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from subd
  {0xE3, 1, Mn::addd,       IDX | R_D,                  H::Arith16,     "RPf/RPO/fRPP/fIfRPf/fIPRPf"},
  {0xE3, 2, Mn::aded,       IDX | R_D,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from addd
  {0xE4, 1, Mn::andb,       IDX | R_B,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xE4, 2, Mn::andy,       IDX | R_Y,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from subd
  {0xE5, 1, Mn::bitb,       IDX | R_B,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xE5, 2, Mn::bity,       IDX | R_Y,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from subd
  {0xE6, 1, Mn::ldab,       IDX | R_B,                  H::Loads,       "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xE6, 2, Mn::gldab,      IDX | R_B,                  H::Loads,       "OrPf/OrPO/OfrPP/OfIfrPf/OfIPrPf"},  // derived from ldab
  {0xE7, 1, Mn::tst,        IDX | MEM8,                 H::Rmw8,        "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xE7, 2, Mn::tstw,       IDX | MEM16,                H::Rmw16,       "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from tst
  {0xE8, 1, Mn::eorb,       IDX | R_B,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xE8, 2, Mn::eory,       IDX | R_Y,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from subd
  {0xE9, 1, Mn::adcb,       IDX | R_B,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xE9, 2, Mn::adey,       IDX | R_Y,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from addd
  {0xEA, 1, Mn::orab,       IDX | R_B,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xEA, 2, Mn::ory,        IDX | R_Y,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from subd
  {0xEB, 1, Mn::addb,       IDX | R_B,                  H::Arith8,      "rPf/rPO/frPP/fIfrPf/fIPrPf"},
  {0xEB, 2, Mn::addy,       IDX | R_Y,                  H::Arith16,     "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from addd
  {0xEC, 1, Mn::ldd,        IDX | R_D,                  H::Loads,       "RPf/RPO/fRPP/fIfRPf/fIPRPf"},
  {0xEC, 2, Mn::gldd,       IDX | R_D,                  H::Loads,       "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from ldd
  {0xED, 1, Mn::ldy,        IDX | R_Y,                  H::Loads,       "RPf/RPO/fRPP/fIfRPf/fIPRPf"},
  {0xED, 2, Mn::gldy,       IDX | R_Y,                  H::Loads,       "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from ldy
  {0xEE, 1, Mn::ldx,        IDX | R_X,                  H::Loads,       "RPf/RPO/fRPP/fIfRPf/fIPRPf"},
  {0xEE, 2, Mn::gldx,       IDX | R_X,                  H::Loads,       "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from ldx
  {0xEF, 1, Mn::lds,        IDX | R_SP,                 H::Loads,       "RPf/RPO/fRPP/fIfRPf/fIPRPf"},
  {0xEF, 2, Mn::glds,       IDX | R_SP,                 H::Loads,       "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"},  // derived from lds
  {0xF0, 1, Mn::subb,       EXT | R_B,                  H::Arith8,      "rPO"},
  {0xF0, 2, Mn::suby,       EXT | R_Y,                  H::Arith16,     "ORPO"},  // derived from subd
  {0xF1, 1, Mn::cmpb,       EXT | R_B,                  H::Arith8,      "rPO"},
  {0xF2, 1, Mn::sbcb,       EXT | R_B,                  H::Arith8,      "rPO"},
  {0xF2, 2, Mn::sbey,       EXT | R_Y,                  H::Arith16,     "ORPO"},  // derived from subd
  {0xF3, 1, Mn::addd,       EXT | R_D,                  H::Arith16,     "RPO"},
  {0xF3, 2, Mn::aded,       EXT | R_D,                  H::Arith16,     "ORPO"},  // derived from addd
  {0xF4, 1, Mn::andb,       EXT | R_B,                  H::Arith8,      "rPO"},
  {0xF4, 2, Mn::andy,       EXT | R_Y,                  H::Arith16,     "ORPO"},  // derived from subd
  {0xF5, 1, Mn::bitb,       EXT | R_B,                  H::Arith8,      "rPO"},
  {0xF5, 2, Mn::bity,       EXT | R_Y,                  H::Arith16,     "ORPO"},  // derived from subd
  {0xF6, 1, Mn::ldab,       EXT | R_B,                  H::Loads,       "rPO"},
  {0xF6, 2, Mn::gldab,      EXT | R_B,                  H::Loads,       "OrPO"},  // derived from ldab
  {0xF7, 1, Mn::tst,        EXT | MEM8,                 H::Rmw8,        "rPO"},
  {0xF7, 2, Mn::tstw,       EXT | MEM16,                H::Rmw16,       "ORPO"},  // derived from tst
  {0xF8, 1, Mn::eorb,       EXT | R_B,                  H::Arith8,      "rPO"},
  {0xF8, 2, Mn::eory,       EXT | R_Y,                  H::Arith16,     "ORPO"},  // derived from subd
  {0xF9, 1, Mn::adcb,       EXT | R_B,                  H::Arith8,      "rPO"},
  {0xF9, 2, Mn::adey,       EXT | R_Y,                  H::Arith16,     "ORPO"},  // derived from addd
  {0xFA, 1, Mn::orab,       EXT | R_B,                  H::Arith8,      "rPO"},
  {0xFA, 2, Mn::ory,        EXT | R_Y,                  H::Arith16,     "ORPO"},  // derived from subd
  {0xFB, 1, Mn::addb,       EXT | R_B,                  H::Arith8,      "rPO"},
  {0xFB, 2, Mn::addy,       EXT | R_Y,                  H::Arith16,     "ORPO"},  // derived from addd
  {0xFC, 1, Mn::ldd,        EXT | R_D,                  H::Loads,       "RPO"},
  {0xFC, 2, Mn::gldd,       EXT | R_D,                  H::Loads,       "ORPO"},  // derived from ldd
  {0xFD, 1, Mn::ldy,        EXT | R_Y,                  H::Loads,       "RPO"},
  {0xFD, 2, Mn::gldy,       EXT | R_Y,                  H::Loads,       "ORPO"},  // derived from ldy
  {0xFE, 1, Mn::ldx,        EXT | R_X,                  H::Loads,       "RPO"},
  {0xFE, 2, Mn::gldx,       EXT | R_X,                  H::Loads,       "ORPO"},  // derived from ldx
  {0xFF, 1, Mn::lds,        EXT | R_SP,                 H::Loads,       "RPO"},
  {0xFF, 2, Mn::glds,       EXT | R_SP,                 H::Loads,       "ORPO"},  // derived from lds
};

}  // namespace opcode_table_rows

inline constexpr const OpcodeEntry (&kOpcodeTable)[kOpcodeCount] = opcode_table_rows::kRows;

}  // namespace tav
