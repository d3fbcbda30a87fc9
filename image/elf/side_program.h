// The C-level debug description of a linked program: aggregates, typedefs,
// defines, variables, functions with their locals. It comes either from a
// hand-written side file (mkx12) or from the program's DWARF, and the
// converter turns it, with the ELF file, into an object file.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tav::elf {

struct SideError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct SideEntry {
  std::string name;
  std::optional<std::uint8_t> storage_class;  // default depends on where the entry stands
  std::string type;                           // type text, e.g. "[3][4] int", "* struct node"
  std::optional<std::int64_t> value;          // frame offset, address, enumerator value
  std::optional<std::string> symbol;          // ELF symbol whose address is the value
  std::optional<std::string> reg;             // register name whose code is the value
  std::optional<std::int64_t> extra;          // word after the class byte (classes 5, 21, 22)
  std::optional<unsigned> bits;               // bit-field width (members)
  std::optional<unsigned> bit;                // _Bool bit number
  std::optional<std::uint32_t> offset;        // member offset override
  std::optional<unsigned> bit_offset;         // bit-field: first bit in its unit (with offset)
};

struct SideAggregate {
  std::string key;        // "struct point", "union num", "enum mode"
  std::string kind;       // "struct", "union", "enum"
  std::string tag;        // defaults to the key's second word ("" for none)
  std::string variant;    // enums: "", "char", "short", "int", "long"
  std::optional<std::uint32_t> size;  // override of the computed size
  std::vector<SideEntry> members;
};

struct SideFunction {
  std::string name;
  std::string symbol;                       // default "_" + name
  std::optional<std::string> end_symbol;    // label of the final return instruction
  std::uint8_t storage_class = 6;
  std::string returns = "int";
  std::optional<std::uint32_t> first_line, last_line, start_line;
  bool plus = false;                        // '+' in the start record
  // Given instead of `symbol` (from DWARF): the run addresses of the first
  // byte and of the byte after the last.
  std::optional<std::uint32_t> low_pc, high_pc;
  std::vector<SideEntry> locals;
};

struct SideDefine {
  std::string name;
  std::string value;
};

struct SideFile {
  std::string name;    // as recorded in the debug information
  std::string source;  // as named in the line table (default: name)
  std::string object;  // input file of its static symbols (when names repeat)
  std::uint8_t unit = 140;
  std::optional<std::uint32_t> first_line, last_line;
  std::vector<SideEntry> typedefs;
  std::vector<SideDefine> defines;
  std::vector<SideEntry> variables;
  std::vector<SideFunction> functions;
};

// An absolute symbol written into the object file; names begin with "." so
// that loading the program defines a kernel variable (".proc" = 3 asks the
// debugger to run the XGATE beside the CPU12).
struct SideKernelVariable {
  std::string name;
  std::uint32_t value = 0;
};

struct SideProgram {
  std::string program;
  std::string entry = "__stext";
  std::vector<SideAggregate> aggregates;
  std::vector<SideFile> files;
  std::vector<std::string> xgate_sections;  // ELF sections that run at XGATE addresses
  std::vector<SideKernelVariable> kernel_variables;
};

// A unit compiled for the XGATE: its addresses are XGATE addresses.
inline bool is_xgate_unit(std::uint8_t unit) { return unit == 139 || unit == 141; }

// Storage class from a name ("auto", "static", ...) or a decimal number.
std::optional<std::uint8_t> storage_class_from_name(const std::string& name);

// Register code (index in the register name table times 32) of a CPU12 or
// XGATE register name, or nothing.
std::optional<std::uint32_t> register_code(const std::string& name);

}  // namespace tav::elf
