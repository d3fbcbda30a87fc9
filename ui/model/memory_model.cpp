#include "ui/model/memory_model.h"

#include <algorithm>

#include "sim/memory.h"

namespace tav {

std::vector<std::uint8_t> memory_bytes(const Memory& memory, std::uint64_t address, std::uint64_t count) {
  std::vector<std::uint8_t> bytes;
  if (address > kLastGlobalAddress) return bytes;
  const std::uint64_t n = std::min<std::uint64_t>(count, kLastGlobalAddress + 1 - address);
  bytes.reserve(static_cast<std::size_t>(n));
  for (std::uint64_t i = 0; i < n; ++i) bytes.push_back(memory.peek(static_cast<std::uint32_t>(address + i)));
  return bytes;
}

}  // namespace tav
