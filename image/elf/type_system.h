// C types of a side file: parses type texts, expands typedefs, lays out
// structs, unions and enums the way the project's example compiler does
// (no padding; bit-fields packed from bit 0 upwards in units of their
// declared type), and turns everything into writer types.
//
// Type text: derivations from the outside in, then the base type:
//   "int", "unsigned long", "struct point", "u8" (a typedef),
//   "* char"        pointer to char (pointer attribute 0, two bytes)
//   "*@0x40 char"   pointer with an explicit pointer attribute
//   "[3][4] int"    array of 3 arrays of 4 int
//   "* () int"      pointer to function returning int
#pragma once

#include <map>
#include <string>
#include <vector>

#include "image/elf/side_program.h"
#include "x12_writer.h"

namespace tav::elf {

struct Type {
  x12::TypeRef ref;           // type word, descriptor words, aggregate
  std::uint32_t size = 0;     // in bytes
  std::uint8_t base_code = 0;
  std::string declared_base;  // base type as written after typedef expansion
};

// A type text taken apart: its derivations from the outside in and the base
// type's name (spaces normalised).
struct TypeText {
  std::vector<x12::Derive> derivations;
  std::string base;
};
TypeText parse_type_text(const std::string& text);

class TypeSystem {
 public:
  // Lays out every aggregate of the program; typedefs of all files share one
  // name space. Throws SideError on unknown names or conflicting typedefs.
  explicit TypeSystem(const SideProgram& program);

  Type resolve(const std::string& text);
  // The type of an entry, taking its _Bool bit into account.
  Type resolve_entry(const SideEntry& e);

  const std::vector<x12::Aggregate>& aggregates() const { return aggregates_; }
  const std::vector<std::string>& aggregate_keys() const { return keys_; }
  const std::vector<std::string>& aggregate_kinds() const { return kinds_; }

  static std::uint32_t base_size(std::uint8_t code);
  static std::uint32_t pointer_size(std::uint32_t attribute);

 private:
  Type resolve_depth(const std::string& text, int depth);
  std::uint32_t aggregate_size(std::size_t index, int depth);
  void lay_out(std::size_t index, int depth);

  std::map<std::string, std::string> typedefs_;
  std::map<std::string, std::size_t> index_;
  std::vector<x12::Aggregate> aggregates_;
  std::vector<std::string> keys_, kinds_;
  std::vector<SideAggregate> sides_;
  std::vector<int> state_;  // 0 pending, 1 in progress, 2 done
};

}  // namespace tav::elf
