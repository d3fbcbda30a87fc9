// Decoding one CPU12 instruction without executing it: everything the
// disassembler (and a reader of traces) needs, taken from the same opcode
// table and the same byte-reading rules the execution path uses.
#pragma once
#include <cstdint>

#include "sim/cpu_regs.h"
#include "sim/decode_detail.h"
#include "sim/memory.h"
#include "sim/opcode_lookup.h"
#include "sim/opcodes.h"

namespace tav {

inline constexpr std::uint16_t kUndefinedLength = 0xFFFF;

enum class OperandKind : std::uint8_t {
  None,
  Direct,     // "<" address: DIRECT * 256 + byte
  Extended,   // 16-bit address
  Immediate,  // value of `width` bytes
  Indexed,    // indexed postbyte form, see `idx`
};

// One addressing-mode operand. For moves there are two (source, destination).
struct DecodedOperand {
  OperandKind kind = OperandKind::None;
  std::uint8_t width = 0;    // Immediate: 1 or 2 bytes
  std::uint32_t value = 0;   // Immediate: the value
  std::uint16_t local = 0;   // Direct/Extended/Indexed: local effective address
                             // (indirect forms: the word read through the pointer)
  std::uint32_t global = 0;  // the global address of `local`: GPAGE for the global
                             // loads/stores, the instruction's page for `call`;
                             // leas/leax/leay: `local` itself (never translated)
  IndexedParse idx;          // Indexed: postbyte, form, register, offset, base, pointer address
  std::uint8_t alt = 0;      // pattern alternative of this operand (indexed forms)
};

// Everything known about one instruction at a global address.
struct DecodedInsn {
  std::uint32_t address = 0;         // global address of the first byte (the prefix if any)
  std::uint16_t length = kUndefinedLength;  // bytes including the prefix; kUndefinedLength when undefined
  std::uint8_t bytes[8] = {};        // the instruction's bytes (length of them, at most 8)
  std::uint8_t prefix = 0;           // 0x18 for page 2, else 0
  std::uint8_t opcode = 0;           // the opcode byte after the prefix
  std::int16_t entry_index = -1;     // index in kOpcodeTable, -1 when undefined
                                     // (postbyte-selected forms: the selected entry)
  const OpcodeEntry* entry = nullptr;
  Mn mnemonic = Mn::none;            // kMnemonicNames[int(mnemonic)]; "???" when undefined
  std::uint32_t descriptor = 0;      // the entry's operand descriptor (opd)
  std::uint8_t mode = 0;             // opd::mode of the descriptor (moves: source mode)
  bool global_access = false;        // gldaa…gsts: addresses formed with GPAGE

  DecodedOperand op;                 // the main operand; moves: the source
  DecodedOperand dst;                // moves: the destination (byte-stream exchange already undone)
  bool is_move = false;
  bool move_index_first = false;     // imm/ext-to-indexed move: the indexed postbyte came first

  // exg/tfr/sex: the postbyte and its two register codes (ccrh for exg with bit 3).
  std::uint8_t postbyte = 0;
  std::uint16_t reg1 = 0;            // source / first register
  std::uint16_t reg2 = 0;            // destination / second register

  // Loop primitives (dbeq … tbne): kind, branch sense and register code.
  bool is_loop = false;
  LoopKind loop = LoopKind::Decrement;
  bool loop_ne = false;
  std::uint16_t loop_reg = 0;

  bool has_mask = false;             // bset bclr brset brclr btas
  std::uint8_t mask = 0;

  bool has_page = false;             // call
  std::uint8_t call_page = 0;        // from the instruction, or from memory for the indirect forms
  bool page_from_memory = false;

  bool has_relative = false;         // branches, brset/brclr, loop primitives, bsr
  std::int32_t rel_offset = 0;       // signed offset as encoded (8, 9 or 16 bits)
  std::uint32_t target = 0;          // global target: (address after + offset) & 0x7FFFFF

  std::uint8_t alt = 0;              // pattern alternative after decoding (moves: second operand's)
  std::uint8_t move_alt = 0;         // moves: the first decoded operand's alternative

  bool defined() const { return length != kUndefinedLength; }
  const char* name() const { return mnemonic_name(mnemonic); }
};

// Decodes the instruction at `global` with the registers as they are (index
// registers, DIRECT, page registers); reads memory with peek, changes nothing.
DecodedInsn decode_instruction(const Memory& memory, const CpuRegs& regs, std::uint32_t global);

// Bus cycles the instruction costs for its decoded alternatives (an executed
// branch may take another alternative; see Cpu for the charged count).
unsigned decoded_cycles(const DecodedInsn& insn);

}  // namespace tav
