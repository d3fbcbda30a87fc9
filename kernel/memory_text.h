// Lines of target memory as the data memory view lays them out: the address,
// the units in the chosen base and, optionally, the bytes as characters.
// The "dump" command prints them; the desktop host's data views draw them.
#pragma once
#include <cstdint>
#include <string>

namespace tav {

class Memory;

enum class NumberBase { Binary, Octal, Decimal, Hexadecimal };

struct DataLineFormat {
  unsigned bytes = 16;  // bytes per line
  unsigned unit = 1;    // 1, 2 or 4 bytes
  NumberBase base = NumberBase::Hexadecimal;
  bool characters = false;  // the character column
};

// One line from `address`, read with the raw accessors, without a line end.
std::string data_line(Memory& memory, std::uint32_t address, const DataLineFormat& format);

// One unit (1, 2 or 4 bytes, high byte first) with the raw accessors.
std::uint32_t read_unit(Memory& memory, std::uint32_t address, unsigned unit);
void write_unit(Memory& memory, std::uint32_t address, unsigned unit, std::uint32_t value);

// One unit's text in the format's base and width.
std::string unit_text(std::uint32_t value, unsigned unit, NumberBase base);

// The character a byte shows in the character column.
inline char column_char(std::uint8_t byte) {
  const std::uint8_t c = byte & 0x7F;
  return c < 32 || c == 127 ? '.' : static_cast<char>(c);
}

}  // namespace tav
