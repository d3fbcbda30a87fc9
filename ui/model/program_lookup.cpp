#include "ui/model/program_lookup.h"

#include "events/event_table.h"
#include "image/debug_record.h"
#include "image/program.h"

namespace tav {

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
