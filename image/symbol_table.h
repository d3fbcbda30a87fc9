// The program's symbol table: names from the linker's symbol table, symbols
// the user defines, and kernel variables (names beginning with "."), which
// survive a new load. Some kernel variables (.time, .xtime, ...) can be bound
// to counters the simulator keeps, so reading the symbol reads the counter.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tav {

struct ProgramSymbol {
  std::string name;
  std::uint32_t stored = 0;
  std::uint32_t* external = nullptr;  // bound storage of a kernel variable
  std::uint8_t section = 0;           // 1-based section number, 0 absolute
  std::uint8_t flags = 0;             // from the linker's symbol record
  std::uint8_t kind = 0;              // 5 when flags bit 0 is set

  std::uint32_t value() const { return external ? *external : stored; }
  void set_value(std::uint32_t v) {
    if (external)
      *external = v;
    else
      stored = v;
  }
  bool is_kernel() const { return !name.empty() && name[0] == '.'; }
};

class SymbolTable {
 public:
  SymbolTable();
  SymbolTable(const SymbolTable&) = delete;
  SymbolTable& operator=(const SymbolTable&) = delete;

  // The symbol with exactly that name (program symbol or kernel variable).
  const ProgramSymbol* rensym(std::string_view name) const;
  ProgramSymbol* rensym(std::string_view name);

  // Defines a symbol. A program symbol of the same name is replaced; the new
  // one goes before the first symbol of greater value. A kernel variable keeps
  // its place and takes the value (written through when it is bound).
  ProgramSymbol* define_symbol(std::string_view name, std::uint32_t value, std::uint8_t section = 0,
                               std::uint8_t flags = 0);
  bool remove_symbol(std::string_view name);

  // The program symbol with exactly that value (the first of several), else the
  // last one below it; kernel variables never answer. Null below the first.
  const ProgramSymbol* find_symbol_by_value(std::uint32_t address) const;
  // The first program symbol at exactly that value whose name begins with `prefix`.
  const ProgramSymbol* find_exact(std::uint32_t address, std::string_view prefix = {}) const;

  // Makes a kernel variable read and write `storage` (created when missing;
  // its current value is kept in the storage). Null storage unbinds it.
  void bind_kernel_variable(std::string_view name, std::uint32_t* storage);

  // Program symbols in ascending value order, and kernel variables in order of creation.
  const std::vector<std::unique_ptr<ProgramSymbol>>& by_value() const { return symbols_; }
  const std::vector<std::unique_ptr<ProgramSymbol>>& kernel_variables() const { return kernel_; }

  // A new load: every program symbol goes, kernel variables stay.
  void clear_program_symbols();

  // Loading many symbols: add them in any order, then `finish_bulk` sorts them
  // by value (stable) and drops names defined twice (the later one wins).
  void add_bulk(std::string_view name, std::uint32_t value, std::uint8_t section, std::uint8_t flags);
  void finish_bulk();

  // Told of every name define_symbol creates (the evaluator's identifier table).
  void set_define_listener(std::function<void(std::string_view)> listener) { listener_ = std::move(listener); }

 private:
  using Index = std::unordered_map<std::string_view, ProgramSymbol*>;
  std::vector<std::unique_ptr<ProgramSymbol>>::iterator position_of(const ProgramSymbol* s);

  std::vector<std::unique_ptr<ProgramSymbol>> symbols_;  // sorted by value, stable
  std::vector<std::unique_ptr<ProgramSymbol>> kernel_;
  Index index_;
  std::vector<std::unique_ptr<ProgramSymbol>> pending_;  // bulk additions not yet sorted in
  std::function<void(std::string_view)> listener_;
};

}  // namespace tav
