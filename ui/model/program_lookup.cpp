#include "ui/model/program_lookup.h"

#include "events/event_table.h"
#include "image/debug_record.h"
#include "image/program.h"
#include "expr/access.h"
#include "kernel/debugger.h"

namespace tav {

const Event* code_event_at(const EventTable& events, std::uint32_t address) {
  for (const auto& e : events.events())
    if (!e->is_data() && !e->is_internal() && e->kind != kEventPosition && e->kind != kEventChange &&
        e->address == address)
      return e.get();
  return nullptr;
}

std::optional<std::uint32_t> address_of(Debugger& d, std::string_view expression) {
  const std::string text(expression);
  const DebugTables& tables = d.program.tables();
  if (const FunctionBlock* f = tables.find_function(text)) {
    std::uint32_t start = 0, end = 0;
    if (tables.function_range(f, &start, &end)) return start;
  }
  const bool assignments = d.evaluator.assignments();
  d.evaluator.set_assignments(false);
  std::optional<std::uint32_t> found;
  for (const std::string& attempt : {"&" + text, text}) {
    const char* cursor = attempt.c_str();
    int status = 0;
    const Value v = d.evaluator.xexpr(cursor, status, 1);
    if (status == 0 && *cursor == 0) {
      // A pointer (as "&x" is) holds a local address: the view wants the global one it reaches.
      found = is_pointer(v) ? pointer_target(d.expr_env, v) : static_cast<std::uint32_t>(v.ival);
      break;
    }
  }
  d.evaluator.set_assignments(assignments);
  return found;
}

const char* ProgramLookup::symbol_by_value(std::uint32_t address, std::uint32_t& value) const {
  const ProgramSymbol* s = program_.symbols().find_symbol_by_value(address);
  if (!s) return nullptr;
  value = s->value();
  return s->name.c_str();
}

bool ProgramLookup::line_at(std::uint32_t address, unsigned& line, unsigned& statement) const {
  const DebugRecord* r = program_.tables().record_at(address);
  if (!r || !(r->is_line() || r->is_start())) return false;
  line = r->line;
  statement = r->column;
  return true;
}

bool ProgramLookup::function_entry(std::uint32_t address, std::uint32_t& entry) const {
  const DebugTables& tables = program_.tables();
  const FunctionBlock* f = tables.function_at(address);
  std::uint32_t end = 0;
  return f && !f->name.empty() && tables.function_range(f, &entry, &end);
}

EventMark ProgramLookup::event_at(std::uint32_t address) const {
  if (!events_) return EventMark::None;
  for (const auto& e : events_->events())
    if (!e->is_data() && !e->is_internal() && e->address == address)
      return e->active ? EventMark::On : EventMark::Off;
  return EventMark::None;
}

}  // namespace tav
