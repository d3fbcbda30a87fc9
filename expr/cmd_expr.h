// Command operand expressions: the 32-bit integer expressions that the
// kernel's low-level commands take as addresses, counts and values. They read
// symbols, registers, target memory and source-line addresses directly.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace tav {

class DebugTables;
class Memory;
class Registers;
class SymbolTable;
struct FileEntry;

// Supplies a line for the '?' operand; prompts "?> " itself when its input
// is the console. False when no line can be read.
class OperandInput {
 public:
  virtual ~OperandInput() = default;
  virtual bool read_line(std::string& line) = 0;
};

// The arguments of the running kernel macro: argument 0 is the count.
// False outside a macro or beyond its arguments.
class MacroArguments {
 public:
  virtual ~MacroArguments() = default;
  virtual bool argument(int number, std::uint32_t& value) = 0;
};

struct CmdExprEnv {
  Memory& memory;
  Registers& registers;
  SymbolTable& symbols;
  const DebugTables* tables = nullptr;
  OperandInput* input = nullptr;
  MacroArguments* macro = nullptr;
  std::function<const FileEntry*()> current_file;  // for "@line" without a file
  bool unknown_is_minus_one = false;  // an unknown name gives -1 instead of an error
};

inline constexpr int kCmdNameMax = 63;

// Evaluates one operand at `cursor` and leaves the cursor after it. `error`
// receives 0 or the number of the first error (the caller reports it and
// stops the command). With `execute` false the text is only scanned: unknown
// names, '?' and macro arguments give 0 and nothing is read.
std::uint32_t cmd_expr(CmdExprEnv& env, const char*& cursor, int& error, bool execute = true);

}  // namespace tav
