#include "ui/model/list_views.h"

#include <cstdio>

#include "kernel/debugger.h"

namespace tav {

namespace {

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \n");
  const std::size_t last = text.find_last_not_of(" \n");
  return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

void add_functions(const FileEntry& file, std::vector<ListLine>& out) {
  const std::string name(file.name);
  out.push_back({name, name, 0, 0, false});
  for (const FunctionBlock* f : file.functions) {
    if (f->name.empty() || f->is_dot()) continue;
    char place[32] = "";
    if (f->start) std::snprintf(place, sizeof place, "  0x%06x", f->start->value & 0xFFFFFFu);
    out.push_back({"  " + std::string(f->name) + "()" + place, name, function_view_line(*f), 0, false});
  }
}

void add_map_lines(std::vector<MapLine> lines, std::vector<ListLine>& out) {
  for (MapLine& m : lines) {
    ListLine line{std::move(m.text), std::move(m.file), m.line, 0, false};
    line.target = m.target;
    line.address = m.address;
    out.push_back(std::move(line));
  }
}

}  // namespace

std::vector<ListLine> list_lines(Debugger& d, ListKind kind) {
  std::vector<ListLine> out;
  const DebugTables& tables = d.program.tables();
  switch (kind) {
    case ListKind::Files:
      for (const FileEntry* f : tables.files()) out.push_back({std::string(f->name), std::string(f->name), 0, 0, false});
      break;
    case ListKind::Functions:
      for (const FileEntry* f : tables.files()) add_functions(*f, out);
      break;
    case ListKind::Events:
      for (const auto& e : d.events.events()) {
        if (e->is_internal()) continue;
        ListLine line{"(" + std::to_string(e->number) + ")  " + trimmed(d.events.event_line(*e)), {}, e->first_line,
                      e->number, e->active};
        if (e->file) line.file = std::string(e->file->name);
        out.push_back(std::move(line));
      }
      break;
    case ListKind::SymbolsByAddress:
    case ListKind::SymbolsByName:
      add_map_lines(symbol_lines(d, kind == ListKind::SymbolsByName ? SymbolOrder::Name : SymbolOrder::Address), out);
      break;
    case ListKind::Map: add_map_lines(application_map(d), out); break;
  }
  return out;
}

std::string event_toggle_command(const ListLine& line) {
  return (line.active ? "break /s " : "break /a ") + std::to_string(line.event);
}

std::string event_delete_command(const ListLine& line) { return "del /e " + std::to_string(line.event); }

}  // namespace tav
