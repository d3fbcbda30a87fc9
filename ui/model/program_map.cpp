#include "ui/model/program_map.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "kernel/debugger.h"

namespace tav {

namespace {

constexpr std::uint32_t kGlobalSpace = 0x800000;  // the S12X global address space

std::string format(const char* pattern, auto... args) {
  char text[160];
  std::snprintf(text, sizeof text, pattern, args...);
  return text;
}

MapLine plain(std::string text) {
  MapLine line;
  line.text = std::move(text);
  return line;
}

// The function whose entry is exactly `address`, when the program has one there.
const FunctionBlock* function_entered_at(const DebugTables& tables, std::uint32_t address) {
  const FunctionBlock* f = tables.function_at(address);
  return f && f->start && f->start->value == address && f->file && !f->name.empty() && !f->is_dot() ? f : nullptr;
}

// Sections the linker fills with instructions, by the names the toolchains give them.
bool code_section_name(std::string_view name) {
  for (std::string_view code : {".text", ".init", ".fini", ".install", ".xgate", ".ftext", ".ppage"})
    if (name.starts_with(code)) return true;
  return false;
}

// Where a section's contents are used: the address its symbols were
// computed against (a CPU address seen through the page registers), which
// differs from where they were loaded for initialised data copied at start-up.
std::uint32_t run_address(const Memory& memory, const SegmentRecord& s) {
  return s.base <= 0xFFFF ? memory.LocalToGlobal(static_cast<std::uint16_t>(s.base)) : s.base;
}

// The section whose run addresses hold `address`, if any.
const SegmentRecord* section_at(const Debugger& d, std::uint32_t address) {
  for (const SegmentRecord& s : d.program.segments()) {
    const std::uint32_t run = run_address(d.memory, s);
    if (address >= run && address - run < s.size) return &s;
  }
  return nullptr;
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// What a section holds: code when a function starts in it or its name says
// so, space without contents for the zero-filled sections, else data.
const char* section_kind(const SegmentRecord& s, bool has_functions) {
  if (has_functions || code_section_name(s.name)) return "Code";
  if (s.name.starts_with(".bss") || s.name.starts_with(".bsct") || s.file_offset == 0) return "Bss";
  return "Data";
}

}  // namespace

unsigned function_view_line(const FunctionBlock& f) {
  return f.first_line > 3 ? f.first_line - 2u : f.first_line;
}

std::vector<MapLine> symbol_lines(Debugger& d, SymbolOrder order) {
  const DebugTables& tables = d.program.tables();
  std::vector<MapLine> out;
  for (const auto& s : d.program.symbols().by_value()) {
    if (s->is_kernel() || s->name.empty()) continue;
    MapLine line;
    line.address = s->value();
    line.name = s->name;
    const char* kind = "Data";
    const SegmentRecord* in = section_at(d, line.address);
    if (!in) {
      kind = "Abs";  // a number the linker defined (a size, a stack top), not a place
      line.target = MapTarget::None;
    } else if (const FunctionBlock* f = function_entered_at(tables, line.address)) {
      line.target = MapTarget::Function;
      line.file = std::string(f->file->name);
      line.line = function_view_line(*f);
      kind = "Func";
    } else if (code_section_name(in->name)) {
      line.target = MapTarget::Code;
      kind = "Code";
    } else {
      line.target = MapTarget::Data;
    }
    line.text = format("%06x  %-4s  %s", line.address & 0xFFFFFFu, kind, s->name.c_str());
    if (line.target == MapTarget::Function) line.text += "  (" + line.file + ")";
    out.push_back(std::move(line));
  }
  if (order == SymbolOrder::Name)
    std::stable_sort(out.begin(), out.end(), [](const MapLine& a, const MapLine& b) {
      const std::string la = lower(a.name), lb = lower(b.name);
      return la != lb ? la < lb : a.name < b.name;
    });
  return out;
}

std::vector<MapLine> matching_symbols(const std::vector<MapLine>& lines, std::string_view filter) {
  const std::string want = lower(filter);
  std::vector<MapLine> out;
  for (const MapLine& l : lines)
    if (lower(l.name).find(want) != std::string::npos) out.push_back(l);
  return out;
}

std::vector<MapLine> application_map(Debugger& d) {
  const DebugTables& tables = d.program.tables();
  const std::vector<SegmentRecord>& segments = d.program.segments();
  std::vector<MapLine> out;
  if (d.program.file_name().empty()) return out;
  const std::string& path = d.program.file_name();
  out.push_back(plain("Program " + path.substr(path.find_last_of("/\\") + 1) +
                      format("   entry 0x%06x", d.program.entry_address() & 0xFFFFFFu)));
  out.push_back(plain("Section         Start    End        Size  Kind  Contents"));
  std::uint32_t code = 0, data = 0;
  // In the order of the addresses the program uses them at.
  std::vector<const SegmentRecord*> by_run;
  for (const SegmentRecord& s : segments) by_run.push_back(&s);
  std::stable_sort(by_run.begin(), by_run.end(), [&](const SegmentRecord* a, const SegmentRecord* b) {
    return run_address(d.memory, *a) < run_address(d.memory, *b);
  });
  for (const SegmentRecord* section : by_run) {
    const SegmentRecord& s = *section;
    const std::uint32_t run = run_address(d.memory, s);
    // The source files with a function in the section, in file-list order.
    std::vector<std::string> files;
    std::size_t functions = 0;
    for (const FileEntry* f : tables.files()) {
      bool here = false;
      for (const FunctionBlock* fn : f->functions)
        if (fn->start && !fn->name.empty() && fn->start->value >= run && fn->start->value - run < s.size)
          here = true, ++functions;
      if (here) files.emplace_back(f->name);
    }
    const char* kind = section_kind(s, functions != 0);
    (kind[0] == 'C' ? code : data) += s.size;
    std::string contents;
    if (run != s.placement) contents = format("loaded at %06x  ", s.placement & 0xFFFFFFu);
    if (functions) contents += std::to_string(functions) + (functions == 1 ? " function in " : " functions in ");
    for (std::size_t i = 0; i < files.size(); ++i) contents += (i ? ", " : "") + files[i];
    MapLine line = plain(format("%-14s  %06x - %06x %6u  %-4s  ", s.name.c_str(), run & 0xFFFFFFu,
                                (run + s.size - 1) & 0xFFFFFFu, static_cast<unsigned>(s.size), kind) + contents);
    line.target = kind[0] == 'C' ? MapTarget::Code : MapTarget::Data;
    line.address = run;
    line.name = s.name;
    out.push_back(std::move(line));
  }
  if (segments.empty()) {
    // An image without sections: the memory it filled, block by block.
    std::uint32_t start = 0;
    bool open = false;
    const auto close_range = [&](std::uint32_t end) {
      MapLine line = plain(format("%-14s  %06x - %06x %6u  %-4s  ", "(loaded)", start, end - 1, end - start, "Code"));
      line.target = MapTarget::Code;
      line.address = start;
      out.push_back(std::move(line));
      code += end - start;
    };
    for (std::uint32_t a = 0; a < kGlobalSpace; a += Memory::kBlockSize) {
      const bool loaded = d.memory.block_state(a) == Memory::New;
      if (loaded && !open) start = a, open = true;
      if (!loaded && open) close_range(a), open = false;
    }
    if (open) close_range(kGlobalSpace);
  }
  out.push_back(plain(format("Code %u bytes, data %u bytes", code, data)));
  return out;
}

}  // namespace tav
