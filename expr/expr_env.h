// What the expression library works on: target memory and registers, the
// program's symbols and debug tables, and the call-stack frames; plus the
// settings that callers change.
#pragma once
#include <cstdint>
#include <functional>

namespace tav {

class DebugTables;
class FrameStacks;
class Memory;
class Registers;
class SymbolTable;

struct ExprEnv {
  Memory& memory;
  Registers& registers;
  SymbolTable& symbols;
  const DebugTables& tables;
  FrameStacks* frames = nullptr;  // null: no call stack is followed

  // Arguments that arrive in a register (class 7) are read from their stack
  // slot, where the function's entry code keeps them.
  bool register_args_on_stack = true;
  // Told when an assignment changed the program counter (the source view follows it).
  std::function<void()> pc_changed;
};

}  // namespace tav
