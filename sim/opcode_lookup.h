// Finding the table entry of an opcode, by the table's grouping: the first
// entry with the opcode byte serves page 1; page 2 takes the entry right after
// an entry with that byte when it carries the same byte. Aliases follow their
// page-1 entry, so a page-1-only opcode with an alias (0x59 asld/lsld) and the
// postbyte-selected 0xB7 also answer behind the prefix; 0x04's loop primitives
// sit behind movw and do not.
#pragma once
#include <array>
#include <cstdint>

#include "sim/opcodes_table.h"
#include "sim/reg_codes.h"

namespace tav {

constexpr int find_entry(std::uint8_t opcode, bool page2) {
  for (int i = 0; i < kOpcodeCount; ++i) {
    if (kOpcodeTable[i].opcode != opcode) continue;
    if (!page2) return i;
    if (i + 1 < kOpcodeCount && kOpcodeTable[i + 1].opcode == opcode) return i + 1;
  }
  return -1;
}

// Entry index per page (0: page 1, 1: page 2) and opcode byte; -1 undefined.
inline constexpr std::array<std::array<std::int16_t, 256>, 2> kEntryLookup = [] {
  std::array<std::array<std::int16_t, 256>, 2> t{};
  for (int page = 0; page < 2; ++page)
    for (int op = 0; op < 256; ++op) {
      int i = find_entry(static_cast<std::uint8_t>(op), page == 1);
      if (page == 0 && op == kPage2Prefix) i = -1;
      if (i >= 0 && kOpcodeTable[i].mnemonic == Mn::none) i = -1;
      t[page][op] = static_cast<std::int16_t>(i);
    }
  return t;
}();

constexpr int entry_of_mnemonic(std::uint8_t opcode, Mn m) {
  for (int i = 0; i < kOpcodeCount; ++i)
    if (kOpcodeTable[i].opcode == opcode && kOpcodeTable[i].mnemonic == m) return i;
  return -1;
}

// Entries chosen by a postbyte: the loop primitives of 0x04 and exg/sex/tfr of 0xB7.
constexpr bool is_loop_entry(const OpcodeEntry& e) {
  return e.handler == Handler::Flow && opd::mode(e.operand) == opd::REG;
}
constexpr bool is_transfer_postbyte_entry(const OpcodeEntry& e) {
  return e.handler == Handler::Transfers && opd::mode(e.operand) == opd::REG;
}

// Loop primitive postbyte: bits 6-7 0 decrement, 1 test, 2 increment (3 reads
// as decrement); bit 5 set "ne", clear "eq".
enum class LoopKind : std::uint8_t { Decrement, Test, Increment };
constexpr LoopKind loop_kind(std::uint8_t postbyte) {
  switch (postbyte >> 6) {
    case 1: return LoopKind::Test;
    case 2: return LoopKind::Increment;
    default: return LoopKind::Decrement;
  }
}
constexpr bool loop_branches_on_nonzero(std::uint8_t postbyte) { return (postbyte & 0x20) != 0; }
constexpr Mn loop_mnemonic(std::uint8_t postbyte) {
  const bool ne = loop_branches_on_nonzero(postbyte);
  switch (loop_kind(postbyte)) {
    case LoopKind::Test: return ne ? Mn::tbne : Mn::tbeq;
    case LoopKind::Increment: return ne ? Mn::ibne : Mn::ibeq;
    default: return ne ? Mn::dbne : Mn::dbeq;
  }
}

// exg/tfr/sex postbyte: bit 7 exg; otherwise sex for 0x4D, 0x4E and 8-bit to
// 16-bit transfers, else tfr.
constexpr Mn transfer_mnemonic(std::uint8_t postbyte) {
  if (postbyte & 0x80) return Mn::exg;
  const unsigned source = (postbyte >> 4) & 7;
  const unsigned destination = postbyte & 7;
  if (postbyte == 0x4D || postbyte == 0x4E || (source <= 2 && destination >= 3)) return Mn::sex;
  return Mn::tfr;
}

// Register fields 0-7 of a postbyte as register codes: a b ccr ccrw d x y s.
constexpr std::uint16_t postbyte_register(unsigned field) {
  constexpr std::uint16_t codes[8] = {REG_A, REG_B, REG_CCR, REG_CCRW, REG_D, REG_X, REG_Y, REG_SP};
  return codes[field & 7];
}
// exg's fields; with bit 3 set a field naming ccr names ccrh.
constexpr std::uint16_t exg_register(std::uint8_t postbyte, unsigned field) {
  const std::uint16_t code = postbyte_register(field);
  return (postbyte & 0x08) && code == REG_CCR ? static_cast<std::uint16_t>(REG_CCRH) : code;
}

}  // namespace tav
