// The CPU12 line assembler: one line of assembler text into target memory,
// driven by the opcode table the decoder uses, so that the bytes it writes
// decode back to the instruction typed.
#pragma once
#include <cstdint>
#include <functional>
#include <string_view>

#include "sim/memory.h"

namespace tav {

// What the assembler needs from the kernel: operand values (command operand
// expressions), label definitions and error output. Unset members fall back
// to numbers only, no labels and silence.
struct AsmHooks {
  // Reads one value at `cursor` and leaves the cursor after it. On failure
  // returns false with `error` set to a message number.
  std::function<bool(const char*& cursor, std::uint32_t& value, int& error)> evaluate;
  // Defines the program symbol `name` with the value `address`.
  std::function<void(std::string_view name, std::uint32_t address)> define_label;
  // Reports message `number` (the kernel shows its text).
  std::function<void(int number)> error;
};

// The value reader used when no evaluator is given: a number in any base
// ("0x", "0b", leading 0, decimal), with an optional sign.
bool asm_number(const char*& cursor, std::uint32_t& value, int& error);

// Assembles the text at `cursor` into memory from global `address` on, with
// the raw byte writes. Returns the number of bytes written: 0 when an error
// was reported (bytes already written for the line stay) or when the line
// held only a label. The cursor is left where reading stopped.
unsigned asmline(Memory& memory, std::uint32_t address, const char*& cursor, const AsmHooks& hooks = {});

}  // namespace tav
