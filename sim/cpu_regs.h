// The CPU12 register file as plain data; the register-code interface and the
// rules for each code live in registers.h.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tav {

struct CpuRegs {
  // D is A:B. On a little-endian host B comes first, so that D is one
  // 16-bit load or store in host order.
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  std::uint8_t b = 0;
  std::uint8_t a = 0;
#else
  std::uint8_t a = 0;
  std::uint8_t b = 0;
#endif
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

  std::uint16_t d() const {
    std::uint16_t v;
    std::memcpy(&v, reinterpret_cast<const unsigned char*>(this) + d_offset(), sizeof v);
    return v;
  }
  void set_d(std::uint16_t v) { std::memcpy(reinterpret_cast<unsigned char*>(this) + d_offset(), &v, sizeof v); }

 private:
  static constexpr std::size_t d_offset() { return std::min(offsetof(CpuRegs, a), offsetof(CpuRegs, b)); }
};

// Condition code bits.
enum Ccr : std::uint16_t { CC_C = 0x01, CC_V = 0x02, CC_Z = 0x04, CC_N = 0x08, CC_I = 0x10, CC_H = 0x20, CC_X = 0x40, CC_S = 0x80 };

}  // namespace tav
