#include "image/elf/elf_program.h"

#include <algorithm>
#include <map>
#include <set>

#include "image/elf/converter.h"
#include "image/elf/dwarf_info.h"
#include "image/elf/dwarf_lines.h"
#include "image/elf/elf_file.h"
#include "image/elf/s12x_map.h"

namespace tav::elf {

namespace {

constexpr std::uint32_t kExecutable = 0x4;  // SHF_EXECINSTR
constexpr std::uint8_t kFunctionType = 2;   // STT_FUNC

std::string base_name(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Units of .debug_info name their source as the compiler was given it; the
// line table may spell it with a directory. Rows decide.
void match_sources(SideProgram& side, const std::set<std::string>& row_files) {
  for (SideFile& f : side.files) {
    if (row_files.count(f.source)) continue;
    for (const std::string& r : row_files)
      if (base_name(r) == f.name) {
        f.source = r;
        break;
      }
  }
}

// Sources with rows but without a unit that has functions (assembly
// assembled with -g): one unit each, its functions cut from the code
// symbols (the typed functions when there are any, else every label).
void add_assembly_units(const ElfFile& elf, SideProgram& side, const std::vector<LineRow>& rows) {
  std::map<std::string, SideFile*> by_source;
  for (SideFile& f : side.files) by_source[f.source] = &f;
  std::set<std::string> bare;
  for (const LineRow& r : rows) {
    auto it = by_source.find(r.file);
    if (it == by_source.end() || it->second->functions.empty()) bare.insert(r.file);
  }
  if (bare.empty()) return;

  struct Code { std::uint32_t address; std::string name; std::uint32_t size; };
  std::vector<Code> code;
  bool typed = false;
  for (const ElfSymbol& s : elf.symbols()) {
    if (s.section == 0 || s.section >= elf.sections().size() || s.type > kFunctionType || s.name.empty() ||
        s.name[0] == '.' || s.name[0] == 'L')
      continue;
    const ElfSection& sec = elf.sections()[s.section];
    if (!(sec.flags & kExecutable)) continue;
    typed = typed || s.type == kFunctionType;
    code.push_back({s.value, s.name, s.type == kFunctionType ? s.size : 0});
  }
  if (typed) std::erase_if(code, [](const Code& c) { return c.size == 0; });
  std::sort(code.begin(), code.end(), [](const Code& a, const Code& b) { return a.address < b.address; });
  code.erase(std::unique(code.begin(), code.end(), [](const Code& a, const Code& b) { return a.address == b.address; }),
             code.end());

  auto section_end = [&](std::uint32_t a) -> std::uint32_t {
    for (const ElfSection& s : elf.sections())
      if (s.allocated() && (s.flags & kExecutable) && a >= s.address && a - s.address < s.size) return s.address + s.size;
    return a + 1;
  };
  std::map<std::string, SideFile> fresh;
  for (std::size_t i = 0; i < code.size(); ++i) {
    std::uint32_t end = section_end(code[i].address);
    if (code[i].size) end = code[i].address + code[i].size;
    else if (i + 1 < code.size()) end = std::min(end, code[i + 1].address);
    // The function belongs to the source of its first row.
    const LineRow* first = nullptr;
    for (const LineRow& r : rows)
      if (!r.end_sequence && r.address >= code[i].address && r.address < end && (!first || r.address < first->address))
        first = &r;
    if (!first || !bare.count(first->file)) continue;
    SideFunction f;
    f.name = code[i].name;
    f.low_pc = code[i].address;
    f.high_pc = end;
    auto it = by_source.find(first->file);
    SideFile& file = it != by_source.end() ? *it->second : fresh[first->file];
    file.functions.push_back(f);
  }
  for (auto& [source, f] : fresh) {
    f.source = source;
    f.name = base_name(source);
    side.files.push_back(std::move(f));
  }
}

}  // namespace

ElfProgram convert_elf(std::vector<std::uint8_t> bytes) {
  ElfFile elf(std::move(bytes));
  Warnings warnings;
  SideProgram side;
  read_debug_info(elf, side, warnings);
  std::vector<LineRow> rows;
  if (const ElfSection* s = elf.find_section(".debug_line")) rows = decode_line_table(elf.contents(*s));
  std::set<std::string> row_files;
  for (const LineRow& r : rows) row_files.insert(r.file);
  match_sources(side, row_files);
  add_assembly_units(elf, side, rows);
  // Units without functions have nothing to step through; their variables stay.
  ConvertOptions options;
  options.lenient = &warnings;
  Conversion c = convert(elf, side, options);
  ElfProgram out;
  out.object = c.object.serialize();
  out.entry = local_to_global(elf.entry());
  out.warnings = warnings.list();
  return out;
}

}  // namespace tav::elf
