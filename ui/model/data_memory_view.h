// A data memory view as data: its lines from a start address in the chosen
// unit, base and line length, each unit that changed since the previous
// incremental paint wrapped in the changed colour, and which unit a
// character column of a line shows (for the in-place edit).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kernel/memory_text.h"

namespace tav {

class Memory;

struct UnitPlace {
  std::uint32_t address = 0;
  unsigned unit = 1;
  unsigned column = 0, width = 0;  // character cells of its text in the line
  bool operator==(const UnitPlace&) const = default;
};

class DataMemoryView {
 public:
  DataLineFormat format;
  std::uint32_t start = 0;

  // `count` lines with colour switches. `full` repaints without highlighting
  // (a new start, a new format, a full update); otherwise a unit whose value
  // differs from the last paint is drawn changed. Either way the values
  // become the ones the next paint compares with.
  std::vector<std::string> paint(Memory& memory, unsigned count, bool full);
  // The lines without colours, as "Dump" writes them.
  std::vector<std::string> plain(Memory& memory, unsigned count) const;

  std::uint32_t line_address(unsigned line) const { return (start + line * format.bytes) & 0xFFFFFF; }
  // The unit a character column of line `line` falls on, if any.
  std::optional<UnitPlace> unit_at(unsigned line, unsigned column) const;
  // The command that writes `value` into a unit.
  static std::string write_command(const UnitPlace& place, std::uint32_t value);

 private:
  std::uint32_t shown_start_ = 0;
  DataLineFormat shown_format_;
  std::vector<std::uint32_t> shown_;  // unit values of the last paint
};

}  // namespace tav
