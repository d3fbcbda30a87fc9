#include "image/elf/dwarf_lines.h"

#include "image/elf/dwarf_cursor.h"

namespace tav::elf {

namespace {

struct FileEntry {
  std::string name;
  std::uint64_t dir = 0;
};

std::string path_of(const FileEntry& f, const std::vector<std::string>& dirs) {
  if (f.dir == 0 || f.dir > dirs.size() || (!f.name.empty() && f.name[0] == '/')) return f.name;
  return dirs[f.dir - 1] + "/" + f.name;
}

void decode_unit(Cursor& c, std::size_t unit_end, const std::vector<std::uint8_t>& section,
                 std::vector<LineRow>& rows) {
  unsigned version = static_cast<unsigned>(c.fixed(2));
  if (version < 2 || version > 4)
    throw DwarfError("unsupported DWARF line table version " + std::to_string(version) +
                     " (assemble with --gdwarf-3)");
  std::uint64_t header_length = c.fixed(4);
  std::size_t program = c.pos() + header_length;
  if (program > unit_end) throw DwarfError("bad .debug_line header length");
  unsigned min_inst = c.u8();
  if (version >= 4) c.u8();  // maximum operations per instruction: always 1 here
  bool default_stmt = c.u8() != 0;
  (void)default_stmt;
  int line_base = static_cast<std::int8_t>(c.u8());
  unsigned line_range = c.u8();
  unsigned opcode_base = c.u8();
  if (line_range == 0 || opcode_base == 0) throw DwarfError("bad .debug_line header");
  std::vector<unsigned> arg_counts(opcode_base, 0);
  for (unsigned i = 1; i < opcode_base; ++i) arg_counts[i] = c.u8();
  std::vector<std::string> dirs;
  for (std::string d = c.str(); !d.empty(); d = c.str()) dirs.push_back(d);
  std::vector<FileEntry> files;
  for (std::string f = c.str(); !f.empty(); f = c.str()) {
    FileEntry e{f, c.uleb()};
    c.uleb();
    c.uleb();
    files.push_back(e);
  }

  Cursor p(section, program, unit_end, ".debug_line");
  auto reset = [](LineRow& r) { r = LineRow{}; r.line = 1; };
  LineRow state;
  reset(state);
  std::uint64_t file = 1;
  auto emit = [&](bool end) {
    LineRow r = state;
    r.end_sequence = end;
    if (file == 0 || file > files.size()) throw DwarfError("line row names an unknown file");
    r.file = path_of(files[file - 1], dirs);
    rows.push_back(r);
  };
  while (!p.done()) {
    unsigned op = p.u8();
    if (op >= opcode_base) {
      unsigned adj = op - opcode_base;
      state.address += static_cast<std::uint32_t>((adj / line_range) * min_inst);
      state.line = static_cast<std::uint32_t>(static_cast<std::int64_t>(state.line) + line_base +
                                              static_cast<int>(adj % line_range));
      emit(false);
      continue;
    }
    switch (op) {
      case 0: {  // extended opcode
        std::uint64_t len = p.uleb();
        if (len == 0) throw DwarfError("empty extended opcode");
        std::size_t next = p.pos() + len;
        unsigned sub = p.u8();
        if (sub == 1) {
          emit(true);
          reset(state);
          file = 1;
        } else if (sub == 2) {
          state.address = static_cast<std::uint32_t>(p.fixed(len - 1 > 4 ? 4 : len - 1));
        } else if (sub == 3) {
          FileEntry e{p.str(), p.uleb()};
          files.push_back(e);
        }
        p.skip(next - p.pos());
        break;
      }
      case 1: emit(false); break;
      case 2: state.address += static_cast<std::uint32_t>(p.uleb() * min_inst); break;
      case 3: state.line = static_cast<std::uint32_t>(static_cast<std::int64_t>(state.line) + p.sleb()); break;
      case 4: file = p.uleb(); break;
      case 5: state.column = static_cast<std::uint32_t>(p.uleb()); break;
      case 6: case 7: case 10: case 11: break;
      case 8: state.address += static_cast<std::uint32_t>(((255 - opcode_base) / line_range) * min_inst); break;
      case 9: state.address += static_cast<std::uint32_t>(p.fixed(2)); break;
      default:
        for (unsigned i = 0; i < arg_counts[op]; ++i) p.uleb();
    }
  }
}

}  // namespace

std::vector<LineRow> decode_line_table(const std::vector<std::uint8_t>& section) {
  std::vector<LineRow> rows;
  std::size_t at = 0;
  while (at + 4 <= section.size()) {
    Cursor c(section, at, section.size(), ".debug_line");
    std::uint64_t length = c.fixed(4);
    if (length >= 0xFFFFFFF0u) throw DwarfError("64-bit DWARF is not supported");
    std::size_t end = c.pos() + length;
    if (end > section.size()) throw DwarfError("truncated .debug_line unit");
    Cursor unit(section, c.pos(), end, ".debug_line");
    decode_unit(unit, end, section, rows);
    at = end;
  }
  return rows;
}

}  // namespace tav::elf
