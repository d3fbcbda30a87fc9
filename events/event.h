// One breakpoint or watchpoint of the event table: where or on what it
// fires, its repeat count, its state and its attached commands.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tav {

struct FileEntry;
struct FunctionBlock;

// Kinds of event. Code events fire when execution reaches a place or a
// variable changed; data events fire on a memory access of the target.
enum EventKind : char {
  kEventAbsolute = 'a',  // an address
  kEventSymbol = 's',    // a function's entry address
  kEventLabel = 'l',     // a label's address
  kEventPosition = 't',  // source lines of a file or function
  kEventChange = 'd',    // a variable's value changed
  kEventAccess = 'A',    // data: any access
  kEventRead = 'R',      // data: a read
  kEventWrite = 'W',     // data: a write
};

struct Event {
  std::uint16_t number = 0;
  char kind = kEventAbsolute;
  char klass = 'C';  // 'C' code, 'D' data
  bool active = true;
  bool watch = false;  // a watch event counts its hits and lets execution go on
  std::int32_t count = 1;  // reload value of `left`
  std::int32_t left = 1;   // hits still to go before it fires
  std::int32_t hits = 0;   // times a watch event fired
  std::int32_t user = 1;   // mode word of the command that made it; 0: internal, fires once
  std::string commands;    // attached commands; empty when none

  // Absolute, symbol and label events: the address they fire at.
  std::uint32_t address = 0;
  // Symbol, label, variable change and data events: the name they show and save.
  std::string name;
  // Variable change and data events: the variable's bytes in target memory.
  std::uint32_t size = 0;
  std::vector<std::uint8_t> saved;  // variable change: the value last seen
  // Code position events: the file, the function (or none) and the lines
  // (first 0: any line).
  const FileEntry* file = nullptr;
  const FunctionBlock* function = nullptr;
  std::uint16_t first_line = 0;
  std::uint16_t last_line = 0;

  bool is_data() const { return klass == 'D'; }
  bool is_internal() const { return user == 0; }
  bool covers(std::uint32_t a) const { return address <= a && a - address < size; }
  // Whether this position event holds `line` of that file and function (null:
  // any): break and watch at that line change this event instead of making one.
  bool holds_line(const FileEntry* in_file, const FunctionBlock* in_function, unsigned line) const {
    const bool in_range = first_line == 0 || (first_line <= line && line <= last_line);
    return in_range && (!file || !in_file || file == in_file) && (!function || !in_function || function == in_function);
  }
};

}  // namespace tav
