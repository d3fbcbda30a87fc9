// A linked ELF file of the 68HC11/68HC12 family turned into the debugger's
// object format: its sections and symbols, its DWARF lines and description
// as debug tables, so that a loaded ELF program debugs like any other.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tav::elf {

struct ElfProgram {
  std::vector<std::uint8_t> object;   // the object file
  std::uint32_t entry = 0;            // global address of the ELF entry point
  std::vector<std::string> warnings;  // what could not be expressed, each once
};

inline bool is_elf(const std::vector<std::uint8_t>& bytes) {
  return bytes.size() >= 4 && bytes[0] == 0x7F && bytes[1] == 'E' && bytes[2] == 'L' && bytes[3] == 'F';
}

// Throws std::runtime_error (ElfError, DwarfError, ...) with the reason when
// the file cannot be read.
ElfProgram convert_elf(std::vector<std::uint8_t> bytes);

}  // namespace tav::elf
