// Symbols and source lines of the loaded program, as the disassembler asks
// for them (the console's "e" and the instruction trace).
#pragma once
#include "disasm/cpu12_disasm.h"
#include "image/program.h"

namespace tav {

class ProgramLookup : public DisasmLookup {
 public:
  // `with_columns`: a line also names its statement column, and function
  // starts count as lines.
  ProgramLookup(const Program& p, bool with_columns) : program_(p), with_columns_(with_columns) {}
  const char* symbol_by_value(std::uint32_t address, std::uint32_t& value) const override {
    const ProgramSymbol* s = program_.symbols().find_symbol_by_value(address);
    if (!s) return nullptr;
    value = s->value();
    return s->name.c_str();
  }
  bool line_at(std::uint32_t address, unsigned& line, unsigned& statement) const override {
    const DebugRecord* r = program_.tables().record_at(address);
    if (!r || !(r->is_line() || (with_columns_ && r->is_start()))) return false;
    line = r->line;
    statement = with_columns_ ? r->column : 0;
    return true;
  }

 private:
  const Program& program_;
  bool with_columns_;
};

}  // namespace tav
