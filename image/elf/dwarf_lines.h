// Decoder of DWARF line-number programs (versions 2 to 4), which GNU as writes
// into `.debug_line` for its `.file` and `.loc` directives.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tav::elf {

struct DwarfError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct LineRow {
  std::uint32_t address = 0;
  std::string file;  // directory + "/" + name when the entry has a directory
  std::uint32_t line = 0;
  std::uint32_t column = 0;
  bool end_sequence = false;
};

// All rows of all units, in program order. Throws DwarfError on bad input.
std::vector<LineRow> decode_line_table(const std::vector<std::uint8_t>& section);

}  // namespace tav::elf
