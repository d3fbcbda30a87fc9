// The side file that describes a program's C-level debug information:
// aggregates, typedefs, defines, variables, functions with their locals.
// It is JSON; the format is described in tools/mkx12/README.md.
#pragma once

#include <string>

#include "image/elf/side_program.h"

namespace tav::mkx12 {

using namespace tav::elf;

// Parses the JSON text; throws SideError naming the offending element.
SideProgram parse_side_file(const std::string& text);
SideProgram load_side_file(const std::string& path);

}  // namespace tav::mkx12
