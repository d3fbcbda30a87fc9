#include "ui/model/data_memory_view.h"

#include "support/fmt.h"
#include "ui/model/colour_runs.h"
#include "ui/model/disasm_view.h"

namespace tav {

namespace {
unsigned unit_of(const DataLineFormat& f) { return f.unit == 2 || f.unit == 4 ? f.unit : 1; }
constexpr unsigned kAddressCells = 7;  // six digits and a blank
}  // namespace

std::vector<std::string> DataMemoryView::paint(Memory& memory, unsigned count, bool full) {
  const unsigned unit = unit_of(format);
  const unsigned per_line = (format.bytes + unit - 1) / unit;
  const bool compare = !full && shown_start_ == start && shown_format_.bytes == format.bytes &&
                       shown_format_.unit == format.unit && shown_.size() == std::size_t(count) * per_line;
  std::vector<std::uint32_t> values;
  values.reserve(std::size_t(count) * per_line);
  std::vector<std::string> lines;
  for (unsigned l = 0; l < count; ++l) {
    const std::uint32_t address = line_address(l);
    std::string line = fmtstr("%+0nhl ", 6, address);
    for (unsigned i = 0; i < per_line; ++i) {
      const std::uint32_t value = read_unit(memory, address + i * unit, unit);
      const bool changed = compare && shown_[values.size()] != value;
      values.push_back(value);
      if (i) line += ' ';
      if (changed) line += colour_switch(kColourChanged);
      line += unit_text(value, unit, format.base);
      if (changed) line += colour_switch(9);
    }
    if (format.characters) {
      line += ' ';
      for (unsigned i = 0; i < format.bytes; ++i) line += column_char(memory.ReadByte(address + i));
    }
    lines.push_back(std::move(line));
  }
  shown_ = std::move(values);
  shown_start_ = start;
  shown_format_ = format;
  return lines;
}

std::vector<std::string> DataMemoryView::plain(Memory& memory, unsigned count) const {
  std::vector<std::string> lines;
  for (unsigned l = 0; l < count; ++l) lines.push_back(data_line(memory, line_address(l), format));
  return lines;
}

std::optional<UnitPlace> DataMemoryView::unit_at(unsigned line, unsigned column) const {
  const unsigned unit = unit_of(format);
  const unsigned width = static_cast<unsigned>(unit_text(0, unit, format.base).size());
  if (column < kAddressCells) return std::nullopt;
  const unsigned offset = column - kAddressCells, index = offset / (width + 1);
  if (offset % (width + 1) == width || index * unit >= format.bytes) return std::nullopt;
  return UnitPlace{line_address(line) + index * unit, unit, kAddressCells + index * (width + 1), width};
}

std::string DataMemoryView::write_command(const UnitPlace& place, std::uint32_t value) {
  const char* size = place.unit == 4 ? "/l" : place.unit == 2 ? "/w" : "/b";
  return std::string("mm ") + size + fmtstr(" 0x%hl 0x%hl", place.address, value);
}

}  // namespace tav
