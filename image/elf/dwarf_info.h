// Reader of the DWARF description of a program (versions 2 to 4, 32-bit
// DWARF): compilation units, subprograms, variables, parameters, labels and
// their C types, from `.debug_info`, `.debug_abbrev` and `.debug_str`. The
// result is the program description the converter turns into debug tables.
//
// What the object format cannot express (location lists, computed
// locations, 64-bit integers, ...) is left out and named once in `warnings`;
// damaged sections throw DwarfError.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "image/elf/dwarf_lines.h"
#include "image/elf/side_program.h"

namespace tav::elf {

class ElfFile;

// Warnings of one load, each text once, in the order they arose.
class Warnings {
 public:
  void add(const std::string& text) {
    if (seen_.insert(text).second) list_.push_back(text);
  }
  const std::vector<std::string>& list() const { return list_; }

 private:
  std::set<std::string> seen_;
  std::vector<std::string> list_;
};

// Adds the units of `.debug_info` to `out` (files with their functions and
// variables, and the aggregates). Does nothing when the file has no
// `.debug_info`.
void read_debug_info(const ElfFile& elf, SideProgram& out, Warnings& warnings);

// Register of a DWARF register number in a location (DW_OP_regN), as a
// register name the side description knows; empty when there is none.
std::string dwarf_register_name(unsigned number);

}  // namespace tav::elf
