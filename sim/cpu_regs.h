// The CPU12 register file as plain data; the register-code interface and the
// rules for each code live in registers.h.
#pragma once
#include <cstdint>

namespace tav {

struct CpuRegs {
  std::uint8_t a = 0;
  std::uint8_t b = 0;
  std::uint16_t ccr = 0;  // low byte S X H I N Z V C; high byte CCRH (IPL bits 0-2, bit 7)
  std::uint16_t x = 0;
  std::uint16_t y = 0;
  std::uint16_t sp = 0;
  std::uint16_t pc = 0;  // local 16-bit address
  std::uint8_t direct = 0;
  std::uint8_t ppage = 0;
  std::uint8_t rpage = 0;
  std::uint8_t epage = 0;
  std::uint8_t gpage = 0;

  std::uint16_t d() const { return static_cast<std::uint16_t>(a << 8 | b); }
  void set_d(std::uint16_t v) {
    a = static_cast<std::uint8_t>(v >> 8);
    b = static_cast<std::uint8_t>(v);
  }
};

// Condition code bits.
enum Ccr : std::uint16_t { CC_C = 0x01, CC_V = 0x02, CC_Z = 0x04, CC_N = 0x08, CC_I = 0x10, CC_H = 0x20, CC_X = 0x40, CC_S = 0x80 };

}  // namespace tav
