// What the code views and the disassembler find in the loaded program and the
// event table: symbol names, source lines, function entries and event marks.
#pragma once
#include "kernel/xgate_code_map.h"
#include "ui/model/disasm_view.h"

#include <optional>
#include <string_view>

namespace tav {

class Debugger;
class EventTable;
class Program;
struct Event;

// The user code event set on `address` (not a line or data event), if any.
const Event* code_event_at(const EventTable& events, std::uint32_t address);
// Where a word of a view lives: a function's entry, else the address of the
// C expression (a variable), else its value (a label or a number).
std::optional<std::uint32_t> address_of(Debugger& d, std::string_view expression);

class ProgramLookup : public CodeViewLookup {
 public:
  explicit ProgramLookup(const Program& program, const EventTable* events = nullptr,
                         const XgateCodeMap* xgate = nullptr)
      : program_(program), events_(events), xgate_(xgate) {}

  const char* symbol_by_value(std::uint32_t address, std::uint32_t& value) const override;
  // A line or function-start record exactly at the address; its column is the
  // statement number within the line.
  bool line_at(std::uint32_t address, unsigned& line, unsigned& statement) const override;
  bool function_entry(std::uint32_t address, std::uint32_t& entry) const override;
  EventMark event_at(std::uint32_t address) const override;
  bool xgate_code(std::uint32_t address) const override { return xgate_ && xgate_->decodes_as_xgate(address); }

 private:
  const Program& program_;
  const EventTable* events_;
  const XgateCodeMap* xgate_;
};

}  // namespace tav
