// Target memory as data for memory views: bytes read without touching the
// target (no hooks, no data events), and the range that can be read at all.
#pragma once
#include <cstdint>
#include <vector>

namespace tav {

class Memory;

// Global addresses run from 0 to this one.
inline constexpr std::uint32_t kLastGlobalAddress = 0x7FFFFF;

// The bytes from `address` on, at most `count`, stopping at the end of the
// address space.
std::vector<std::uint8_t> memory_bytes(const Memory& memory, std::uint64_t address, std::uint64_t count);

}  // namespace tav
