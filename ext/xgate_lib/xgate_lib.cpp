// The project's own XGATE support library: the MC9S12X XGATE memory map and
// no buttons of its own.
#include <cstdint>
#include <type_traits>

#include "sim/xgate_lib_api.h"

#define XGATE_EXPORT extern "C" __attribute__((visibility("default")))

XGATE_EXPORT int InitExtension(void*, void*, void*) { return 1; }

XGATE_EXPORT void CloseExtension(void) {}

// The XGATE sees the register space where the CPU12 does, its flash from
// 0x0800 up in the block at 0x78_0000, and its RAM from 0x8000 up in the top
// half of the 64 KB at 0x0F_0000.
XGATE_EXPORT std::uint32_t XGateToGlobal(std::uint32_t xgate_address) {
  const std::uint32_t a = xgate_address & 0xFFFF;
  if (a < 0x0800) return a;
  if (a < 0x8000) return 0x780000 | a;
  return 0x0F0000 | a;
}

XGATE_EXPORT int XGateToButtons(void) { return 1; }

static_assert(std::is_same_v<decltype(&InitExtension), tav::XgateInitExtensionFn>);
static_assert(std::is_same_v<decltype(&CloseExtension), tav::XgateCloseExtensionFn>);
static_assert(std::is_same_v<decltype(&XGateToGlobal), tav::XgateToGlobalEntryFn>);
static_assert(std::is_same_v<decltype(&XGateToButtons), tav::XgateToButtonsFn>);
