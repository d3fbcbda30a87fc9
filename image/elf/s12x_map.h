// The S12X memory map as seen right after reset: the CPU12's 16-bit local
// addresses and the global addresses under which the debugger stores memory;
// and the XGATE's view of the same memory.
// The paged windows use the reset values of their page registers (EPAGE 0xFE,
// RPAGE 0xFD, PPAGE 0xFE), so that the examples, which use fixed pages only,
// translate exactly as the running program sees them.
#pragma once

#include <cstdint>

#include "image/banked_address.h"

namespace tav::elf {

using tav::local_to_global;

// The XGATE's 16-bit addresses as the S12X maps them (the map of the XGATE
// support library): the register space as it is, XGATE flash from 0x0800 in
// the block at 0x78_0000, XGATE RAM from 0x8000 in the top half of the 64 KB
// at 0x0F_0000.
constexpr std::uint32_t xgate_to_global(std::uint32_t a) {
  if (a >= 0x10000) return a;  // already global
  if (a < 0x0800) return a;
  if (a < 0x8000) return 0x780000 | a;
  return 0x0F0000 | a;
}

// Either map, by the core the address belongs to.
constexpr std::uint32_t to_global(std::uint32_t a, bool xgate) { return xgate ? xgate_to_global(a) : local_to_global(a); }

}  // namespace tav::elf
