#include "kernel/memory_text.h"

#include "sim/memory.h"
#include "support/fmt.h"

namespace tav {

namespace {

// Digits per unit of 1, 2 and 4 bytes. Decimal units are signed and keep a
// place for the sign.
unsigned width_of(unsigned unit, NumberBase base) {
  const unsigned i = unit == 1 ? 0 : unit == 2 ? 1 : 2;
  static constexpr unsigned binary[3] = {8, 16, 32};
  static constexpr unsigned octal[3] = {3, 6, 11};
  static constexpr unsigned decimal[3] = {4, 6, 11};
  static constexpr unsigned hexadecimal[3] = {2, 4, 8};
  switch (base) {
    case NumberBase::Binary: return binary[i];
    case NumberBase::Octal: return octal[i];
    case NumberBase::Decimal: return decimal[i];
    case NumberBase::Hexadecimal: break;
  }
  return hexadecimal[i];
}

}  // namespace

std::uint32_t read_unit(Memory& memory, std::uint32_t address, unsigned unit) {
  if (unit == 4) return memory.ReadLong(address);
  if (unit == 2) return memory.ReadWord(address);
  return memory.ReadByte(address);
}

void write_unit(Memory& memory, std::uint32_t address, unsigned unit, std::uint32_t value) {
  if (unit == 4)
    memory.WriteLong(address, value);
  else if (unit == 2)
    memory.WriteWord(address, static_cast<std::uint16_t>(value));
  else
    memory.WriteByte(address, static_cast<std::uint8_t>(value));
}

std::string unit_text(std::uint32_t value, unsigned unit, NumberBase base) {
  const unsigned width = width_of(unit, base);
  switch (base) {
    case NumberBase::Binary: return fmtstr("%+0nzl", width, value);
    case NumberBase::Octal: return fmtstr("%+0nol", width, value);
    case NumberBase::Hexadecimal: return fmtstr("%+0nhl", width, value);
    case NumberBase::Decimal: break;
  }
  std::int32_t v = static_cast<std::int32_t>(value);
  if (unit == 1) v = static_cast<std::int8_t>(value);
  if (unit == 2) v = static_cast<std::int16_t>(value);
  // A negative value is "-" and its magnitude with one digit less, so that
  // the zeros stand between the sign and the digits.
  if (v < 0) return "-" + fmtstr("%+0nul", width - 1, 0u - static_cast<std::uint32_t>(v));
  return fmtstr("%+0nl", width, v);
}

std::string data_line(Memory& memory, std::uint32_t address, const DataLineFormat& format) {
  std::string line = fmtstr("%+0nhl ", 6, address & 0xFFFFFF);
  const unsigned unit = format.unit == 2 || format.unit == 4 ? format.unit : 1;
  for (unsigned i = 0; i < format.bytes; i += unit) {
    if (i) line += ' ';
    line += unit_text(read_unit(memory, address + i, unit), unit, format.base);
  }
  if (format.characters) {
    line += ' ';
    for (unsigned i = 0; i < format.bytes; ++i) line += column_char(memory.ReadByte(address + i));
  }
  return line;
}

}  // namespace tav
