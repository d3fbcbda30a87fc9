// The fixed word lists the source view colours by: C keywords, preprocessor
// directives, C library functions, assembler directives. Instruction
// mnemonics come from the opcode table's own list.
#pragma once
#include <string_view>

namespace tav {

bool is_c_keyword(std::string_view word);
bool is_preprocessor_directive(std::string_view word);  // with its "#"
bool is_c_library_function(std::string_view word);
// Assembler words compare in lower case.
bool is_assembler_directive(std::string_view word);
bool is_instruction_mnemonic(std::string_view word);

}  // namespace tav
