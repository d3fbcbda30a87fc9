// Turns a linked ELF file and its side file into a ".x12" object file, plus
// an expectation document listing what a reader of that file must find.
#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "image/elf/dwarf_info.h"
#include "image/elf/elf_file.h"
#include "image/elf/side_program.h"
#include "x12_writer.h"

namespace tav::elf {

struct ConvertError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct ConvertOptions {
  // Folder of the C sources named by the side file ("source"); when a file
  // can be read there, its line count is the file's default last line.
  std::string source_dir;
  // A program described by its own DWARF rather than by a side file: line
  // rows outside every function, sources no unit names, functions that do
  // not end with a return and long section names are passed over with a
  // warning instead of failing the conversion.
  Warnings* lenient = nullptr;
};

struct Conversion {
  x12::ObjectFile object;
  nlohmann::ordered_json expectation;
};

// Throws ConvertError, SideError, ElfError or DwarfError with a reason.
Conversion convert(const ElfFile& elf, const SideProgram& side, const ConvertOptions& options = {});

}  // namespace tav::elf
