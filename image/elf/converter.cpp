#include "image/elf/converter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>

#include "image/elf/dwarf_lines.h"
#include "image/elf/s12x_map.h"
#include "image/elf/type_system.h"

namespace tav::elf {

using nlohmann::ordered_json;
namespace sc = x12::sclass;

namespace {

constexpr std::uint16_t kAbsoluteIndex = 0xFFF1;
constexpr std::uint8_t kSectionType = 3, kFileType = 4;
constexpr std::uint8_t kRts = 0x3D, kRtc = 0x0A, kRti = 0x0B;
// The XGATE's returns: rts ends a thread, jal through the link register
// ends a subroutine (any jal Rn: its word is 0x00F6 with the register in bits 8-10).
constexpr std::uint16_t kXgateRts = 0x0200, kXgateJal = 0x00F6, kXgateJalMask = 0xF8FF;

struct Placed {
  std::uint8_t section = 0;  // 1-based .x12 section; 0 absolute
  std::uint32_t value = 0;   // as stored: run address for a section, global otherwise
  std::uint32_t global = 0;  // what the reader ends up with
};

struct FunctionInfo {
  const SideFunction* side = nullptr;
  std::uint32_t start = 0, end = 0;  // run addresses; end = the final return instruction
  std::uint32_t start_line = 0, first_line = 0, last_line = 0;
  std::vector<LineRow> rows;
};

struct FileInfo {
  const SideFile* side = nullptr;
  bool xgate = false;  // an XGATE unit: its addresses are XGATE addresses
  std::vector<FunctionInfo> functions;
  std::uint32_t first_line = 1, last_line = 1;
};

std::string hex(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", v);
  return buf;
}

class Converter {
 public:
  Converter(const ElfFile& elf, const SideProgram& side, const ConvertOptions& options)
      : elf_(elf), side_(side), options_(options), types_(side) {}

  Conversion run() {
    check_xgate_sections();
    add_sections();
    add_symbols();
    read_rows();
    for (const SideFile& f : side_.files) files_.push_back(collect_file(f));
    check_rows_covered();
    build_debug();
    return {std::move(obj_), std::move(expect_)};
  }

 private:
  // ------------------------------------------------------------ addresses

  // Stores an address against the section that holds it when that section's
  // delta maps it to its global address; otherwise as an absolute global value.
  // `xgate`: the address is an XGATE address (an XGATE section's or unit's).
  Placed place(std::uint32_t run, bool xgate) const {
    std::uint32_t global = to_global(run, xgate);
    for (std::size_t i = 0; i < obj_.sections.size(); ++i) {
      const x12::Section& s = obj_.sections[i];
      if (section_xgate_[i] != xgate) continue;
      if (run >= s.base && run - s.base < s.effective_size() && s.placement - s.base == global - run)
        return {static_cast<std::uint8_t>(i + 1), run, global};
    }
    return {0, global, global};
  }

  std::uint32_t symbol_global(const std::string& name, const std::string& object, const std::string& where) const {
    auto s = elf_.find_symbol(name, object);
    if (!s) throw ConvertError(where + ": symbol " + name + " not found in the ELF file");
    return s->section == kAbsoluteIndex ? s->value : to_global(s->value, elf_section_xgate(s->section));
  }

  // Load addresses: global, banked (page x 0x10000 + window, above the
  // global flash) or CPU12 local.
  static std::uint32_t load_to_global(std::uint32_t lma, bool xgate) {
    if (xgate) return lma;
    if (lma > 0x7FFFFF)
      if (auto g = banked_window_to_global(lma)) return *g;
    return local_to_global(lma);
  }

  // ------------------------------------------------------------ XGATE sections

  bool is_xgate_name(const std::string& name) const {
    return std::find(side_.xgate_sections.begin(), side_.xgate_sections.end(), name) != side_.xgate_sections.end();
  }
  bool elf_section_xgate(std::uint16_t index) const {
    return index < elf_.sections().size() && is_xgate_name(elf_.sections()[index].name);
  }
  void check_xgate_sections() const {
    for (const std::string& name : side_.xgate_sections)
      if (!elf_.find_section(name)) throw ConvertError("XGATE section " + name + " not found in the ELF file");
  }

  // ------------------------------------------------------------ sections, symbols

  void add_sections() {
    for (const ElfSection& s : elf_.sections()) {
      if (!s.allocated() || s.size == 0) continue;
      x12::Section out;
      out.name = s.name;
      if (s.name.size() > 14) {
        if (!options_.lenient) throw ConvertError("section name " + s.name + " is longer than 14 characters");
        options_.lenient->add("section names are cut to 14 characters");
        out.name.resize(14);
      }
      // Attribute byte: 1 code, 2 writable, 4 no contents (informational).
      out.attribute = static_cast<std::uint8_t>(((s.flags & 4u) ? 1 : 0) | ((s.flags & 1u) ? 2 : 0) |
                                                (s.has_bits() ? 0 : 4));
      out.base = s.address;
      const bool xgate = is_xgate_name(s.name);
      out.placement = s.has_bits() ? load_to_global(s.load_address, xgate) : to_global(s.address, xgate);
      out.has_contents = s.has_bits();
      out.contents = elf_.contents(s);
      out.size = s.size;
      obj_.sections.push_back(std::move(out));
      section_xgate_.push_back(xgate);
    }
  }

  static bool printable(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 127; });
  }

  void add_symbols() {
    for (const ElfSymbol& s : elf_.symbols()) {
      if (s.section == 0 || s.type == kSectionType || s.type == kFileType) continue;
      // Local labels of the assembler and names beginning with "." (which
      // the debugger keeps for its own variables) are left out.
      if (!printable(s.name) || s.name[0] == '.') continue;
      if (s.section != kAbsoluteIndex && (s.section >= elf_.sections().size() ||
                                          !elf_.sections()[s.section].allocated()))
        continue;
      x12::Symbol out;
      out.name = s.name;
      out.flags = static_cast<std::uint8_t>(x12::symflag::kDefined | (s.binding == 1 ? x12::symflag::kGlobal : 0));
      std::uint32_t global;
      if (s.section == kAbsoluteIndex) {
        out.value = global = s.value;
      } else {
        Placed p = place(s.value, elf_section_xgate(s.section));
        out.section = p.section;
        out.value = p.value;
        global = p.global;
      }
      obj_.symbols.push_back(out);
      if (expect()) symbols_json_.push_back({{"name", s.name}, {"value", global}});
    }
    // Kernel variables the program defines when it is loaded.
    for (const SideKernelVariable& k : side_.kernel_variables) {
      x12::Symbol out;
      out.name = k.name;
      out.flags = x12::symflag::kDefined;
      out.value = k.value;
      obj_.symbols.push_back(out);
      kernel_json_.push_back({{"name", k.name}, {"value", k.value}});
    }
  }

  // ------------------------------------------------------------ lines

  void read_rows() {
    const ElfSection* s = elf_.find_section(".debug_line");
    if (!s) return;
    for (LineRow& r : decode_line_table(elf_.contents(*s))) {
      if (r.end_sequence) continue;
      if (options_.lenient && !file_by_source(r.file)) {
        options_.lenient->add("line rows of sources without a unit are left out");
        continue;
      }
      rows_.push_back(std::move(r));
    }
    std::stable_sort(rows_.begin(), rows_.end(), [](const LineRow& a, const LineRow& b) { return a.address < b.address; });
  }

  const SideFile* file_by_source(const std::string& source) const {
    for (const SideFile& f : side_.files)
      if (f.source == source) return &f;
    return nullptr;
  }

  std::uint8_t byte_at(std::uint32_t run, bool xgate) const {
    for (const ElfSection& s : elf_.sections())
      if (s.allocated() && s.has_bits() && is_xgate_name(s.name) == xgate && run >= s.address && run - s.address < s.size)
        return elf_.contents(s)[run - s.address];
    throw ConvertError("address " + hex(run) + " holds no code");
  }

  std::uint32_t count_source_lines(const SideFile& f) const {
    if (options_.source_dir.empty()) return 0;
    std::ifstream in(options_.source_dir + "/" + f.source);
    if (!in) return 0;
    std::uint32_t n = 0;
    for (std::string line; std::getline(in, line);) ++n;
    return n;
  }

  FunctionInfo collect_function(const SideFile& file, const SideFunction& fn) {
    std::string where = file.name + ": " + fn.name + "()";
    const bool xgate = is_xgate_unit(file.unit);
    std::optional<ElfSymbol> sym;
    if (fn.low_pc) {
      sym = ElfSymbol{};
      sym->value = *fn.low_pc;
    } else {
      sym = elf_.find_symbol(fn.symbol, file.object);
    }
    if (!sym) throw ConvertError(where + ": symbol " + fn.symbol + " not found in the ELF file");
    FunctionInfo info;
    info.side = &fn;
    info.start = sym->value;
    if (fn.high_pc) {  // from DWARF: the end record goes on the last instruction
      info.end = *fn.high_pc - (xgate ? 2 : 1);
    } else if (fn.end_symbol) {
      auto e = elf_.find_symbol(*fn.end_symbol, file.object);
      if (!e) throw ConvertError(where + ": symbol " + *fn.end_symbol + " not found in the ELF file");
      info.end = e->value;
    } else if (xgate) {
      // The end record sits on the last instruction word.
      if (sym->size < 2) throw ConvertError(where + ": " + fn.symbol + " has no size (add .size)");
      info.end = sym->value + sym->size - 2;
      const auto last = static_cast<std::uint16_t>(byte_at(info.end, true) << 8 | byte_at(info.end + 1, true));
      if (last != kXgateRts && (last & kXgateJalMask) != kXgateJal)
        throw ConvertError(where + ": the XGATE function does not end with rts or jal");
    } else {
      if (sym->size == 0) throw ConvertError(where + ": " + fn.symbol + " has no size (add .size)");
      info.end = sym->value + sym->size - 1;
      std::uint8_t last = byte_at(info.end, false);
      if (last != kRts && last != kRtc && last != kRti)
        throw ConvertError(where + ": the function does not end with rts, rtc or rti");
    }
    if (info.end < info.start) throw ConvertError(where + ": end lies before start");

    // The instruction of each address belongs to the last row at it; a run
    // of rows for the same line is one line record. Rows at the final return
    // would be dropped by the reader's clean-up, so they are not written.
    // rows_ is in address order (read_rows).
    auto first = std::lower_bound(rows_.begin(), rows_.end(), info.start,
                                  [](const LineRow& r, std::uint32_t a) { return r.address < a; });
    std::vector<LineRow> rows;
    for (auto it = first; it != rows_.end() && it->address < info.end; ++it) rows.push_back(*it);
    for (const LineRow& r : rows) {
      if (!info.rows.empty() && info.rows.back().address == r.address) info.rows.back() = r;
      else info.rows.push_back(r);
    }
    std::vector<LineRow> merged;
    for (const LineRow& r : info.rows)
      if (merged.empty() || merged.back().line != r.line || merged.back().file != r.file) merged.push_back(r);
    info.rows = std::move(merged);
    for (const LineRow& r : info.rows)
      if (!file_by_source(r.file))
        throw ConvertError(where + ": line rows name the source " + r.file + ", which the side file does not declare");

    const bool row_at_start = !info.rows.empty() && info.rows.front().address == info.start;
    if (fn.low_pc && row_at_start) info.start_line = info.rows.front().line;  // DWARF: the row beats decl_line
    else if (fn.start_line) info.start_line = *fn.start_line;
    else if (row_at_start) info.start_line = info.rows.front().line;
    else if (options_.lenient) info.start_line = info.rows.empty() ? 1 : info.rows.front().line;
    else throw ConvertError(where + ": no line row at the function's first instruction (give \"start_line\")");
    info.first_line = info.last_line = info.start_line;
    for (const LineRow& r : info.rows)
      if (r.file == file.source) {
        info.first_line = std::min(info.first_line, r.line);
        info.last_line = std::max(info.last_line, r.line);
      }
    if (fn.first_line) info.first_line = *fn.first_line;
    if (fn.last_line) info.last_line = *fn.last_line;
    return info;
  }

  FileInfo collect_file(const SideFile& f) {
    FileInfo info;
    info.side = &f;
    info.xgate = is_xgate_unit(f.unit);
    for (const SideFunction& fn : f.functions) info.functions.push_back(collect_function(f, fn));
    std::stable_sort(info.functions.begin(), info.functions.end(),
                     [](const FunctionInfo& a, const FunctionInfo& b) { return a.start < b.start; });
    std::uint32_t last = count_source_lines(f);
    for (const LineRow& r : rows_)
      if (r.file == f.source) last = std::max(last, r.line);
    for (const FunctionInfo& fn : info.functions) last = std::max(last, fn.last_line);
    info.first_line = f.first_line.value_or(1);
    info.last_line = f.last_line.value_or(std::max<std::uint32_t>(last, 1));
    return info;
  }

  void check_rows_covered() {
    if (options_.lenient) {  // rows outside functions cannot be stepped to: drop them
      std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;
      for (const FileInfo& f : files_)
        for (const FunctionInfo& fn : f.functions) spans.emplace_back(fn.start, fn.end);
      std::sort(spans.begin(), spans.end());
      std::erase_if(rows_, [&](const LineRow& r) {
        // Spans may overlap: any span starting at or before the row may hold it.
        auto it = std::upper_bound(spans.begin(), spans.end(), std::make_pair(r.address, UINT32_MAX));
        for (std::size_t n = 0; it != spans.begin() && n < 64; ++n)
          if (r.address <= (--it)->second) return false;
        options_.lenient->add("line rows outside every function are left out");
        return true;
      });
      return;
    }
    for (const LineRow& r : rows_) {
      bool inside = false;
      for (const FileInfo& f : files_)
        for (const FunctionInfo& fn : f.functions)
          inside = inside || (r.address >= fn.start && r.address <= fn.end);
      if (!inside)
        throw ConvertError("line " + r.file + ":" + std::to_string(r.line) + " at " + hex(r.address) +
                           " lies outside every declared function");
    }
  }

  // ------------------------------------------------------------ entries

  struct Built {
    x12::Entry entry;
    ordered_json expect;
  };

  Built build_entry(const SideEntry& e, std::uint8_t default_class, const SideFile& file,
                    const std::string& where, std::uint32_t adjust = 0) {
    std::uint8_t cls = e.storage_class.value_or(default_class);
    SideEntry typed = e;
    if (typed.type.empty()) typed.type = (cls == sc::kLocalLabel || cls == sc::kGlobalLabel) ? "label" : "int";
    Type t = types_.resolve_entry(typed);
    std::uint32_t value = 0;
    if (e.symbol) value = symbol_global(*e.symbol, file.object, where + "." + e.name);
    else if (e.reg) value = *register_code(*e.reg);
    else if (e.value) value = static_cast<std::uint32_t>(*e.value);

    Built b;
    b.entry.name = e.name;
    b.entry.storage_class = cls;
    b.entry.value = value - adjust;
    if (e.extra) b.entry.extra_word = static_cast<std::uint32_t>(*e.extra);
    b.entry.type = t.ref;
    if (!expect()) return b;
    b.expect = {{"name", e.name}, {"class", cls}, {"value", value}, {"type", typed.type},
                {"type_word", t.ref.type_word}, {"size", t.size}};
    if (t.ref.aggregate >= 0) b.expect["aggregate"] = types_.aggregate_keys()[static_cast<std::size_t>(t.ref.aggregate)];
    if (!t.ref.descriptor.empty()) b.expect["descriptor"] = t.ref.descriptor;
    if (e.extra) b.expect["extra"] = static_cast<std::uint32_t>(*e.extra);
    return b;
  }

  // ------------------------------------------------------------ debug

  x12::DebugRecord record(std::uint8_t kind, std::uint32_t run, std::string text, bool xgate) const {
    Placed p = place(run, xgate);
    return {p.value, kind, p.section, std::move(text)};
  }

  static std::string range(const LineRow& r) {
    return std::to_string(r.line) + (r.column ? "." + std::to_string(r.column) : "");
  }

  void build_debug() {
    x12::DebugModel model;
    model.aggregates = types_.aggregates();
    ordered_json files = ordered_json::array();
    std::vector<x12::DebugRecord> code_records;
    std::size_t n_functions = 0, n_lines = 0, n_defines = 0;

    for (const FileInfo& fi : files_) {
      const SideFile& f = *fi.side;
      x12::FileBlock block;
      block.name = f.name;
      block.unit_code = f.unit;
      ordered_json jf = {{"name", f.name}, {"source", f.source}, {"unit", f.unit},
                         {"xgate", fi.xgate},
                         {"first_line", fi.first_line}, {"last_line", fi.last_line}};
      ordered_json jfunctions = ordered_json::array(), jlines = ordered_json::array();

      for (const FunctionInfo& fn : fi.functions) {
        const SideFunction& sf = *fn.side;
        std::string where = f.name + ": " + sf.name + "()";
        Type ret = types_.resolve(sf.returns);
        bool hidden_return = ret.ref.type_word == x12::base::kStruct || ret.ref.type_word == x12::base::kDouble ||
                             ret.ref.type_word == x12::base::kLongDouble;
        x12::FunctionBlock fb;
        fb.name = sf.name;
        fb.storage_class = sf.storage_class;
        fb.first_line = fn.first_line;
        fb.last_line = fn.last_line;
        fb.return_type = ret.ref;
        ordered_json args = ordered_json::array(), locals = ordered_json::array(), labels = ordered_json::array();
        std::vector<std::pair<std::uint32_t, ordered_json>> sorted_args;
        for (const SideEntry& e : sf.locals) {
          std::uint8_t cls = e.storage_class.value_or(sc::kAuto);
          // The reader adds 4 to the arguments of functions that return a
          // struct or a double, and 1 to class-2 arguments after a '+' start.
          std::uint32_t adjust = (hidden_return && sc::is_argument(cls) ? 4 : 0) + (sf.plus && cls == sc::kArgument ? 1 : 0);
          Built b = build_entry(e, sc::kAuto, f, where, adjust);
          fb.locals.push_back(b.entry);
          if (!expect()) continue;
          if (sc::is_argument(cls)) sorted_args.emplace_back(b.expect["value"].get<std::uint32_t>(), b.expect);
          else if (cls == sc::kLocalLabel || cls == sc::kGlobalLabel) labels.push_back(b.expect);
          else locals.push_back(b.expect);
        }
        std::stable_sort(sorted_args.begin(), sorted_args.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& a : sorted_args) args.push_back(a.second);
        block.functions.push_back(fb);
        ++n_functions;

        std::string start_text = f.name + "~" + sf.name + ":" + (sf.plus ? "+" : "") + std::to_string(fn.start_line);
        const bool xg = fi.xgate;
        code_records.push_back(record(x12::kind::kFunctionStart, fn.start, start_text, xg));
        ordered_json jrows = ordered_json::array();
        for (const LineRow& r : fn.rows) {
          const SideFile* owner = file_by_source(r.file);
          code_records.push_back(record(x12::kind::kLine, r.address, owner->name + ":" + range(r), xg));
          ++n_lines;
          if (!expect()) continue;
          ordered_json jr = {{"file", owner->name}, {"line", r.line}, {"address", to_global(r.address, xg)}};
          jrows.push_back(jr);
          if (owner == &f) jlines.push_back({{"line", r.line}, {"address", to_global(r.address, xg)}, {"function", sf.name}});
        }
        code_records.push_back(record(x12::kind::kFunctionEnd, fn.end, f.name + "~" + sf.name, xg));

        if (expect())
          jfunctions.push_back({{"name", sf.name}, {"class", sf.storage_class}, {"returns", sf.returns},
                              {"return_type_word", ret.ref.type_word}, {"return_size", ret.size},
                              {"start", to_global(fn.start, xg)}, {"end", to_global(fn.end, xg)},
                              {"start_line", fn.start_line}, {"first_line", fn.first_line},
                              {"last_line", fn.last_line}, {"plus", sf.plus},
                              {"args", args}, {"locals", locals}, {"labels", labels}, {"lines", jrows}});
      }

      // The file-level block comes last: the file's variables and typedefs.
      x12::FunctionBlock file_level;
      file_level.name.clear();
      file_level.first_line = fi.first_line;
      file_level.last_line = fi.last_line;
      file_level.return_type = x12::make_type(x12::base::kVoid);
      ordered_json variables = ordered_json::array(), typedefs = ordered_json::array(), defines = ordered_json::array();
      for (const SideEntry& e : f.variables) {
        Built b = build_entry(e, sc::kExtern, f, f.name);
        file_level.locals.push_back(b.entry);
        variables.push_back(b.expect);
      }
      for (const SideEntry& e : f.typedefs) {
        Built b = build_entry(e, sc::kTypedef, f, f.name);
        file_level.locals.push_back(b.entry);
        typedefs.push_back(b.expect);
      }
      block.functions.push_back(file_level);
      for (const SideDefine& d : f.defines) {
        block.defines.push_back({d.name, d.value});
        defines.push_back({{"name", d.name}, {"value", d.value}});
        ++n_defines;
      }
      model.files.push_back(std::move(block));
      jf["variables"] = variables;
      jf["typedefs"] = typedefs;
      jf["defines"] = defines;
      jf["functions"] = jfunctions;
      jf["lines"] = jlines;
      files.push_back(jf);
    }

    x12::add_debug(obj_, model);
    obj_.debug_records.insert(obj_.debug_records.end(), code_records.begin(), code_records.end());

    ordered_json aggregates = ordered_json::array();
    const auto& aggs = types_.aggregates();
    for (std::size_t i = 0; expect() && i < aggs.size(); ++i) {
      ordered_json members = ordered_json::array();
      for (const x12::Entry& m : aggs[i].members) {
        ordered_json jm = {{"name", m.name}, {"class", m.storage_class}, {"value", m.value},
                           {"type_word", m.type.type_word}};
        if (x12::base::is_bit_field(static_cast<std::uint8_t>(m.type.type_word)))
          jm["bit_offset"] = m.type.descriptor.at(0) >> 8, jm["bit_width"] = m.type.descriptor.at(0) & 0xFF;
        members.push_back(jm);
      }
      aggregates.push_back({{"key", types_.aggregate_keys()[i]}, {"kind", types_.aggregate_kinds()[i]},
                            {"tag", aggs[i].tag}, {"size", aggs[i].size}, {"members", members}});
    }

    ordered_json sections = ordered_json::array();
    for (const x12::Section& s : obj_.sections)
      sections.push_back({{"name", s.name}, {"placement", s.placement}, {"base", s.base},
                          {"size", s.effective_size()}, {"contents", s.has_contents && !s.contents.empty()}});

    expect_ = {{"program", side_.program}};
    if (auto entry = elf_.find_symbol(side_.entry))
      expect_["entry"] = {{"symbol", side_.entry}, {"address", local_to_global(entry->value)}};
    expect_["records"] = {{"files", files_.size()}, {"functions", n_functions}, {"lines", n_lines},
                          {"defines", n_defines}, {"total", obj_.debug_records.size()}};
    expect_["sections"] = sections;
    expect_["symbols"] = symbols_json_;
    expect_["kernel_variables"] = kernel_json_;
    expect_["files"] = files;
    expect_["aggregates"] = aggregates;
  }

  // The expectation document is written for mkx12, not for a loaded ELF file.
  bool expect() const { return options_.lenient == nullptr; }

  const ElfFile& elf_;
  const SideProgram& side_;
  ConvertOptions options_;
  TypeSystem types_;
  x12::ObjectFile obj_;
  std::vector<LineRow> rows_;
  std::vector<FileInfo> files_;
  ordered_json symbols_json_ = ordered_json::array();
  ordered_json kernel_json_ = ordered_json::array();
  std::vector<bool> section_xgate_;  // per .x12 section: it runs at XGATE addresses
  ordered_json expect_;
};

}  // namespace

Conversion convert(const ElfFile& elf, const SideProgram& side, const ConvertOptions& options) {
  return Converter(elf, side, options).run();
}

}  // namespace tav::elf
