// The XGATE disassembler: the text mode of the XGATE decoder, one line of
// assembler text per instruction word.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/memory.h"
#include "sim/xgate.h"

namespace tav {

// Formats `word`, found at global `address`, into `text` (NUL-terminated, at
// most `capacity` bytes including the NUL). Returns 2, or kXgateUndefined for
// a word that is no instruction. Its signature is XgateTextFn, so that
// Xgate::set_text_formatter can take it.
std::uint32_t xgate_disasm_word(std::uint16_t word, std::uint32_t address, char* text,
                                std::size_t capacity = kXgateTextCapacity);

// The same for the word stored at `address` (raw read).
std::uint32_t xgate_disasm(Memory& memory, std::uint32_t address, char* text,
                           std::size_t capacity = kXgateTextCapacity);

// Convenience for callers that want a string.
std::string xgate_disasm_text(std::uint16_t word, std::uint32_t address);

}  // namespace tav
