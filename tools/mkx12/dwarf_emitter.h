// Writes the C-level description of a side file as DWARF 2 assembler
// directives (.debug_info and .debug_abbrev), so that GNU as can put it into
// an ELF file of the same program: the examples then exist both as ".x12"
// and as ELF with DWARF, and the debugger must show the same through both.
// Functions, variables and their types are emitted; defines, kernel
// variables, XGATE units and the storage classes DWARF has no location for
// are not.
#pragma once

#include <string>

#include "image/elf/converter.h"
#include "image/elf/dwarf_info.h"
#include "image/elf/elf_file.h"
#include "side_file.h"

namespace tav::mkx12 {

// Throws ConvertError for a symbol the ELF file lacks.
std::string emit_dwarf(const elf::ElfFile& elf, const SideProgram& side);

}  // namespace tav::mkx12
