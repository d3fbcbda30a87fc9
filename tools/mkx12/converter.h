// Turns a linked ELF file and its side file into a ".x12" object file, plus
// an expectation document listing what a reader of that file must find.
#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "elf_file.h"
#include "side_file.h"
#include "x12_writer.h"

namespace tav::mkx12 {

struct ConvertError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct ConvertOptions {
  // Folder of the C sources named by the side file ("source"); when a file
  // can be read there, its line count is the file's default last line.
  std::string source_dir;
};

struct Conversion {
  x12::ObjectFile object;
  nlohmann::ordered_json expectation;
};

// Throws ConvertError, SideError, ElfError or DwarfError with a reason.
Conversion convert(const ElfFile& elf, const SideProgram& side, const ConvertOptions& options = {});

}  // namespace tav::mkx12
