// Symbols, source lines and XGATE code of the loaded program, as the
// disassembler asks for them (the console's "e" and the instruction trace).
#pragma once
#include "disasm/cpu12_disasm.h"
#include "image/program.h"
#include "kernel/xgate_code_map.h"

namespace tav {

class ProgramDisasmLookup : public DisasmLookup {
 public:
  // `with_columns`: a line also names its statement column, and function
  // starts count as lines.
  ProgramDisasmLookup(const Program& p, bool with_columns, const XgateCodeMap* xgate = nullptr)
      : program_(p), with_columns_(with_columns), xgate_(xgate) {}
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
  bool xgate_code(std::uint32_t address) const override { return xgate_ && xgate_->decodes_as_xgate(address); }

 private:
  const Program& program_;
  bool with_columns_;
  const XgateCodeMap* xgate_;
};

}  // namespace tav
