// The numbered message table. The kernel, loaders and evaluator report errors
// by these numbers.
#pragma once
#include <string>

namespace tav {

// The text of message `number`, or " **** Err <number> ****" when it has none.
std::string msgtext(int number);

// The text of message `number`, or null when the table has none (for callers
// that substitute a text of their own, like the disassembler's line letter).
const char* msgfind(int number);

// Numbers of the messages, for code that reports them.
namespace msg {
inline constexpr int unknown_command = 11;
inline constexpr int zero_divide = 12;
inline constexpr int syntax_error = 13;
inline constexpr int name_too_long = 14;
inline constexpr int symbol_not_found = 15;
inline constexpr int unknown_register = 16;
inline constexpr int illegal_instruction = 17;
inline constexpr int cannot_redirect = 22;
inline constexpr int offset_too_large = 23;
inline constexpr int incompatible_registers = 24;
inline constexpr int value_too_large = 25;
inline constexpr int incorrect_index_register = 26;
inline constexpr int incorrect_addressing_mode = 27;
inline constexpr int uncompatible_addressing_mode = 28;
inline constexpr int incorrect_size_modifier = 29;
inline constexpr int stack_overflow = 30;
inline constexpr int incorrect_argument = 32;
inline constexpr int too_many_arguments = 33;
inline constexpr int log_file_already_opened = 36;
inline constexpr int cannot_create_file = 37;
inline constexpr int line_letter = 39;
inline constexpr int no_c_source = 45;
inline constexpr int no_frame = 46;
inline constexpr int internal_error = 51;
inline constexpr int incorrect_variable = 52;
inline constexpr int not_addressable = 53;
inline constexpr int cannot_access_variable = 54;
inline constexpr int illegal_type = 55;
inline constexpr int unknown_field = 56;
inline constexpr int illegal_operator = 57;
inline constexpr int illegal_extension = 58;
inline constexpr int illegal_breakpoint = 59;
inline constexpr int not_updatable = 61;
inline constexpr int entry_point_at = 63;
inline constexpr int invalid_entry_point = 64;
inline constexpr int incorrect_function = 67;
inline constexpr int missing = 68;
inline constexpr int modified = 70;
inline constexpr int breakpoint_not_found = 73;
inline constexpr int no_breakpoint = 74;
inline constexpr int file_not_found = 75;
inline constexpr int function_not_found = 76;
inline constexpr int line_not_found = 77;
inline constexpr int functions_in_file = 78;
inline constexpr int no_code_at_location = 85;
inline constexpr int function_in_stack_frame = 86;
inline constexpr int calls = 95;
}  // namespace msg

}  // namespace tav
