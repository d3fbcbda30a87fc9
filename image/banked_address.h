// Addresses of S12X program images. The debugger stores memory under global
// addresses; images name their bytes in one of three forms:
//  - global: the address is the global address;
//  - banked: page × 0x10000 + the CPU12 address inside the page's window,
//    as S12X toolchains write paged memory (flash 0x8000..0xBFFF with PPAGE,
//    RAM 0x1000..0x1FFF with RPAGE, EEPROM 0x0800..0x0BFF with EPAGE);
//    page 0 and offsets outside the windows are CPU12 local addresses;
//  - local: 16-bit CPU12 addresses, mapped with the page registers' reset
//    values (EPAGE 0xFE, RPAGE 0xFD, PPAGE 0xFE) and the fixed pages.
#pragma once

#include <cstdint>
#include <optional>

namespace tav {

enum class AddressForm : char { Auto = 0, Global = 'g', Banked = 'b', Local = 'l' };

// A CPU12 local address as the map after reset makes it global; values of
// 0x10000 and above are taken as global already.
constexpr std::uint32_t local_to_global(std::uint32_t a) {
  if (a >= 0x10000) return a;
  if (a < 0x0800) return a;                                         // registers
  if (a < 0x0C00) return 0x100000 + 0xFE * 0x400 + (a & 0x3FF);     // EEPROM window
  if (a < 0x1000) return a + 0x13F000;                              // fixed EEPROM
  if (a < 0x2000) return 0xFD * 0x1000 + (a & 0xFFF);               // RAM window
  if (a < 0x4000) return a + 0xFC000;                               // fixed RAM
  if (a < 0x8000) return 0x7F4000 + (a & 0x3FFF);                   // fixed flash page 0xFD
  if (a < 0xC000) return 0x400000 + 0xFE * 0x4000 + (a & 0x3FFF);   // flash window
  return 0x7FC000 + (a & 0x3FFF);                                   // fixed flash page 0xFF
}

// A banked address (page × 0x10000 + window offset) as its global address;
// nothing when the address is not in a paged window of a page above 0.
constexpr std::optional<std::uint32_t> banked_window_to_global(std::uint32_t a) {
  const std::uint32_t page = a >> 16, offset = a & 0xFFFF;
  if (page == 0 || page > 0xFF) return std::nullopt;
  if (offset >= 0x8000 && offset < 0xC000) return 0x400000 + page * 0x4000 + (offset - 0x8000);
  if (offset >= 0x1000 && offset < 0x2000) return page * 0x1000 + (offset - 0x1000);
  if (offset >= 0x0800 && offset < 0x0C00) return 0x100000 + page * 0x400 + (offset - 0x0800);
  return std::nullopt;
}

// An address of an image in the given form (not Auto) as a global address.
constexpr std::uint32_t image_to_global(std::uint32_t a, AddressForm form) {
  switch (form) {
    case AddressForm::Banked:
      if (auto g = banked_window_to_global(a)) return *g;
      return a < 0x10000 ? local_to_global(a) : a;
    case AddressForm::Local: return local_to_global(a & 0xFFFF);
    default: return a;
  }
}

// A global flash address (0x400000..0x7FFFFF) in the banked form.
constexpr std::uint32_t global_to_banked(std::uint32_t g) {
  if (g < 0x400000 || g > 0x7FFFFF) return g;
  const std::uint32_t page = (g - 0x400000) / 0x4000;
  return page * 0x10000 + 0x8000 + (g & 0x3FFF);
}

constexpr bool is_global_flash(std::uint32_t g) { return g >= 0x400000 && g <= 0x7FFFFF; }

}  // namespace tav
