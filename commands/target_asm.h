// The line assembler as the kernel drives it: operand values are command
// operand expressions, labels become program symbols, errors go to the
// kernel's error output.
#pragma once
#include "disasm/asm_line.h"

namespace tav {

class Debugger;

AsmHooks kernel_asm_hooks(Debugger& d);

}  // namespace tav
